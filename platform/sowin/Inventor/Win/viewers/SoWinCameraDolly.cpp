#include <Inventor/Win/viewers/SoWinCameraDolly.h>

#include <Inventor/nodes/SoOrthographicCamera.h>

#include <cmath>

void SoWinCameraDolly::dolly(SoCamera& camera, float amount) {
    const float factor = std::exp(amount);
    if (camera.isOfType(SoOrthographicCamera::getClassTypeId())) {
        auto& ortho = static_cast<SoOrthographicCamera&>(camera);
        ortho.height.setValue(ortho.height.getValue() * factor);
        return;
    }
    SbVec3f direction;
    camera.orientation.getValue().multVec(SbVec3f(0.0f, 0.0f, -1.0f), direction);
    const float distance = camera.focalDistance.getValue();
    const SbVec3f focalPoint = camera.position.getValue() + direction * distance;
    camera.focalDistance.setValue(distance * factor);
    camera.position.setValue(focalPoint - direction * (distance * factor));
}
