// Base of the library's auditors: the canvas the dialog's controls act on and the notice box,
// titled "Test Canvas", through which an auditor tells the user that a feature is not available.
// Concrete auditors override the callbacks their controls need.
//
// Not copyable: the auditor owns its notice box.
#ifndef OIVWINTAV_DUIBASEDIALOGAUDITOR_H
#define OIVWINTAV_DUIBASEDIALOGAUDITOR_H

#include <DialogViz/auditors/SoDialogAuditor.h>

class DuiBaseDialog;
class OivCanvas;
class SoMessageDialog;

class DuiBaseDialogAuditor : public SoDialogAuditor {
public:
    // An auditor driving `canvas` (may be null until setOivCanvas).
    explicit DuiBaseDialogAuditor(OivCanvas* canvas);
    // Closes and releases the notice box.
    virtual ~DuiBaseDialogAuditor();

    DuiBaseDialogAuditor(const DuiBaseDialogAuditor&) = delete;
    DuiBaseDialogAuditor& operator=(const DuiBaseDialogAuditor&) = delete;

    // The dialog served, for auditors that change their own dialog's controls; null unless set.
    void setDuiDialog(DuiBaseDialog* dialog) { m_DuiDialog = dialog; }
    DuiBaseDialog* getDuiDialog() { return m_DuiDialog; }

    // The canvas the controls drive.
    OivCanvas* getOivCanvas() const { return m_OivCanvas; }
    void setOivCanvas(OivCanvas* canvas) { m_OivCanvas = canvas; }

    // The notice box for features that are not available, made on first use.
    SoMessageDialog* getMessageDialog() const { return m_MessageDialog; }

protected:
    // Shows `text` in the notice box.
    void showNotice(const char* text);

    OivCanvas* m_OivCanvas;
    DuiBaseDialog* m_DuiDialog;
    SoMessageDialog* m_MessageDialog;
};

#endif // OIVWINTAV_DUIBASEDIALOGAUDITOR_H
