#include "tav/OivCompass.h"

#include "tav/OivAttitude.h"
#include "tav/OivTav.h"

#include <Inventor/SbRotation.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/Win/SoWinComponent.h>
#include <Inventor/Win/viewers/SoWinViewer.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/elements/SoCacheElement.h>
#include <Inventor/elements/SoViewportRegionElement.h>
#include <Inventor/misc/SoState.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoDepthBuffer.h>
#include <Inventor/nodes/SoDrawStyle.h>
#include <Inventor/nodes/SoFaceSet.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoLineSet.h>
#include <Inventor/nodes/SoMaterialBinding.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoRotation.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSwitch.h>
#include <Inventor/nodes/SoTranslation.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The instrument is drawn in a unit disc; these are its parts' sizes and colours.
constexpr int kCircleSegments = 48;
constexpr float kLineWidth = 2.0f;
const SbColor kDialColor(0.12f, 0.12f, 0.16f);
const SbColor kRingColor(0.9f, 0.9f, 0.9f);
const SbColor kNorthColor(0.9f, 0.1f, 0.1f);
const SbColor kSouthColor(0.95f, 0.95f, 0.95f);
const SbColor kSideColor(0.55f, 0.55f, 0.6f);
const SbColor kSkyColor(0.2f, 0.45f, 0.85f);
const SbColor kGroundColor(0.55f, 0.35f, 0.15f);
const SbColor kHorizonColor(1.0f, 1.0f, 1.0f);
const SbColor kAircraftColor(1.0f, 0.85f, 0.0f);
// Camera distances of the pixel camera; the instrument lies in its z = 0 plane.
constexpr float kCameraZ = 2.0f;
constexpr float kNear = 1.0f;
constexpr float kFar = 3.0f;

// Sets a field only when its value changes: the instrument is updated in every frame, mostly
// to what it already shows, and each set notifies the instrument's graph.
template <class Field, class Value> void setIfChanged(Field& field, const Value& value) {
    if (!(field.getValue() == value))
        field.setValue(value);
}

SbVec3f onCircle(float angle, float radius = 1.0f) {
    return SbVec3f(radius * std::cos(angle), radius * std::sin(angle), 0.0f);
}

std::vector<SbVec3f> circle(float radius, bool closed) {
    std::vector<SbVec3f> points;
    for (int i = 0; i < kCircleSegments + (closed ? 1 : 0); ++i)
        points.push_back(onCircle(2.0f * float(M_PI) * float(i) / kCircleSegments, radius));
    return points;
}

// Polygons of `perFace` points each, or one polyline; with perFace 0, one polygon or polyline of
// all the points.
struct Part {
    SbColor color;
    std::vector<SbVec3f> points;
    int perFace;
};

// The parts as one shape, drawn part after part, each face or polyline in its part's colour:
// one draw instead of one per part, which is what the instrument's cost comes down to.
SoSeparator* shape(const std::vector<Part>& parts, bool lines,
                   SoCoordinate3* coordinates = nullptr) {
    SoSeparator* group = new SoSeparator;
    SoMaterialBinding* binding = new SoMaterialBinding;
    binding->value = SoMaterialBinding::PER_FACE; // for line sets: per polyline
    group->addChild(binding);
    SoBaseColor* colors = new SoBaseColor;
    group->addChild(colors);
    if (!coordinates)
        coordinates = new SoCoordinate3;
    group->addChild(coordinates);
    SoNonIndexedShape* set = lines ? static_cast<SoNonIndexedShape*>(new SoLineSet)
                                   : static_cast<SoNonIndexedShape*>(new SoFaceSet);
    SoMFInt32& numVertices = lines ? static_cast<SoLineSet*>(set)->numVertices
                                   : static_cast<SoFaceSet*>(set)->numVertices;
    group->addChild(set);
    int point = 0, face = 0;
    for (const Part& part : parts) {
        coordinates->point.setValues(point, int(part.points.size()), part.points.data());
        point += int(part.points.size());
        const int faces = part.perFace > 0 ? int(part.points.size()) / part.perFace : 1;
        for (int i = 0; i < faces; ++i, ++face) {
            colors->rgb.set1Value(face, part.color);
            // A single part of all its points keeps numVertices' default: all points, however
            // many there are when it is drawn.
            if (part.perFace > 0 || parts.size() > 1)
                numVertices.set1Value(face,
                                      part.perFace > 0 ? part.perFace : int(part.points.size()));
        }
    }
    return group;
}

// One part alone; with perFace 0, of all the points the coordinates hold when it is drawn.
SoSeparator* piece(const SbColor& color, const std::vector<SbVec3f>& points, int perFace,
                   bool lines, SoCoordinate3* coordinates = nullptr) {
    return shape({{color, points, perFace}}, lines, coordinates);
}

Part dial(const SbColor& color) {
    return {color, circle(1.0f, false), kCircleSegments};
}

Part ring() {
    return {kRingColor, circle(1.0f, true), 0};
}

SoSeparator* rose() {
    SoSeparator* group = new SoSeparator;
    const float needle = 0.85f, width = 0.15f, side = 0.6f, sideWidth = 0.08f;
    group->addChild(shape(
        {dial(kDialColor),
         {kSideColor,
          {SbVec3f(side, 0, 0), SbVec3f(0, sideWidth, 0), SbVec3f(0, -sideWidth, 0),
           SbVec3f(-side, 0, 0), SbVec3f(0, -sideWidth, 0), SbVec3f(0, sideWidth, 0)},
          3},
         {kNorthColor, {SbVec3f(0, needle, 0), SbVec3f(-width, 0, 0), SbVec3f(width, 0, 0)}, 3},
         {kSouthColor, {SbVec3f(0, -needle, 0), SbVec3f(width, 0, 0), SbVec3f(-width, 0, 0)}, 3}},
        false));
    group->addChild(shape({ring()}, true));
    return group;
}

SoSeparator* northArrow() {
    SoSeparator* group = new SoSeparator;
    const float tip = 0.9f, tail = -0.6f, notch = -0.3f, half = 0.35f;
    group->addChild(piece(kNorthColor,
                          {SbVec3f(0, tip, 0), SbVec3f(-half, tail, 0), SbVec3f(0, notch, 0),
                           SbVec3f(0, tip, 0), SbVec3f(0, notch, 0), SbVec3f(half, tail, 0)},
                          3, false));
    return group;
}

// The aircraft symbol and the ring around the dial, drawn over the horizon.
SoSeparator* aircraftAndRing() {
    const float inner = 0.15f, outer = 0.55f, drop = 0.1f;
    return shape({{kAircraftColor,
                   {SbVec3f(-outer, 0, 0), SbVec3f(-inner, 0, 0), SbVec3f(0, -drop, 0),
                    SbVec3f(inner, 0, 0), SbVec3f(outer, 0, 0)},
                   0},
                  ring()},
                 true);
}

} // namespace

SO_NODE_SOURCE(OivCompass);

void OivCompass::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(OivCompass, SoSeparator, "Separator");
}

OivCompass::OivCompass(void) {
    OivTav::init();
    SO_NODE_CONSTRUCTOR(OivCompass);
    SO_NODE_ADD_FIELD(type, (ROSE));
    SO_NODE_ADD_FIELD(horizontalPosition, (RIGHT));
    SO_NODE_ADD_FIELD(verticalPosition, (TOP));
    SO_NODE_DEFINE_ENUM_VALUE(CompassType, ROSE);
    SO_NODE_DEFINE_ENUM_VALUE(CompassType, NORTH_ARROW);
    SO_NODE_DEFINE_ENUM_VALUE(CompassType, HORIZON_GIRO);
    SO_NODE_DEFINE_ENUM_VALUE(ScreenPosition, CENTER);
    SO_NODE_DEFINE_ENUM_VALUE(ScreenPosition, LEFT);
    SO_NODE_DEFINE_ENUM_VALUE(ScreenPosition, BOTTOM);
    SO_NODE_DEFINE_ENUM_VALUE(ScreenPosition, TOP);
    SO_NODE_DEFINE_ENUM_VALUE(ScreenPosition, RIGHT);
    SO_NODE_SET_SF_ENUM_TYPE(type, CompassType);
    SO_NODE_SET_SF_ENUM_TYPE(horizontalPosition, ScreenPosition);
    SO_NODE_SET_SF_ENUM_TYPE(verticalPosition, ScreenPosition);
    buildInstrument();
}

OivCompass::~OivCompass() {
    m_Instrument->unref();
}

void OivCompass::buildInstrument(void) {
    m_Instrument = new SoSeparator;
    m_Instrument->ref();
    m_Instrument->renderCaching = SoSeparator::OFF; // edited in every frame

    SoDepthBuffer* depth = new SoDepthBuffer;
    depth->test = FALSE;
    depth->write = FALSE;
    m_Instrument->addChild(depth);
    SoLightModel* lightModel = new SoLightModel;
    lightModel->model = SoLightModel::BASE_COLOR;
    m_Instrument->addChild(lightModel);
    SoDrawStyle* drawStyle = new SoDrawStyle;
    drawStyle->lineWidth = kLineWidth;
    m_Instrument->addChild(drawStyle);
    m_PixelCamera = new SoOrthographicCamera;
    m_PixelCamera->viewportMapping = SoCamera::LEAVE_ALONE;
    m_PixelCamera->nearDistance = kNear;
    m_PixelCamera->farDistance = kFar;
    m_Instrument->addChild(m_PixelCamera);
    m_Center = new SoTranslation;
    m_Instrument->addChild(m_Center);
    m_Size = new SoScale;
    m_Instrument->addChild(m_Size);

    m_Heading = new SoRotation;
    m_Roll = new SoRotation;
    m_Ground = new SoCoordinate3;
    m_Horizon = new SoCoordinate3;
    m_Kind = new SoSwitch;
    m_Instrument->addChild(m_Kind);

    SoSeparator* roseKind = new SoSeparator;
    roseKind->addChild(m_Heading);
    roseKind->addChild(rose());
    m_Kind->addChild(roseKind);

    SoSeparator* arrowKind = new SoSeparator;
    arrowKind->addChild(m_Heading);
    arrowKind->addChild(northArrow());
    m_Kind->addChild(arrowKind);

    SoSeparator* giroKind = new SoSeparator;
    giroKind->addChild(shape({dial(kSkyColor)}, false));
    SoSeparator* tilted = new SoSeparator;
    tilted->addChild(m_Roll);
    tilted->addChild(piece(kGroundColor, {}, 0, false, m_Ground));
    tilted->addChild(piece(kHorizonColor, {}, 0, true, m_Horizon));
    giroKind->addChild(tilted);
    giroKind->addChild(aircraftAndRing());
    m_Kind->addChild(giroKind);
}

void OivCompass::setPosition(ScreenPosition horizontal, ScreenPosition vertical) {
    horizontalPosition = horizontal;
    verticalPosition = vertical;
}

void OivCompass::setType(CompassType compassType) {
    type = compassType;
}

void OivCompass::setViewer(SoWinViewer* viewer) {
    m_Viewer.watch(viewer);
}

SoWinViewer* OivCompass::getViewer(void) const {
    return m_Viewer.get();
}

void OivCompass::getPlacement(const SbViewportRegion& viewport, float& centerX, float& centerY,
                              float& radius) const {
    const SbVec2s size = viewport.getViewportSizePixels();
    const float width = size[0], height = size[1];
    radius = std::clamp(kSizeFraction * std::min(width, height), kMinRadius, kMaxRadius);
    switch (horizontalPosition.getValue()) {
    case LEFT:
        centerX = kEdgeMargin + radius;
        break;
    case RIGHT:
        centerX = width - kEdgeMargin - radius;
        break;
    default:
        centerX = 0.5f * width;
    }
    switch (verticalPosition.getValue()) {
    case BOTTOM:
        centerY = kEdgeMargin + radius;
        break;
    case TOP:
        centerY = height - kTopMargin - radius;
        break;
    default:
        centerY = 0.5f * height;
    }
}

void OivCompass::updateGround(float horizonHeight) {
    // The part of the unit disc below the horizon line y = horizonHeight: the arc from the
    // line's left end down around to its right end.
    const float h = std::clamp(horizonHeight, -1.0f, 1.0f);
    // Drawn in every frame, mostly at the same pitch: the arc is only rebuilt when it moved.
    if (m_Horizon->point.getNum() == 2 && m_Horizon->point[0][1] == h)
        return;
    const float rise = std::asin(h);
    const float start = float(M_PI) - rise, end = 2.0f * float(M_PI) + rise;
    std::vector<SbVec3f> points;
    for (int i = 0; i <= kCircleSegments; ++i)
        points.push_back(onCircle(start + (end - start) * float(i) / kCircleSegments));
    m_Ground->point.setValues(0, int(points.size()), points.data());
    m_Ground->point.setNum(int(points.size()));
    const float halfWidth = std::sqrt(std::max(0.0f, 1.0f - h * h));
    m_Horizon->point.set1Value(0, SbVec3f(-halfWidth, h, 0.0f));
    m_Horizon->point.set1Value(1, SbVec3f(halfWidth, h, 0.0f));
}

void OivCompass::updateInstrument(const SbViewportRegion& viewport, const OivAttitude& attitude) {
    const SbVec2s size = viewport.getViewportSizePixels();
    // One unit per pixel, origin in the viewport's lower left corner.
    setIfChanged(m_PixelCamera->position, SbVec3f(0.5f * size[0], 0.5f * size[1], kCameraZ));
    setIfChanged(m_PixelCamera->height, float(size[1]));
    setIfChanged(m_PixelCamera->aspectRatio, float(size[0]) / float(size[1]));
    float x, y, radius;
    getPlacement(viewport, x, y, radius);
    setIfChanged(m_Center->translation, SbVec3f(x, y, 0.0f));
    setIfChanged(m_Size->scaleFactor, SbVec3f(radius, radius, 1.0f));
    // Only a known type picks its instrument: any other number would pick none, or all of them
    // on top of each other (SO_SWITCH_ALL).
    const int kind = type.getValue();
    setIfChanged(m_Kind->whichChild, kind >= ROSE && kind <= HORIZON_GIRO ? kind : SO_SWITCH_NONE);
    const SbVec3f up(0.0f, 0.0f, 1.0f);
    if (type.getValue() != HORIZON_GIRO) {
        // Facing east, north lies to the left: the rose turns counter-clockwise by the heading.
        setIfChanged(m_Heading->rotation, SbRotation(up, attitude.heading));
        return;
    }
    setIfChanged(m_Roll->rotation, SbRotation(up, attitude.roll));
    // Looking up, the horizon sinks: at ±90° it leaves the dial.
    updateGround(-std::sin(attitude.pitch));
}

void OivCompass::GLRenderBelowPath(SoGLRenderAction* action) {
    drawInstrument(action);
    inherited::GLRenderBelowPath(action);
}

void OivCompass::GLRenderInPath(SoGLRenderAction* action) {
    drawInstrument(action);
    inherited::GLRenderInPath(action);
}

void OivCompass::drawInstrument(SoGLRenderAction* action) {
    SoState* state = action->getState();
    // What is drawn depends on the viewer's camera, which no element of the state shows.
    SoCacheElement::invalidate(state);
    const SoWinViewer* viewer = getViewer();
    const SoCamera* camera = viewer ? viewer->getCamera() : nullptr;
    const SbViewportRegion& viewport = SoViewportRegionElement::get(state);
    const SbVec2s size = viewport.getViewportSizePixels();
    if (camera && size[0] > 0 && size[1] > 0) {
        updateInstrument(viewport, OivAttitude::fromCamera(*camera));
        m_Instrument->GLRenderBelowPath(action);
    }
}
