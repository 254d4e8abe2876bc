#include <DialogViz/dialog/SoTopLevelDialog.h>

SO_NODE_SOURCE(SoTopLevelDialog);

void SoTopLevelDialog::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoTopLevelDialog, SoDialogGroup, "SoDialogGroup");
}

SoTopLevelDialog::SoTopLevelDialog(void) {
    SO_NODE_CONSTRUCTOR(SoTopLevelDialog);
}

SoTopLevelDialog::~SoTopLevelDialog() {}

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
