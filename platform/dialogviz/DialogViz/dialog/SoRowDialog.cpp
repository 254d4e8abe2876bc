#include <DialogViz/dialog/SoRowDialog.h>

SO_NODE_SOURCE(SoRowDialog);

void SoRowDialog::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoRowDialog, SoDialogGroup, "SoDialogGroup");
}

SoRowDialog::SoRowDialog(void) {
    SO_NODE_CONSTRUCTOR(SoRowDialog);
}

SoRowDialog::~SoRowDialog() {}
