#include "tav/OivScreenPosition.h"

#include "tav/OivFinite.h"
#include "tav/OivTav.h"

#include <Inventor/SbViewVolume.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoPickAction.h>
#include <Inventor/elements/SoModelMatrixElement.h>
#include <Inventor/elements/SoViewVolumeElement.h>
#include <Inventor/elements/SoViewportRegionElement.h>
#include <Inventor/misc/SoState.h>

#include <cmath>

namespace {

// How far behind the near plane the anchored place lies, as a fraction of the view depth: in
// front of nearly everything, yet never clipped by the near plane.
constexpr float kDepthFraction = 0.001f;
// Below this the model matrix cannot be inverted and nothing is moved.
constexpr float kMinDeterminant = 1.0e-12f;

// A margin that is no number, or a fraction that overflows, is taken as none: the anchor alone
// still puts what follows on screen.
float marginPixels(int marginType, float margin, float viewportSize) {
    const float pixels = marginType == OivScreenPosition::FRACTION ? margin * viewportSize : margin;
    return std::isfinite(pixels) ? pixels : 0.0f;
}

// Position along one axis of `size` pixels; `low` and `high` are the anchors of its two edges.
float axisPosition(int anchor, int low, int high, float margin, float size) {
    if (anchor == low)
        return margin;
    if (anchor == high)
        return size - margin;
    return 0.5f * size + margin;
}

} // namespace

SO_NODE_SOURCE(OivScreenPosition);

void OivScreenPosition::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(OivScreenPosition, SoGroup, "Group");
}

OivScreenPosition::OivScreenPosition(void) {
    OivTav::init();
    SO_NODE_CONSTRUCTOR(OivScreenPosition);
    SO_NODE_ADD_FIELD(horizontalAnchor, (LEFT));
    SO_NODE_ADD_FIELD(horizontalMarginType, (PIXELS));
    SO_NODE_ADD_FIELD(horizontalMargin, (0.0f));
    SO_NODE_ADD_FIELD(verticalAnchor, (BOTTOM));
    SO_NODE_ADD_FIELD(verticalMarginType, (PIXELS));
    SO_NODE_ADD_FIELD(verticalMargin, (0.0f));
    SO_NODE_DEFINE_ENUM_VALUE(AnchorType, TOP);
    SO_NODE_DEFINE_ENUM_VALUE(AnchorType, BOTTOM);
    SO_NODE_DEFINE_ENUM_VALUE(AnchorType, LEFT);
    SO_NODE_DEFINE_ENUM_VALUE(AnchorType, RIGHT);
    SO_NODE_DEFINE_ENUM_VALUE(AnchorType, CENTER);
    SO_NODE_DEFINE_ENUM_VALUE(MarginType, FRACTION);
    SO_NODE_DEFINE_ENUM_VALUE(MarginType, PIXELS);
    SO_NODE_SET_SF_ENUM_TYPE(horizontalAnchor, AnchorType);
    SO_NODE_SET_SF_ENUM_TYPE(verticalAnchor, AnchorType);
    SO_NODE_SET_SF_ENUM_TYPE(horizontalMarginType, MarginType);
    SO_NODE_SET_SF_ENUM_TYPE(verticalMarginType, MarginType);
}

OivScreenPosition::~OivScreenPosition() {}

void OivScreenPosition::setHorizontalPosition(AnchorType anchor, MarginType marginType,
                                              float margin) {
    horizontalAnchor = anchor;
    horizontalMarginType = marginType;
    horizontalMargin = margin;
}

void OivScreenPosition::setVerticalPosition(AnchorType anchor, MarginType marginType,
                                            float margin) {
    verticalAnchor = anchor;
    verticalMarginType = marginType;
    verticalMargin = margin;
}

SbVec2f OivScreenPosition::getPixelPosition(const SbViewportRegion& viewport) const {
    const SbVec2s size = viewport.getViewportSizePixels();
    const float width = size[0], height = size[1];
    const float x = axisPosition(
        horizontalAnchor.getValue(), LEFT, RIGHT,
        marginPixels(horizontalMarginType.getValue(), horizontalMargin.getValue(), width), width);
    const float y = axisPosition(
        verticalAnchor.getValue(), BOTTOM, TOP,
        marginPixels(verticalMarginType.getValue(), verticalMargin.getValue(), height), height);
    return SbVec2f(x, y);
}

bool OivScreenPosition::anchor(SoAction* action, SbVec3f& translation) const {
    SoState* state = action->getState();
    if (!state->isElementEnabled(SoViewVolumeElement::getClassStackIndex()) ||
        !state->isElementEnabled(SoViewportRegionElement::getClassStackIndex()) ||
        !state->isElementEnabled(SoModelMatrixElement::getClassStackIndex()))
        return false;
    const SbViewportRegion& viewport = SoViewportRegionElement::get(state);
    const SbViewVolume& volume = SoViewVolumeElement::get(state);
    const SbVec2s size = viewport.getViewportSizePixels();
    if (size[0] <= 0 || size[1] <= 0 || volume.getDepth() <= 0.0f)
        return false;
    const SbVec2f pixel = getPixelPosition(viewport);
    const SbVec2f normalized(pixel[0] / size[0], pixel[1] / size[1]);
    const SbVec3f world =
        volume.getPlanePoint(volume.getNearDist() + kDepthFraction * volume.getDepth(), normalized);
    const SbMatrix& model = SoModelMatrixElement::get(state);
    if (!(std::fabs(model.det4()) >= kMinDeterminant))
        return false;
    model.inverse().multVecMatrix(world, translation);
    // A view or transformation made of values that are no numbers moves nothing, rather than
    // carrying them into the bounding boxes of what follows.
    return OivFinite::isFinite(translation);
}

void OivScreenPosition::doAction(SoAction* action) {
    SbVec3f translation;
    if (anchor(action, translation))
        SoModelMatrixElement::translateBy(action->getState(), this, translation);
    inherited::doAction(action);
}

void OivScreenPosition::GLRender(SoGLRenderAction* action) {
    OivScreenPosition::doAction(action);
}

void OivScreenPosition::callback(SoCallbackAction* action) {
    OivScreenPosition::doAction(action);
}

void OivScreenPosition::pick(SoPickAction* action) {
    OivScreenPosition::doAction(action);
}

void OivScreenPosition::getBoundingBox(SoGetBoundingBoxAction* action) {
    SbVec3f translation;
    if (anchor(action, translation))
        SoModelMatrixElement::translateBy(action->getState(), this, translation);
    inherited::getBoundingBox(action);
}

void OivScreenPosition::getMatrix(SoGetMatrixAction* action) {
    SbVec3f translation;
    if (anchor(action, translation)) {
        SbMatrix move, back;
        move.setTranslate(translation);
        back.setTranslate(-translation);
        action->getMatrix().multLeft(move);
        action->getInverse().multRight(back);
    }
    inherited::getMatrix(action);
}
