// Two linked views of one terrain, as the README shows them: a plan view and a 3D view side by
// side in the host's window, kept in step by a canvas group. Each pane takes half of the window
// and its canvas follows it when the window is resized.
//
//   oivwintav-linked-views [terrain.iv]     (default: the demo's terrain and well)
//
// The views are for a person to drag: headless there is nobody to drag or to close the window,
// so the program only checks that it could build them and says so instead of waiting forever.
#include "DemoScene.h"
#include "OivWinTav.h"

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/nodes/SoSeparator.h>
#include <oivwin32.h>

#include <cstdio>

constexpr int kPaneSize = 400; // each view starts as a square of this many pixels
HWND panes[2] = {};

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: { // as a Win32 host does; each canvas follows its pane
        const int width = LOWORD(lParam), height = HIWORD(lParam);
        MoveWindow(panes[0], 0, 0, width / 2, height, TRUE);
        MoveWindow(panes[1], width / 2, 0, width - width / 2, height, TRUE);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND createWindow(const char* className, WNDPROC procedure, const char* title, DWORD style,
                  HWND parent) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass); // fails harmlessly for the second pane
    return CreateWindowExA(0, className, title, style, 0, 0, kPaneSize, kPaneSize, parent, nullptr,
                           windowClass.hInstance, nullptr);
}

// The scene file named on the command line, or the demo's terrain and well without one.
SoSeparator* readTerrain(int argc, char** argv) {
    if (argc < 2)
        return DemoScene::createContent();
    SoInput input;
    return input.openFile(argv[1]) ? SoDB::readAll(&input) : nullptr;
}

int main(int argc, char** argv) {
    HWND window =
        createWindow("LinkedViews", windowProc, "Linked views", WS_OVERLAPPEDWINDOW, nullptr);
    SoWin::init(window);
    for (HWND& pane : panes)
        pane = createWindow("Pane", DefWindowProcA, "", WS_CHILD | WS_VISIBLE, window);
    SoWin::setWidgetSize(window, SbVec2s(2 * kPaneSize, kPaneSize)); // both panes in view
    // One graph, shown by both canvases.
    SoSeparator* terrain = readTerrain(argc, argv);
    if (!terrain) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }

    OivCanvas plan, view3D;
    plan.initialize(OivBaseCanvas::PLANE_VIEWER, panes[0]);
    view3D.initialize(OivBaseCanvas::EXAMINER_VIEWER, panes[1]);
    for (OivCanvas* canvas : {&plan, &view3D}) {
        canvas->getOivSceneManager()->getRoot3D()->addChild(terrain);
        canvas->getOivViewer()->viewAll();
        canvas->getOivViewer()->saveHomePosition(); // Home comes back to the framed terrain
    }

    // From now on a drag, a camera-type toggle or a new Z scale in one view reaches the other.
    OivCanvasGroup group;
    group.addCanvas(&plan);
    group.addCanvas(&view3D);

    if (!OivWin32IsOnScreen()) {
        std::printf("no screen to show the linked views on; run this on a desktop\n");
        return 0;
    }
    SoWin::show(window);
    SoWin::mainLoop(); // until the window is closed
    return 0;
}
