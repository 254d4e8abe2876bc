#include "ViewerTestSupport.h"

#include "support/MessageLoop.h"

namespace viewertest {

HWND createHostWindow(int width, int height) {
    return testsupport::createHostWindow(width, height);
}

SoSeparator* makeCubeScene() {
    auto* scene = new SoSeparator;
    scene->ref();
    scene->addChild(new SoCube);
    return scene;
}

void ExaminerFixture::SetUp() {
    host = createHostWindow();
    ASSERT_TRUE(host);
    scene = makeCubeScene();
    viewer = new TestExaminer(host);
    viewer->setDecoration(FALSE);
    viewer->setSceneGraph(scene);
    ASSERT_TRUE(viewer->getCamera());
}

void ExaminerFixture::TearDown() {
    delete viewer;
    if (scene)
        scene->unref();
    DestroyWindow(host);
}

} // namespace viewertest
