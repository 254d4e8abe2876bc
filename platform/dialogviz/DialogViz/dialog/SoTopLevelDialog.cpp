#include <DialogViz/dialog/SoTopLevelDialog.h>

SO_NODE_SOURCE(SoTopLevelDialog);

namespace {
struct ShowHook {
    SoTopLevelDialog::ShowCB* callback = nullptr;
    void* data = nullptr;
};
ShowHook showHook;
} // namespace

void SoTopLevelDialog::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoTopLevelDialog, SoDialogGroup, "SoDialogGroup");
}

SoTopLevelDialog::SoTopLevelDialog(void) : shown(FALSE) {
    SO_NODE_CONSTRUCTOR(SoTopLevelDialog);
}

SoTopLevelDialog::~SoTopLevelDialog() {
    // Whoever shows it must let go of it now.
    setShown(FALSE);
}

void SoTopLevelDialog::show(void) {
    setShown(TRUE);
}

void SoTopLevelDialog::hide(void) {
    setShown(FALSE);
}

void SoTopLevelDialog::setShowCallback(ShowCB* callback, void* data) {
    showHook.callback = callback;
    showHook.data = data;
}

void SoTopLevelDialog::setShown(SbBool value) {
    if (shown == value)
        return;
    shown = value;
    if (showHook.callback)
        showHook.callback(showHook.data, this);
}

void SoTopLevelDialog::addAuditor(SoDialogAuditor* auditor) {
    if (auditor && !hasAuditor(auditor))
        auditors.push_back(auditor);
}

void SoTopLevelDialog::removeAuditor(SoDialogAuditor* auditor) {
    auditors.erase(std::remove(auditors.begin(), auditors.end(), auditor), auditors.end());
}

bool SoTopLevelDialog::hasAuditor(SoDialogAuditor* auditor) const {
    return std::find(auditors.begin(), auditors.end(), auditor) != auditors.end();
}

void SoTopLevelDialog::releaseAfterRound(bool wasReferenced) {
    if (wasReferenced)
        unref();
    else
        unrefNoDelete();
}
