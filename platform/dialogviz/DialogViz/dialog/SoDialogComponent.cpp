#include <DialogViz/dialog/SoDialogComponent.h>

#include <DialogViz/dialog/SoTopLevelDialog.h>

SO_NODE_ABSTRACT_SOURCE(SoDialogComponent);

void SoDialogComponent::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_ABSTRACT_CLASS(SoDialogComponent, SoDialogViz, "SoDialogViz");
}

SoDialogComponent::SoDialogComponent(void) : parentDialog(nullptr) {
    SO_NODE_CONSTRUCTOR(SoDialogComponent);
    SO_NODE_ADD_FIELD(fixedWidth, (FALSE));
    SO_NODE_ADD_FIELD(fixedHeight, (FALSE));
}

SoDialogComponent::~SoDialogComponent() {}

SoDialogGroup* SoDialogComponent::getParentDialog(void) const {
    return parentDialog;
}

SoTopLevelDialog* SoDialogComponent::getTopLevelDialog(void) const {
    for (const SoDialogComponent* c = this; c; c = c->getParentDialog()) {
        if (c->isOfType(SoTopLevelDialog::getClassTypeId()))
            return const_cast<SoTopLevelDialog*>(static_cast<const SoTopLevelDialog*>(c));
    }
    return nullptr;
}

SbBool SoDialogComponent::isOperable(void) const {
    for (const SoDialogComponent* c = this; c; c = c->getParentDialog()) {
        if (!c->enable.getValue())
            return FALSE;
    }
    return TRUE;
}
