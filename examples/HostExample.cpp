// The smallest host of a canvas, as the README shows it. SoWin::init comes first: it sets up
// Coin and drawing and makes the application's window. Then a canvas in that window, content
// under its 3D root, and either the message loop (with a display) or one picture (headless).
//
//   oivwintav-host-example [picture.png]     (default: oivwintav-host.png)
//
// Headless (no DISPLAY, OIVWINTAV_HEADLESS set, or a display that cannot be opened) nothing could
// be seen and nobody could close the window, so the loop would never end. The host draws the
// canvas once instead and writes what it shows to a PNG file.
#include "OivWinTav.h"

#include <Inventor/SoOffscreenRenderer.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoSeparator.h>
#include <oivwin32.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Draws the viewer's whole scene off screen at the viewer's size and saves it.
bool writePicture(SoWinFullViewer* viewer, const char* path) {
    SoOffscreenRenderer renderer(viewer->getViewportRegion());
    renderer.setBackgroundColor(viewer->getBackgroundColor());
    return renderer.render(viewer->getSceneManager()->getSceneGraph()) &&
           renderer.writeToFile(path, "png");
}

} // namespace

int main(int argc, char** argv) {
    HWND window = SoWin::init("My host"); // first: Coin, drawing, the application's window
    OivCanvas canvas;
    canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
    canvas.getOivSceneManager()->getRoot3D()->addChild(new SoCone);
    canvas.getOivViewer()->viewAll();
    canvas.getOivViewer()->saveHomePosition(); // Home comes back to this view of the content
    if (!OivWin32IsOnScreen()) {               // SoWin::init found no screen to show windows on
        const char* picture = argc > 1 ? argv[1] : "oivwintav-host.png";
        if (!writePicture(canvas.getOivViewer(), picture)) {
            std::fprintf(stderr, "cannot write %s\n", picture);
            return EXIT_FAILURE;
        }
        std::printf("wrote %s\n", picture);
        return EXIT_SUCCESS;
    }
    SoWin::show(window);
    SoWin::mainLoop(); // until the window is closed
    return EXIT_SUCCESS;
}
