#include <DialogViz/dialog/SoDialogSeparator.h>

SO_NODE_SOURCE(SoDialogSeparator);

void SoDialogSeparator::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(SoDialogSeparator, SoDialogComponent, "SoDialogComponent");
}

SoDialogSeparator::SoDialogSeparator(void) {
    SO_NODE_CONSTRUCTOR(SoDialogSeparator);
}

SoDialogSeparator::~SoDialogSeparator() {}
