#include <Inventor/Win/viewers/SoWinCameraTrackball.h>

#include <Inventor/SbViewVolume.h>
#include <Inventor/nodes/SoCamera.h>

namespace {

// The ball covers 80 % of the smaller half extent of the view, so a drag near the border
// rolls the view about the line of sight (the sheet part of the projector).
constexpr float kBallRadius = 0.8f;

SbVec3f viewDirection(const SbRotation& orientation) {
    SbVec3f direction;
    orientation.multVec(SbVec3f(0.0f, 0.0f, -1.0f), direction);
    return direction;
}

} // namespace

SoWinCameraTrackball::SoWinCameraTrackball()
    : m_Projector(SbSphere(SbVec3f(0.0f, 0.0f, 0.0f), kBallRadius)) {
    SbViewVolume volume;
    volume.ortho(-1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f);
    m_Projector.setViewVolume(volume);
}

void SoWinCameraTrackball::begin(const SbVec2f& position) {
    m_Projector.project(position);
}

SbRotation SoWinCameraTrackball::drag(const SbVec2f& position) {
    SbRotation rotation;
    m_Projector.projectAndGetRotation(position, rotation);
    return rotation;
}

void SoWinCameraTrackball::rotate(SoCamera& camera, const SbRotation& sceneRotation) {
    const SbRotation old = camera.orientation.getValue();
    const float distance = camera.focalDistance.getValue();
    const SbVec3f focalPoint = camera.position.getValue() + viewDirection(old) * distance;
    const SbRotation turned = sceneRotation.inverse() * old;
    camera.orientation.setValue(turned);
    camera.position.setValue(focalPoint - viewDirection(turned) * distance);
}
