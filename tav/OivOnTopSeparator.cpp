#include "tav/OivOnTopSeparator.h"

#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/elements/SoDepthBufferElement.h>
#include <Inventor/system/gl.h>

SO_NODE_SOURCE(OivOnTopSeparator);

void OivOnTopSeparator::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(OivOnTopSeparator, SoAnnotation, "Annotation");
}

OivOnTopSeparator::OivOnTopSeparator(void) {
    initClass();
    SO_NODE_CONSTRUCTOR(OivOnTopSeparator);
}

OivOnTopSeparator::~OivOnTopSeparator() {}

void OivOnTopSeparator::GLRenderBelowPath(SoGLRenderAction* action) {
    if (isDeferred(action))
        inherited::GLRenderBelowPath(action);
    else
        SoSeparator::GLRenderBelowPath(action);
}

void OivOnTopSeparator::GLRenderInPath(SoGLRenderAction* action) {
    if (isDeferred(action))
        inherited::GLRenderInPath(action);
    else
        SoSeparator::GLRenderInPath(action);
}

// In the scene's own pass the annotation only remembers where it is; Coin draws the remembered
// paths once everything else, translucent shapes included, is drawn. There the annotation would
// switch the depth test off, and the children could no longer hide each other: they are drawn
// as a separator draws them, over an emptied depth buffer instead.
bool OivOnTopSeparator::isDeferred(SoGLRenderAction* action) {
    // Depth peeling draws the whole frame once per layer and never draws remembered paths: the
    // children would vanish. They are drawn where they are, as one more layer; clearing the depth
    // buffer there would spoil the peeling of every layer after it.
    if (action->getTransparencyType() == SoGLRenderAction::SORTED_LAYERS_BLEND)
        return false;
    if (!action->isRenderingDelayedPaths())
        return true;
    clearDepth(action);
    return false;
}

void OivOnTopSeparator::clearDepth(SoGLRenderAction* action) {
    // A scene drawn without depth test has no depth to clear.
    if (!SoDepthBufferElement::getTestEnable(action->getState()))
        return;
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glDepthMask(GL_TRUE); // a clear obeys the write mask
    glClear(GL_DEPTH_BUFFER_BIT);
    glDepthMask(depthWrites);
}
