#include <Inventor/Win/viewers/SoWinCameraTrackball.h>

#include <Inventor/SbViewVolume.h>
#include <Inventor/Win/viewers/SoWinCameraState.h>
#include <Inventor/nodes/SoCamera.h>

namespace {

// The ball covers 80 % of the smaller half extent of the view, so a drag near the border
// rolls the view about the line of sight (the sheet part of the projector).
constexpr float kBallRadius = 0.8f;

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
    const SbVec3f focalPoint = SoWinCameraState::focalPointOf(camera);
    const SbRotation turned = sceneRotation.inverse() * camera.orientation.getValue();
    camera.orientation.setValue(turned);
    camera.position.setValue(focalPoint - SoWinCameraState::viewDirectionOf(turned) *
                                              camera.focalDistance.getValue());
}
