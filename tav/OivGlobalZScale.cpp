#include "tav/OivGlobalZScale.h"

#include "tav/OivTav.h"

SO_NODE_SOURCE(OivGlobalZScale);

void OivGlobalZScale::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(OivGlobalZScale, SoScale, "Scale");
}

OivGlobalZScale::OivGlobalZScale(void) {
    OivTav::init();
    SO_NODE_CONSTRUCTOR(OivGlobalZScale);
}

OivGlobalZScale::~OivGlobalZScale() {}
