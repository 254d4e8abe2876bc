#include <DialogViz/dialog/SoColumnDialog.h>

SO_NODE_SOURCE(SoColumnDialog);

void SoColumnDialog::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoColumnDialog, SoDialogGroup, "SoDialogGroup");
}

SoColumnDialog::SoColumnDialog(void) {
    SO_NODE_CONSTRUCTOR(SoColumnDialog);
}

SoColumnDialog::~SoColumnDialog() {}
