#include <DialogViz/dialog/SoTabDialog.h>

#include <DialogViz/dialog/SoTopLevelDialog.h>

SO_NODE_SOURCE(SoTabDialog);

void SoTabDialog::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoTabDialog, SoDialogGroup, "SoDialogGroup");
}

SoTabDialog::SoTabDialog(void) {
    SO_NODE_CONSTRUCTOR(SoTabDialog);
    SO_NODE_ADD_FIELD(selectedPage, (0));
}

SoTabDialog::~SoTabDialog() {}

void SoTabDialog::selectPage(int index) {
    if (index < 0 || index >= getNumChildren() || !isOperable())
        return;
    selectedPage = index;
    SoTopLevelDialog::reportOperation(&SoDialogAuditor::tabDialog, this);
}
