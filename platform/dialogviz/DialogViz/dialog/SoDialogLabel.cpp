#include <DialogViz/dialog/SoDialogLabel.h>

SO_NODE_SOURCE(SoDialogLabel);

void SoDialogLabel::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoDialogLabel, SoDialogComponent, "SoDialogComponent");
}

SoDialogLabel::SoDialogLabel(void) {
    SO_NODE_CONSTRUCTOR(SoDialogLabel);
    SO_NODE_ADD_FIELD(labelAlignment, (LEFT));
    SO_NODE_DEFINE_ENUM_VALUE(Alignment, LEFT);
    SO_NODE_DEFINE_ENUM_VALUE(Alignment, CENTER);
    SO_NODE_DEFINE_ENUM_VALUE(Alignment, RIGHT);
    SO_NODE_SET_SF_ENUM_TYPE(labelAlignment, Alignment);
}

SoDialogLabel::~SoDialogLabel() {}
