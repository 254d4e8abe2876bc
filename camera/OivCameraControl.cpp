#include "camera/OivCameraControl.h"

#include <Inventor/SbLinear.h>
#include <Inventor/nodes/SoCamera.h>

#include <cmath>

namespace {

// The angles of the orientation table, as single-precision constants.
constexpr float kHalfPi = 1.57079632679489661923f; // 0x3FC90FDB
constexpr float kPi = 3.14159265358979323846f;     // 0x40490FDB

enum class RotationAxis { NONE, X, Y, Z };

struct Turn {
    RotationAxis axis;
    float angle;
};

// The absolute orientation for one (view axis, up axis) pair: the first turn, then the second.
struct AxisPairOrientation {
    OivCameraControl::WhichAxis viewAxis;
    OivCameraControl::WhichAxis upAxis;
    Turn first;
    Turn second;
};

using A = OivCameraControl;
constexpr Turn kNoTurn = {RotationAxis::NONE, 0.0f};

const AxisPairOrientation kOrientations[] = {
    {A::POSITIVE_X, A::POSITIVE_Y, {RotationAxis::Y, kHalfPi}, kNoTurn},
    {A::POSITIVE_X, A::NEGATIVE_Y, {RotationAxis::Y, kHalfPi}, {RotationAxis::X, kPi}},
    {A::POSITIVE_X, A::POSITIVE_Z, {RotationAxis::Y, kHalfPi}, {RotationAxis::X, kHalfPi}},
    {A::POSITIVE_X, A::NEGATIVE_Z, {RotationAxis::Y, kHalfPi}, {RotationAxis::X, -kHalfPi}},
    {A::NEGATIVE_X, A::POSITIVE_Y, {RotationAxis::Y, -kHalfPi}, kNoTurn},
    {A::NEGATIVE_X, A::NEGATIVE_Y, {RotationAxis::Y, -kHalfPi}, {RotationAxis::X, kPi}},
    {A::NEGATIVE_X, A::POSITIVE_Z, {RotationAxis::Y, -kHalfPi}, {RotationAxis::X, kHalfPi}},
    {A::NEGATIVE_X, A::NEGATIVE_Z, {RotationAxis::Y, -kHalfPi}, {RotationAxis::X, -kHalfPi}},
    {A::POSITIVE_Y, A::POSITIVE_X, {RotationAxis::X, -kHalfPi}, {RotationAxis::Y, -kHalfPi}},
    {A::POSITIVE_Y, A::NEGATIVE_X, {RotationAxis::X, -kHalfPi}, {RotationAxis::Y, kHalfPi}},
    {A::POSITIVE_Y, A::POSITIVE_Z, {RotationAxis::X, -kHalfPi}, {RotationAxis::Y, kPi}},
    {A::POSITIVE_Y, A::NEGATIVE_Z, {RotationAxis::X, -kHalfPi}, kNoTurn},
    {A::NEGATIVE_Y, A::POSITIVE_X, {RotationAxis::X, kHalfPi}, {RotationAxis::Y, kHalfPi}},
    {A::NEGATIVE_Y, A::NEGATIVE_X, {RotationAxis::X, kHalfPi}, {RotationAxis::Y, -kHalfPi}},
    {A::NEGATIVE_Y, A::POSITIVE_Z, {RotationAxis::X, kHalfPi}, kNoTurn},
    {A::NEGATIVE_Y, A::NEGATIVE_Z, {RotationAxis::X, kHalfPi}, {RotationAxis::Y, kPi}},
    {A::POSITIVE_Z, A::POSITIVE_X, {RotationAxis::Z, -kHalfPi}, kNoTurn},
    {A::POSITIVE_Z, A::NEGATIVE_X, {RotationAxis::Z, kHalfPi}, kNoTurn},
    {A::POSITIVE_Z, A::POSITIVE_Y, {RotationAxis::Y, 0.0f}, kNoTurn},
    {A::POSITIVE_Z, A::NEGATIVE_Y, {RotationAxis::Z, kPi}, kNoTurn},
    {A::NEGATIVE_Z, A::POSITIVE_X, {RotationAxis::Y, kPi}, {RotationAxis::Z, -kHalfPi}},
    {A::NEGATIVE_Z, A::NEGATIVE_X, {RotationAxis::Y, kPi}, {RotationAxis::Z, kHalfPi}},
    {A::NEGATIVE_Z, A::POSITIVE_Y, {RotationAxis::Y, kPi}, kNoTurn},
    {A::NEGATIVE_Z, A::NEGATIVE_Y, {RotationAxis::Y, kPi}, {RotationAxis::Z, kPi}},
};

// The (view axis, up axis) pair of each Direction, in Direction order.
const OivCameraControl::WhichAxis kDirectionAxes[][2] = {
    {A::POSITIVE_Z, A::POSITIVE_Y}, // ABOVE
    {A::NEGATIVE_Z, A::POSITIVE_Y}, // BELOW
    {A::NEGATIVE_X, A::POSITIVE_Z}, // WEST
    {A::POSITIVE_X, A::POSITIVE_Z}, // EAST
    {A::NEGATIVE_Y, A::POSITIVE_Z}, // SOUTH
    {A::POSITIVE_Y, A::POSITIVE_Z}, // NORTH
};

SbVec3f unitVector(RotationAxis axis) {
    switch (axis) {
    case RotationAxis::X:
        return SbVec3f(1.0f, 0.0f, 0.0f);
    case RotationAxis::Y:
        return SbVec3f(0.0f, 1.0f, 0.0f);
    default:
        return SbVec3f(0.0f, 0.0f, 1.0f);
    }
}

SbRotation rotationOf(const Turn& turn) {
    SbRotation rotation;
    rotation.setValue(unitVector(turn.axis), turn.angle);
    return rotation;
}

// The orientation table entry for the pair, or null when the pair has none.
const AxisPairOrientation* findOrientation(OivCameraControl::WhichAxis viewAxis,
                                           OivCameraControl::WhichAxis upAxis) {
    for (const AxisPairOrientation& entry : kOrientations) {
        if (entry.viewAxis == viewAxis && entry.upAxis == upAxis)
            return &entry;
    }
    return nullptr;
}

// The camera's view direction: its orientation applied to (0, 0, -1), which is the negated third
// row of the rotation matrix (Inventor matrices act on row vectors).
SbVec3f viewDirection(const SbRotation& orientation) {
    SbMatrix matrix;
    matrix.setRotate(orientation);
    return SbVec3f(-matrix[2][0], -matrix[2][1], -matrix[2][2]);
}

SbVec3f focalPoint(const SoCamera& camera) {
    return camera.position.getValue() +
           viewDirection(camera.orientation.getValue()) * camera.focalDistance.getValue();
}

// Places the camera so that it looks at `focus` along its current orientation, at its focal
// distance.
void placeBeforeFocalPoint(SoCamera& camera, const SbVec3f& focus) {
    const SbVec3f direction = viewDirection(camera.orientation.getValue());
    camera.position.setValue(focus - direction * camera.focalDistance.getValue());
}

} // namespace

OivCameraControl::OivCameraControl() : m_KeepFocus(true), m_Direction(ABOVE) {
    setDirection(ABOVE);
}

OivCameraControl::~OivCameraControl() = default;

void OivCameraControl::setDirection(Direction dir) {
    m_Direction = dir;
}

OivCameraControl::Direction OivCameraControl::getDirection() const {
    return m_Direction;
}

void OivCameraControl::enableKeepFocus(bool keepFocus) {
    m_KeepFocus = keepFocus;
}

bool OivCameraControl::isKeepingFocus() const {
    return m_KeepFocus;
}

const SoMFString* OivCameraControl::getDirectionLabels() const {
    return nullptr;
}

void OivCameraControl::alignCamera(SoCamera* camera) {
    alignCameraToDirection(camera, m_Direction);
}

void OivCameraControl::alignCameraToDirection(SoCamera* camera, Direction dir) {
    WhichAxis viewAxis;
    WhichAxis upAxis;
    DirectionToAxis(dir, viewAxis, upAxis);
    alignCameraToAxis(camera, viewAxis, upAxis);
}

void OivCameraControl::alignCameraToAxis(SoCamera* camera, WhichAxis viewAxis, WhichAxis upAxis) {
    if (!camera)
        return;
    const SbVec3f focus = focalPoint(*camera);
    SbRotation orientation = camera->orientation.getValue();
    if (const AxisPairOrientation* entry = findOrientation(viewAxis, upAxis)) {
        orientation = rotationOf(entry->first);
        if (entry->second.axis != RotationAxis::NONE)
            orientation *= rotationOf(entry->second);
    }
    camera->orientation.setValue(orientation);
    placeBeforeFocalPoint(*camera, focus);
}

void OivCameraControl::setCameraWithGlobalScales(SoCamera* camera, float oldScale, float newScale) {
    // Dividing by a zero or non-finite scale would put the focal point at an infinite or
    // undefined height and the camera with it.
    if (!camera || oldScale == 0.0f || !std::isfinite(oldScale) || !std::isfinite(newScale))
        return;
    SbVec3f focus = focalPoint(*camera);
    const float unscaled = focus[2] / oldScale;
    const float rescaled = unscaled * newScale;
    focus[2] = rescaled;
    placeBeforeFocalPoint(*camera, focus);
}

void OivCameraControl::DirectionToAxis(Direction dir, WhichAxis& viewAxis, WhichAxis& upAxis) {
    const int index = (dir >= BELOW && dir <= NORTH) ? dir : ABOVE;
    viewAxis = kDirectionAxes[index][0];
    upAxis = kDirectionAxes[index][1];
}
