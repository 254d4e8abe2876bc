// A host that forgets SoWin::init: it builds one object of the library before anything else
// and makes it draw a red block filling the middle of the view.
//
//   oivwintav-before-init render-area|viewer|scene-manager|canvas
//
// Exits with 0 when the object was built and drew the block; a crash, a message from Coin or a
// wrong picture fails the test that runs it.
#include "SanitizerDefaults.h"

#include "OivWinTav.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/SoWinRenderArea.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kSize = 64;

// An unlit red block, large enough to cover the middle of any view that frames it.
SoSeparator* redBlock() {
    SoSeparator* block = new SoSeparator;
    SoLightModel* unlit = new SoLightModel;
    unlit->model = SoLightModel::BASE_COLOR;
    block->addChild(unlit);
    SoBaseColor* red = new SoBaseColor;
    red->rgb.setValue(1.0f, 0.0f, 0.0f);
    block->addChild(red);
    block->addChild(new SoCube);
    return block;
}

HWND hostWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BeforeInitHost";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "BeforeInitHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, kSize, kSize,
                           nullptr, nullptr, windowClass.hInstance, nullptr);
}

int drewRedMiddle(SoWinRenderArea* area) {
    area->render();
    std::vector<unsigned char> rgb;
    SbVec2s size;
    if (!area->readPixels(rgb, size) || size[0] <= 0 || size[1] <= 0) {
        std::fprintf(stderr, "before-init: nothing could be read back\n");
        return 1;
    }
    const unsigned char* middle = &rgb[3 * ((size[1] / 2) * size[0] + size[0] / 2)];
    if (middle[0] < 250 || middle[1] > 5 || middle[2] > 5) {
        std::fprintf(stderr, "before-init: the middle is (%d, %d, %d), not red\n", middle[0],
                     middle[1], middle[2]);
        return 1;
    }
    return 0;
}

int renderArea() {
    SoWinRenderArea area(hostWindow());
    SoSeparator* scene = new SoSeparator;
    SoOrthographicCamera* camera = new SoOrthographicCamera;
    camera->height = 1.0f;
    scene->addChild(camera);
    scene->addChild(redBlock());
    area.setSceneGraph(scene);
    return drewRedMiddle(&area);
}

int viewer() {
    SoWinExaminerViewer viewer; // a top-level shell of its own
    viewer.setSceneGraph(redBlock());
    viewer.viewAll();
    return drewRedMiddle(&viewer);
}

int sceneManager() {
    OivSceneManager manager;
    manager.getRoot3D()->addChild(redBlock());
    OivWinExaminerViewer viewer(hostWindow());
    viewer.setDecoration(FALSE); // the drawing area fills the small window
    manager.setViewer(&viewer, false);
    viewer.viewAll();
    return drewRedMiddle(&viewer);
}

int canvas() {
    OivCanvas canvas;
    canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, hostWindow());
    canvas.getOivSceneManager()->getRoot3D()->addChild(redBlock());
    canvas.getOivViewer()->viewAll();
    return drewRedMiddle(canvas.getOivViewer());
}

} // namespace

int main(int argc, char** argv) {
    const struct {
        const char* name;
        int (*run)();
    } cases[] = {{"render-area", renderArea},
                 {"viewer", viewer},
                 {"scene-manager", sceneManager},
                 {"canvas", canvas}};
    for (const auto& c : cases)
        if (argc > 1 && std::strcmp(argv[1], c.name) == 0) {
            const int result = c.run();
            // The layer set itself up; a host's SoWin::init afterwards still makes its window.
            if (result == 0 && !IsWindow(SoWin::init("after"))) {
                std::fprintf(stderr, "before-init: SoWin::init made no window afterwards\n");
                return 1;
            }
            return result;
        }
    std::fprintf(stderr, "usage: oivwintav-before-init render-area|viewer|scene-manager|canvas\n");
    return 2;
}
