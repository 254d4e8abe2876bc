#include "tav/OivCursorEcho.h"

#include "tav/OivFinite.h"
#include "tav/OivStickyCursor.h"
#include "tav/OivTav.h"

#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/elements/SoCacheElement.h>
#include <Inventor/elements/SoModelMatrixElement.h>
#include <Inventor/elements/SoViewVolumeElement.h>
#include <Inventor/misc/SoState.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>

#include <cmath>

namespace {

const SbColor kEchoColor(0.1f, 0.75f, 1.0f);
// As the sticky cursor lights its own colour, so that the mark reads in the dark too.
constexpr float kEmissiveShare = 0.4f;
// Below this the space the mark is drawn in is flat: no size maps into it.
constexpr float kMinDeterminant = 1.0e-12f;

// The mark is updated in every frame, mostly to what it already shows; a set would notify.
template <class Field, class Value> void setIfChanged(Field& field, const Value& value) {
    if (!(field.getValue() == value))
        field.setValue(value);
}

void setIfChanged(SoMFColor& field, const SbColor& value) {
    if (field.getNum() != 1 || field[0] != value)
        field.setValue(value);
}

} // namespace

SO_NODE_SOURCE(OivCursorEcho);

void OivCursorEcho::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(OivCursorEcho, SoNode, "Node");
}

OivCursorEcho::OivCursorEcho(void)
    : m_Mark(new SoSeparator), m_Material(new SoMaterial), m_Shapes(new SoSwitch) {
    OivTav::init();
    SO_NODE_CONSTRUCTOR(OivCursorEcho);
    SO_NODE_ADD_FIELD(position, (0.0f, 0.0f, 0.0f));
    SO_NODE_ADD_FIELD(orientation, (SbRotation::identity()));
    SO_NODE_ADD_FIELD(shape, (ARROW));
    SO_NODE_ADD_FIELD(color, (kEchoColor));
    SO_NODE_DEFINE_ENUM_VALUE(Shape, ARROW);
    SO_NODE_DEFINE_ENUM_VALUE(Shape, CROSS);
    SO_NODE_SET_SF_ENUM_TYPE(shape, Shape);

    // The mark's own graph: not children, so that no action but drawing reaches it.
    m_Mark->ref();
    m_Mark->renderCaching = SoSeparator::OFF;
    m_Mark->addChild(m_Material);
    m_Mark->addChild(m_Shapes);
    m_Shapes->addChild(OivStickyCursor::newShapeGeometry(OivStickyCursor::ARROW));
    m_Shapes->addChild(OivStickyCursor::newShapeGeometry(OivStickyCursor::CROSS));
}

OivCursorEcho::~OivCursorEcho() {
    m_Mark->unref();
}

void OivCursorEcho::GLRender(SoGLRenderAction* action) {
    SoState* state = action->getState();
    // The size follows the camera, which no cache around the mark would notice.
    SoCacheElement::invalidate(state);
    state->push();
    if (placeMark(state)) {
        updateLook();
        m_Mark->GLRenderBelowPath(action);
    }
    state->pop();
}

bool OivCursorEcho::placeMark(SoState* state) {
    const SbMatrix& model = SoModelMatrixElement::get(state);
    const float scale = std::cbrt(std::fabs(model.det3()));
    if (!(std::fabs(model.det4()) >= kMinDeterminant) || !(scale > 0.0f))
        return false;
    SbVec3f world;
    model.multVecMatrix(position.getValue(), world);
    const float size = SoViewVolumeElement::get(state).getWorldToScreenScale(
                           world, OivStickyCursor::kScreenFraction) /
                       scale;
    if (!OivFinite::isFinite(world) || !std::isfinite(size) || !(size > 0.0f))
        return false;
    SoModelMatrixElement::translateBy(state, this, position.getValue());
    SoModelMatrixElement::rotateBy(state, this, orientation.getValue());
    SoModelMatrixElement::scaleBy(state, this, SbVec3f(size, size, size));
    return true;
}

void OivCursorEcho::updateLook() {
    setIfChanged(m_Material->diffuseColor, color.getValue());
    setIfChanged(m_Material->emissiveColor, SbColor(color.getValue() * kEmissiveShare));
    // Only a known shape: any other number would draw none, or both on top of each other.
    const int kind = shape.getValue();
    setIfChanged(m_Shapes->whichChild, kind == ARROW || kind == CROSS ? kind : SO_SWITCH_NONE);
}
