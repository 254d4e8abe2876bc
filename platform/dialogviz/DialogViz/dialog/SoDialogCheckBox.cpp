#include <DialogViz/dialog/SoDialogCheckBox.h>

#include <DialogViz/dialog/SoTopLevelDialog.h>

SO_NODE_SOURCE(SoDialogCheckBox);

void SoDialogCheckBox::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoDialogCheckBox, SoDialogComponent, "SoDialogComponent");
}

SoDialogCheckBox::SoDialogCheckBox(void) {
    SO_NODE_CONSTRUCTOR(SoDialogCheckBox);
    SO_NODE_ADD_FIELD(state, (FALSE));
    SO_NODE_ADD_FIELD(onString, (""));
    SO_NODE_ADD_FIELD(offString, (""));
}

SoDialogCheckBox::~SoDialogCheckBox() {}

void SoDialogCheckBox::toggle(void) {
    if (!isOperable())
        return;
    state = !state.getValue();
    SoTopLevelDialog::reportOperation(&SoDialogAuditor::dialogCheckBox, this);
}
