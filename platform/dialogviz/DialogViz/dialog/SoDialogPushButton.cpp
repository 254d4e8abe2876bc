#include <DialogViz/dialog/SoDialogPushButton.h>

#include <DialogViz/dialog/SoTopLevelDialog.h>

SO_NODE_SOURCE(SoDialogPushButton);

void SoDialogPushButton::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoDialogPushButton, SoDialogComponent, "SoDialogComponent");
}

SoDialogPushButton::SoDialogPushButton(void) {
    SO_NODE_CONSTRUCTOR(SoDialogPushButton);
    SO_NODE_ADD_FIELD(buttonLabel, (""));
}

SoDialogPushButton::~SoDialogPushButton() {}

void SoDialogPushButton::press(void) {
    if (isOperable())
        SoTopLevelDialog::reportOperation(&SoDialogAuditor::dialogPushButton, this);
}
