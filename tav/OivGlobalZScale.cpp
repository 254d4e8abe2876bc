#include "tav/OivGlobalZScale.h"

#include "tav/OivTav.h"

#include <cmath>

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

bool OivGlobalZScale::isUsableFactor(float factor) {
    return std::isfinite(factor) && std::isfinite(1.0f / factor);
}

bool OivGlobalZScale::isUsable(void) const {
    const SbVec3f& factor = scaleFactor.getValue();
    return isUsableFactor(factor[0]) && isUsableFactor(factor[1]) && isUsableFactor(factor[2]);
}

void OivGlobalZScale::doAction(SoAction* action) {
    if (isUsable())
        inherited::doAction(action);
}

void OivGlobalZScale::callback(SoCallbackAction* action) {
    if (isUsable())
        inherited::callback(action);
}

void OivGlobalZScale::GLRender(SoGLRenderAction* action) {
    if (isUsable())
        inherited::GLRender(action);
}

void OivGlobalZScale::getBoundingBox(SoGetBoundingBoxAction* action) {
    if (isUsable())
        inherited::getBoundingBox(action);
}

void OivGlobalZScale::getMatrix(SoGetMatrixAction* action) {
    if (isUsable())
        inherited::getMatrix(action);
}

void OivGlobalZScale::pick(SoPickAction* action) {
    if (isUsable())
        inherited::pick(action);
}

void OivGlobalZScale::getPrimitiveCount(SoGetPrimitiveCountAction* action) {
    if (isUsable())
        inherited::getPrimitiveCount(action);
}
