// The canvas's side of a dialog registered with it (OivBaseCanvas::addDUI): what updateDUI
// refreshes, told when it joins or leaves a canvas's list, and, as an observer, when a canvas it
// is bound to goes. The dialog layer, built on the canvas, implements it in its dialog base. The
// canvas is handed a registered dialog as a pointer to a class it does not know, so the dialog
// layer also tells it, once, how to reach the link of such a dialog (setLinkOf).
#ifndef OIVWINTAV_OIVCANVASDIALOGLINK_H
#define OIVWINTAV_OIVCANVASDIALOGLINK_H

#include "canvas/OivCanvasObserver.h"

class DuiBaseDialog;

class OivCanvasDialogLink : public OivCanvasObserver {
public:
    // How a dialog is reached from its class name; set by the dialog layer before it hands any
    // dialog to a canvas.
    typedef OivCanvasDialogLink* LinkOf(DuiBaseDialog* dialog);
    static void setLinkOf(LinkOf* linkOf);
    // The link of `dialog`; null for a null dialog.
    static OivCanvasDialogLink* of(DuiBaseDialog* dialog);

    // Shows the canvas's current state in the dialog.
    virtual void reset() = 0;
    // The dialog was put on (true) or taken off (false) the list of `canvas`; a canvas being
    // destroyed takes every dialog off its list.
    virtual void registrationChanged(OivBaseCanvas* canvas, bool registered) = 0;

protected:
    // A dialog is not deleted through this class.
    ~OivCanvasDialogLink() = default;
};

#endif // OIVWINTAV_OIVCANVASDIALOGLINK_H
