// The root of a dialog window: a container whose label is the window title and which holds the
// dialog's auditors. Every control operated anywhere below it is reported to each auditor, in the
// order the auditors were added.
//
// File format: the fields of SoDialogComponent, then the children. Auditors are not written.
#ifndef OIVWINTAV_SOTOPLEVELDIALOG_H
#define OIVWINTAV_SOTOPLEVELDIALOG_H

#include <DialogViz/auditors/SoDialogAuditor.h>
#include <DialogViz/dialog/SoDialogGroup.h>

#include <algorithm>
#include <vector>

class SoTopLevelDialog : public SoDialogGroup {
    typedef SoDialogGroup inherited;
    SO_NODE_HEADER(SoTopLevelDialog);

public:
    // Called by show and hide (and when a shown dialog is destroyed) with the hook's data and the
    // dialog; isShown() tells which. The dialog is not referenced for the listener.
    typedef void ShowCB(void* data, SoTopLevelDialog* dialog);

    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoTopLevelDialog(void);

    // Addition of this platform: opens the dialog in a window of its own, titled with the label,
    // showing the tree as it is and operating its controls through press, toggle and select;
    // hide closes it. Where the window appears is up to whoever listens on the show hook (the
    // on-screen backend); with nobody listening these only mark the dialog shown or not.
    void show(void);
    void hide(void);
    SbBool isShown(void) const { return shown; }

    // Sets the one process-wide show hook, replacing any earlier one; a null function removes it.
    static void setShowCallback(ShowCB* callback, void* data);

    // Not owned. A null auditor or one already added is ignored.
    void addAuditor(SoDialogAuditor* auditor);
    // An auditor that was not added is ignored.
    void removeAuditor(SoDialogAuditor* auditor);
    int getNumAuditors(void) const { return int(auditors.size()); }

    // Reports that `control`, somewhere below its top-level dialog, was operated: calls
    // `callback` on every auditor of that dialog in the order they were added. An auditor removed
    // during the round (by an earlier one) is not called; the tree stays alive until the round
    // ends even when an auditor releases it. A control inside no top-level dialog reaches nobody.
    template <class Control>
    static void reportOperation(void (SoDialogAuditor::*callback)(Control*), Control* control);

protected:
    virtual ~SoTopLevelDialog();

private:
    bool hasAuditor(SoDialogAuditor* auditor) const;
    // Keeps the tree alive over a round of callbacks without deleting a tree nobody referenced.
    void releaseAfterRound(bool wasReferenced);

    void setShown(SbBool value);

    std::vector<SoDialogAuditor*> auditors;
    SbBool shown;
};

template <class Control>
void SoTopLevelDialog::reportOperation(void (SoDialogAuditor::*callback)(Control*),
                                       Control* control) {
    SoTopLevelDialog* top = control->getTopLevelDialog();
    if (!top)
        return;
    const bool wasReferenced = top->getRefCount() > 0;
    top->ref();
    const std::vector<SoDialogAuditor*> round = top->auditors;
    for (SoDialogAuditor* auditor : round) {
        if (top->hasAuditor(auditor))
            (auditor->*callback)(control);
    }
    top->releaseAfterRound(wasReferenced);
}

#endif // OIVWINTAV_SOTOPLEVELDIALOG_H
