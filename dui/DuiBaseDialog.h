// Base of the library's dialogs: one dialog-toolkit window (an SoTopLevelDialog this object owns)
// whose controls drive a canvas through an auditor. A host binds the dialog to an initialised
// canvas, initialises it, shows the top-level dialog (or embeds getDialogComponent()) with the
// toolkit, and registers it with the canvas so that the canvas's updateDUI refreshes it:
//
//   DuiCanvasToolbar toolbar;
//   toolbar.setOivCanvas(&canvas);
//   toolbar.initialize();
//   canvas.addDUI(&toolbar);
//
// Destroying a dialog unregisters it from every canvas it is registered with and deletes its
// auditor; destroying a canvas first unbinds every dialog bound to it, registered or not.
// Not copyable: a copy would release the same top-level dialog and auditor a second time.
#ifndef OIVWINTAV_DUIBASEDIALOG_H
#define OIVWINTAV_DUIBASEDIALOG_H

#include "canvas/OivCanvasDialogLink.h"

#include <DialogViz/dialog/SoTopLevelDialog.h>

#include <vector>

class DuiBaseDialogAuditor;
class OivBaseCanvas;
class OivCanvas;
class SoDialogCheckBox;
class SoDialogComboBox;
class SoDialogPushButton;

class DuiBaseDialog : public OivCanvasDialogLink {
public:
    typedef void ChangeCB(void* userData, DuiBaseDialog* dialog);

    // An empty top-level dialog, no canvas, no auditor.
    DuiBaseDialog();
    virtual ~DuiBaseDialog();

    DuiBaseDialog(const DuiBaseDialog&) = delete;
    DuiBaseDialog& operator=(const DuiBaseDialog&) = delete;

    // Builds the controls into the top-level dialog. Here: nothing.
    virtual void makeDialog();
    // Builds the dialog, creates and registers its auditor and finds its own container. Called
    // once, after setOivCanvas. Here: nothing.
    virtual void initialize();
    // Shows the canvas's current state in the controls. Here: nothing.
    void reset() override;
    // Calls the change listener, if one is set, with its user data and this dialog.
    virtual void notifyChange();

    // The dialog tree shown to the user; null before initialize.
    SoTopLevelDialog* getTopLevelDialog() const { return m_TopLevelDialog; }
    // The dialog's own container (the one carrying its identifier); null before initialize and
    // for dialogs that have none.
    SoDialogComponent* getDialogComponent() const { return m_DialogComponent; }
    // Null before initialize.
    DuiBaseDialogAuditor* getAuditor() const { return m_Auditor; }
    // The canvas the dialog drives; null until set.
    OivCanvas* getOivCanvas() const { return m_OivCanvas; }

    // Binds the dialog, and its auditor once it has one, to `canvas` (not owned; null unbinds).
    void setOivCanvas(OivCanvas* canvas);

    // Sets the one change listener, replacing any earlier one; a null function switches it off.
    void setChangeCallback(ChangeCB* callback, void* userData);

    // The control under `auditorId` in `dialog` if it is a `Control`; null otherwise.
    template <class Control>
    static Control* findControl(SoTopLevelDialog* dialog, const char* auditorId);

    // Selects the compact layout of dialogs that have one; set before initialize.
    bool m_Compact;

protected:
    // Controls made the way every dialog of the library makes them: identifier, texts, and the
    // layout flag all its push buttons, check boxes, combo boxes and labels share.
    static SoDialogPushButton* createPushButton(const char* auditorId, const char* buttonLabel);
    static SoDialogCheckBox* createCheckBox(const char* auditorId, const char* label,
                                            const char* onString, const char* offString);
    static SoDialogComboBox* createComboBox(const char* auditorId, const char* label);
    static void setCommonLayout(SoDialogComponent* control);

    // Stores `auditor` as the dialog's auditor, registers it with the top-level dialog and finds
    // the dialog's own container under `containerId` (null leaves it unset): the steps every
    // initialize takes after makeDialog.
    void attachAuditor(DuiBaseDialogAuditor* auditor, const char* containerId);

    OivCanvas* m_OivCanvas;
    SoTopLevelDialog* m_TopLevelDialog;
    DuiBaseDialogAuditor* m_Auditor;
    SoDialogComponent* m_DialogComponent;
    ChangeCB* m_ChangeCB;
    void* m_ChangeData;

    // Kept up to date by the canvases whose list holds this dialog (addDUI, removeDUI, their
    // destruction).
    void registrationChanged(OivBaseCanvas* canvas, bool registered) override;
    // A dialog bound to a canvas, registered or not (the video and scene file dialogs have
    // nothing to refresh), must not drive it once it is gone: it is unbound.
    void canvasDestroyed(OivBaseCanvas* canvas) override;

private:
    // The canvases whose list holds this dialog, so that neither side is left pointing at the
    // other once it is gone.
    std::vector<OivBaseCanvas*> m_RegisteredWith;
};

template <class Control>
Control* DuiBaseDialog::findControl(SoTopLevelDialog* dialog, const char* auditorId) {
    SoDialogViz* found = dialog ? dialog->searchForAuditorId(auditorId) : nullptr;
    if (!found || !found->isOfType(Control::getClassTypeId()))
        return nullptr;
    return static_cast<Control*>(found);
}

#endif // OIVWINTAV_DUIBASEDIALOG_H
