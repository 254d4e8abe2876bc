// Two linked views of one terrain, as the README shows them: a plan view and a 3D view side by
// side in the host's window, kept in step by a canvas group.
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

constexpr int kPaneSize = 400; // each view is a square of this many pixels

// A pane of the host's window for one canvas.
HWND createPane(HWND parent, int left) {
    WNDCLASSA pane = {};
    pane.lpfnWndProc = DefWindowProcA;
    pane.hInstance = SoWin::getInstance();
    pane.lpszClassName = "Pane";
    RegisterClassA(&pane); // fails harmlessly for the second pane
    return CreateWindowExA(0, "Pane", "", WS_CHILD | WS_VISIBLE, left, 0, kPaneSize, kPaneSize,
                           parent, nullptr, pane.hInstance, nullptr);
}

// The scene file named on the command line, or the demo's terrain and well without one.
SoSeparator* readTerrain(int argc, char** argv) {
    if (argc < 2)
        return DemoScene::createContent();
    SoInput input;
    return input.openFile(argv[1]) ? SoDB::readAll(&input) : nullptr;
}

int main(int argc, char** argv) {
    HWND window = SoWin::init("Linked views");
    SoWin::setWidgetSize(window, SbVec2s(2 * kPaneSize, kPaneSize)); // both panes in view
    // One graph, shown by both canvases.
    SoSeparator* terrain = readTerrain(argc, argv);
    if (!terrain) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }

    OivCanvas plan, view3D;
    plan.initialize(OivBaseCanvas::PLANE_VIEWER, createPane(window, 0));
    view3D.initialize(OivBaseCanvas::EXAMINER_VIEWER, createPane(window, kPaneSize));
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
