#include "LibraryViewerTestSupport.h"

#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoTranslation.h>

namespace libviewertest {

SoSeparator* makeScene(SoType cameraType, bool named, bool overlay) {
    auto* scene = new SoSeparator;
    scene->ref();
    auto* camera = static_cast<SoCamera*>(cameraType.createInstance());
    camera->position.setValue(0.0f, 0.0f, 10.0f);
    camera->focalDistance.setValue(10.0f);
    scene->addChild(camera);

    auto* content = new SoSeparator;
    content->setName(named ? "Main3DRoot" : "Content");
    content->addChild(new SoCube);
    scene->addChild(content);

    if (!overlay)
        return scene;
    auto* outside = new SoSeparator;
    auto* offset = new SoTranslation;
    offset->translation.setValue(60.0f, 0.0f, 0.0f);
    auto* big = new SoCube;
    big->width = big->height = big->depth = 40.0f;
    outside->addChild(offset);
    outside->addChild(big);
    scene->addChild(outside);
    return scene;
}

SoCamera* cameraOf(SoSeparator* scene) {
    SoSearchAction search;
    search.setType(SoCamera::getClassTypeId());
    search.apply(scene);
    return search.getPath() ? static_cast<SoCamera*>(search.getPath()->getTail()) : nullptr;
}

float heightOf(const SoCamera& camera) {
    if (camera.isOfType(SoOrthographicCamera::getClassTypeId()))
        return static_cast<const SoOrthographicCamera&>(camera).height.getValue();
    return static_cast<const SoPerspectiveCamera&>(camera).heightAngle.getValue();
}

::testing::AssertionResult sameView(const SoCamera& actual, const SoCamera& expected) {
    const bool same = actual.getTypeId() == expected.getTypeId() &&
                      actual.position.getValue() == expected.position.getValue() &&
                      actual.orientation.getValue() == expected.orientation.getValue() &&
                      actual.focalDistance.getValue() == expected.focalDistance.getValue() &&
                      heightOf(actual) == heightOf(expected);
    if (same)
        return ::testing::AssertionSuccess();
    const SbVec3f a = actual.position.getValue();
    const SbVec3f e = expected.position.getValue();
    return ::testing::AssertionFailure()
           << "position (" << a[0] << ", " << a[1] << ", " << a[2] << ") vs (" << e[0] << ", "
           << e[1] << ", " << e[2] << "), focal distance " << actual.focalDistance.getValue()
           << " vs " << expected.focalDistance.getValue() << ", height " << heightOf(actual)
           << " vs " << heightOf(expected);
}

} // namespace libviewertest
