#include <Inventor/Win/viewers/SoWinCameraState.h>

#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

#include <algorithm>
#include <cmath>

namespace {

// Below this a distance or height is treated as degenerate and left alone.
constexpr float kTiny = 1e-12f;

} // namespace

float SoWinCameraState::heightForAngle(float heightAngle, float distance) {
    return 2.0f * distance * std::tan(heightAngle * 0.5f);
}

float SoWinCameraState::angleForHeight(float height, float distance) {
    return 2.0f * std::atan2(height * 0.5f, std::max(distance, kTiny));
}

SoWinCameraState SoWinCameraState::of(const SoCamera& camera) {
    SoWinCameraState state;
    state.type = camera.getTypeId();
    state.position = camera.position.getValue();
    state.orientation = camera.orientation.getValue();
    state.focalDistance = camera.focalDistance.getValue();
    if (camera.isOfType(SoOrthographicCamera::getClassTypeId())) {
        state.focalHeight = static_cast<const SoOrthographicCamera&>(camera).height.getValue();
    } else if (camera.isOfType(SoPerspectiveCamera::getClassTypeId())) {
        const float angle = static_cast<const SoPerspectiveCamera&>(camera).heightAngle.getValue();
        state.focalHeight = heightForAngle(angle, state.focalDistance);
    }
    return state;
}

SbVec3f SoWinCameraState::viewDirectionOf(const SbRotation& orientation) {
    SbVec3f direction;
    orientation.multVec(SbVec3f(0.0f, 0.0f, -1.0f), direction);
    return direction;
}

SbVec3f SoWinCameraState::focalPointOf(const SoCamera& camera) {
    return camera.position.getValue() +
           viewDirectionOf(camera.orientation.getValue()) * camera.focalDistance.getValue();
}

SbVec3f SoWinCameraState::getViewDirection() const {
    return viewDirectionOf(orientation);
}

SbVec3f SoWinCameraState::getFocalPoint() const {
    return position + getViewDirection() * focalDistance;
}

void SoWinCameraState::applyTo(SoCamera& camera, bool keepHeightAngle) const {
    camera.orientation.setValue(orientation);
    if (camera.isOfType(SoOrthographicCamera::getClassTypeId())) {
        camera.position.setValue(position);
        camera.focalDistance.setValue(focalDistance);
        static_cast<SoOrthographicCamera&>(camera).height.setValue(focalHeight);
        return;
    }
    if (!camera.isOfType(SoPerspectiveCamera::getClassTypeId())) {
        camera.position.setValue(position);
        camera.focalDistance.setValue(focalDistance);
        return;
    }
    auto& perspective = static_cast<SoPerspectiveCamera&>(camera);
    const bool sameKind = type == SoPerspectiveCamera::getClassTypeId();
    if (keepHeightAngle && !sameKind && focalHeight > kTiny) {
        // Back off or close in along the line of sight until the own angle frames the same
        // height around the same focal point.
        const float angle = perspective.heightAngle.getValue();
        const float distance = focalHeight * 0.5f / std::tan(angle * 0.5f);
        camera.position.setValue(getFocalPoint() - getViewDirection() * distance);
        camera.focalDistance.setValue(distance);
        return;
    }
    camera.position.setValue(position);
    camera.focalDistance.setValue(focalDistance);
    perspective.heightAngle.setValue(angleForHeight(focalHeight, focalDistance));
}
