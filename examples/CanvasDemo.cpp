// The demo host: its own top-level window with an examiner canvas inside, the demo scene
// (terrain, well, decorations, Z scale 2) seen from the south. On a desktop (DISPLAY set) the
// window opens with the canvas toolbar, the test dialog ("Controls", with the scene file and
// video recorder dialogs as pages) and a curve canvas's window beside it until the user closes
// it. Headless, what the canvas shows is written to a PNG file, with the printed page and a video
// of the camera orbiting the scene (Zorvan3D_1.mpg beside the picture, or the next free number).
//
//   oivwintav-demo [picture.png]      (default: oivwintav-demo.png in the current folder)
#include "CurveDemo.h"
#include "DemoPrint.h"
#include "DemoRecording.h"
#include "DemoScene.h"
#include "DemoWindow.h"
#include "GroupDemo.h"

#include "canvas/OivCanvas.h"

#include <Inventor/Win/SoWin.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kWindowClass = "OivWinTavDemo";
constexpr const char* kDefaultPicture = "oivwintav-demo.png";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createMainWindow() {
    return DemoWindow::createWindow(kWindowClass, "OivWinTav demo", windowProc);
}

// Closes the window and runs the loop until the quit message it causes.
int closeAndDrainLoop(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}

} // namespace

int main(int argc, char** argv) {
    const char* picture = argc > 1 ? argv[1] : kDefaultPicture;
    HWND window = createMainWindow();
    if (!window) {
        std::fprintf(stderr, "oivwintav-demo: cannot create the window\n");
        return EXIT_FAILURE;
    }
    SoWin::init(window);
    bool written;
    {
        OivCanvas canvas;
        canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
        SoWin::show(window);
        DemoScene::present(canvas);
        DemoScene::followZScale(canvas);
        if (DemoWindow::runUntilClosed(canvas))
            return EXIT_SUCCESS;
        written = DemoScene::writePicture(canvas, picture);
        written = DemoPrint::writePrintedPage(canvas, picture) && written;
        DemoRecording::recordOrbit(canvas, picture);
    }
    written = CurveDemo::writePictureBeside(window, picture, true) && written;
    const bool pairWritten = GroupDemo::writePairBeside(window, picture);
    closeAndDrainLoop(window);
    if (!written) {
        std::fprintf(stderr, "oivwintav-demo: cannot write %s\n", picture);
        return EXIT_FAILURE;
    }
    std::printf("oivwintav-demo: wrote what the canvas shows (%dx%d) to %s\n", DemoScene::kWidth,
                DemoScene::kHeight, picture);
    return pairWritten ? EXIT_SUCCESS : EXIT_FAILURE;
}
