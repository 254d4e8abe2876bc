#include <DialogViz/dialog/SoDialogComboBox.h>

#include <DialogViz/dialog/SoTopLevelDialog.h>

SO_NODE_SOURCE(SoDialogComboBox);

void SoDialogComboBox::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoDialogComboBox, SoDialogComponent, "SoDialogComponent");
}

SoDialogComboBox::SoDialogComboBox(void) {
    SO_NODE_CONSTRUCTOR(SoDialogComboBox);
    SO_NODE_ADD_EMPTY_MFIELD(items);
    SO_NODE_ADD_FIELD(selectedItem, (0));
}

SoDialogComboBox::~SoDialogComboBox() {}

void SoDialogComboBox::select(int index) {
    if (index < 0 || index >= items.getNum() || !isOperable())
        return;
    selectedItem = index;
    SoTopLevelDialog::reportOperation(&SoDialogAuditor::dialogComboBox, this);
}
