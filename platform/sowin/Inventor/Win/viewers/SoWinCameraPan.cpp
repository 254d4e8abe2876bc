#include <Inventor/Win/viewers/SoWinCameraPan.h>

#include <Inventor/SbLine.h>
#include <Inventor/SbPlane.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/Win/viewers/SoWinCameraState.h>
#include <Inventor/nodes/SoCamera.h>

namespace {

// Where the ray through a normalised window point meets `plane`, if it does.
bool pointOnPlane(const SbViewVolume& volume, const SbPlane& plane, const SbVec2f& position,
                  SbVec3f& point) {
    SbLine line;
    volume.projectPointToLine(position, line);
    return plane.intersect(line, point) != FALSE;
}

} // namespace

void SoWinCameraPan::pan(SoCamera& camera, float aspect, const SbVec2f& from, const SbVec2f& to) {
    if (from == to)
        return;
    const SbViewVolume volume = camera.getViewVolume(aspect);
    const SbPlane focalPlane(SoWinCameraState::viewDirectionOf(camera.orientation.getValue()),
                             SoWinCameraState::focalPointOf(camera));
    SbVec3f before, after;
    if (!pointOnPlane(volume, focalPlane, from, before) ||
        !pointOnPlane(volume, focalPlane, to, after))
        return;
    camera.position.setValue(camera.position.getValue() - (after - before));
}
