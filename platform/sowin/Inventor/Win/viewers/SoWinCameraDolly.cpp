#include <Inventor/Win/viewers/SoWinCameraDolly.h>
#include <Inventor/Win/viewers/SoWinCameraState.h>

#include <Inventor/nodes/SoOrthographicCamera.h>

#include <cmath>

void SoWinCameraDolly::dolly(SoCamera& camera, float amount) {
    const float factor = std::exp(amount);
    if (camera.isOfType(SoOrthographicCamera::getClassTypeId())) {
        auto& ortho = static_cast<SoOrthographicCamera&>(camera);
        ortho.height.setValue(ortho.height.getValue() * factor);
        return;
    }
    const SbVec3f direction = SoWinCameraState::viewDirectionOf(camera.orientation.getValue());
    const SbVec3f focalPoint = SoWinCameraState::focalPointOf(camera);
    const float distance = camera.focalDistance.getValue() * factor;
    camera.focalDistance.setValue(distance);
    camera.position.setValue(focalPoint - direction * distance);
}
