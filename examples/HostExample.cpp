// The smallest host of a canvas, as the README shows it: a window, a canvas in it, content under
// the canvas's 3D root, the message loop.
#include "OivWinTav.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoSeparator.h>

int main() {
    HWND window = SoWin::init("My host"); // the application's top-level window
    OivCanvas canvas;
    canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
    canvas.getOivSceneManager()->getRoot3D()->addChild(new SoCone);
    canvas.getOivViewer()->viewAll();
    SoWin::show(window);
    SoWin::mainLoop(); // until the window is closed
    return 0;
}
