#include "ViewerTestSupport.h"

#include "support/MessageLoop.h"

#include <thread>

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

bool runSensorsUntil(const std::function<bool()>& done, double seconds) {
    const SbTime end = SbTime::getTimeOfDay() + SbTime(seconds);
    while (!done()) {
        if (SbTime::getTimeOfDay() > end)
            return false;
        SoWin::doIdleTasks();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void mouse(HWND hwnd, UINT message, WPARAM keys, int x, int y) {
    SendMessageA(hwnd, message, keys, MAKELPARAM(x, y));
}

void drag(HWND hwnd, UINT down, UINT up, WPARAM keys, POINT from, POINT to, int steps) {
    mouse(hwnd, down, keys, from.x, from.y);
    for (int i = 1; i <= steps; ++i)
        mouse(hwnd, WM_MOUSEMOVE, keys, from.x + (to.x - from.x) * i / steps,
              from.y + (to.y - from.y) * i / steps);
    if (up)
        mouse(hwnd, up, 0, to.x, to.y);
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
