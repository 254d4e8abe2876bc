// Two linked views of one terrain, as the README shows them: a plan view and a 3D view side by
// side in the host's window, kept in step by a canvas group.
//
//   oivwintav-linked-views [terrain.iv]     (default: terrain.iv)
//
// The views are for a person to drag: headless there is nobody to drag or to close the window,
// so the program only checks that it could build them and says so instead of waiting forever.
#include "OivWinTav.h"

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/nodes/SoSeparator.h>
#include <oivwin32.h>

#include <cstdio>

// A pane of the host's window for one canvas.
HWND createPane(HWND parent, int left) {
    WNDCLASSA pane = {};
    pane.lpfnWndProc = DefWindowProcA;
    pane.hInstance = SoWin::getInstance();
    pane.lpszClassName = "Pane";
    RegisterClassA(&pane); // fails harmlessly for the second pane
    return CreateWindowExA(0, "Pane", "", WS_CHILD | WS_VISIBLE, left, 0, 400, 400, parent, nullptr,
                           pane.hInstance, nullptr);
}

int main(int argc, char** argv) {
    HWND window = SoWin::init("Linked views");
    SoInput input;
    // One graph, shown by both canvases.
    SoSeparator* terrain =
        input.openFile(argc > 1 ? argv[1] : "terrain.iv") ? SoDB::readAll(&input) : nullptr;
    if (!terrain)
        return 1;

    OivCanvas plan, view3D;
    plan.initialize(OivBaseCanvas::PLANE_VIEWER, createPane(window, 0));
    view3D.initialize(OivBaseCanvas::EXAMINER_VIEWER, createPane(window, 400));
    for (OivCanvas* canvas : {&plan, &view3D}) {
        canvas->getOivSceneManager()->getRoot3D()->addChild(terrain);
        canvas->getOivViewer()->viewAll();
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
