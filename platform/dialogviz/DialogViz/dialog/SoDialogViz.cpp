#include <DialogViz/dialog/SoDialogViz.h>

#include <DialogViz/SoDialogVizAll.h>

#include <Inventor/SoDB.h>

SO_NODE_ABSTRACT_SOURCE(SoDialogViz);

namespace {
bool initialized = false;
}

void SoDialogViz::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_ABSTRACT_CLASS(SoDialogViz, SoNode, "Node");
}

void SoDialogViz::init(void) {
    if (initialized)
        return;
    initialized = true;
    SoDB::init();
    // Parents before children: a class is registered below its base class's type.
    SoDialogViz::initClass();
    SoDialogComponent::initClass();
    SoDialogGroup::initClass();
    SoTopLevelDialog::initClass();
    SoRowDialog::initClass();
    SoColumnDialog::initClass();
    SoTabDialog::initClass();
    SoDialogPushButton::initClass();
    SoDialogCheckBox::initClass();
    SoDialogComboBox::initClass();
    SoDialogLabel::initClass();
    SoDialogSeparator::initClass();
    SoMessageDialog::initClass();
}

SoDialogViz::SoDialogViz(void) {
    init();
    SO_NODE_CONSTRUCTOR(SoDialogViz);
    SO_NODE_ADD_FIELD(label, (""));
    SO_NODE_ADD_FIELD(enable, (TRUE));
    SO_NODE_ADD_FIELD(auditorID, (""));
}

SoDialogViz::~SoDialogViz() {}
