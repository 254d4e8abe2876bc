// A notice box: a title, a message (the label) and a message type, shown by show. Where it
// appears is up to whoever listens on the process-wide show hook: the on-screen backend pops it
// up; with nobody listening, show only marks it shown.
//
// Fields and defaults (besides those of SoDialogViz):
//   title ""
//   type  0   # kept as given; its meaning is the drawer's (the icon it shows)
#ifndef OIVWINTAV_SOMESSAGEDIALOG_H
#define OIVWINTAV_SOMESSAGEDIALOG_H

#include <DialogViz/dialog/SoDialogViz.h>

#include <Inventor/fields/SoSFInt32.h>

class SoMessageDialog : public SoDialogViz {
    typedef SoDialogViz inherited;
    SO_NODE_HEADER(SoMessageDialog);

public:
    // Called by show with the hook's data and the dialog being shown. A listener that keeps the
    // dialog beyond the call references it.
    typedef void ShowCB(void* data, SoMessageDialog* dialog);

    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoMessageDialog(void);

    SoSFString title;
    SoSFInt32 type;

    // Marks the notice shown, then calls the show hook if one is set (also when it was shown
    // already: each call is a notice of its own).
    void show(void);
    // Closes the notice: it is no longer shown. The node lives on as long as it is referenced;
    // one that nobody references is deleted. (This is also the function Coin calls when the last
    // reference goes.)
    virtual void destroy(void);
    SbBool isShown(void) const { return shown; }

    // Sets the one process-wide show hook, replacing any earlier one; a null function removes it.
    static void setShowCallback(ShowCB* callback, void* data);

protected:
    virtual ~SoMessageDialog();

private:
    SbBool shown;
};

#endif // OIVWINTAV_SOMESSAGEDIALOG_H
