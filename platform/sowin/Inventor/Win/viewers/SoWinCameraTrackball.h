#ifndef OIVWINTAV_SOWINCAMERATRACKBALL_H
#define OIVWINTAV_SOWINCAMERATRACKBALL_H

#include <Inventor/SbLinear.h>
#include <Inventor/projectors/SbSphereSheetProjector.h>

class SoCamera;

// The examiner's virtual trackball: a sphere filling most of the view, which a drag turns.
// Positions are normalised window coordinates (0..1, origin bottom left). The rotation of a
// drag step turns the camera about its focal point the opposite way, so the scene seems to
// follow the mouse.
class SoWinCameraTrackball {
public:
    SoWinCameraTrackball();
    SoWinCameraTrackball(const SoWinCameraTrackball&) = delete;
    SoWinCameraTrackball& operator=(const SoWinCameraTrackball&) = delete;

    // Starts a drag at `position`.
    void begin(const SbVec2f& position);
    // The scene's rotation (in camera space) from the previous position to `position`.
    SbRotation drag(const SbVec2f& position);

    // Turns the camera by the inverse of `sceneRotation` about its focal point: orientation
    // changes, focal point and focal distance stay.
    static void rotate(SoCamera& camera, const SbRotation& sceneRotation);

private:
    SbSphereSheetProjector m_Projector;
};

#endif // OIVWINTAV_SOWINCAMERATRACKBALL_H
