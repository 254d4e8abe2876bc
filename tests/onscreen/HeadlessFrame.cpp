#include "onscreen/HeadlessFrame.h"

#include "DemoScene.h"
#include "canvas/OivCanvas.h"
#include "support/MessageLoop.h"

#include <Inventor/SbImage.h>
#include <Inventor/Win/SoWin.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace onscreen {

HWND presentDemoCanvas(OivCanvas& canvas) {
    HWND window = testsupport::createHostWindow(DemoScene::kWidth, DemoScene::kHeight);
    canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
    DemoScene::present(canvas);
    return window;
}

int writeHeadlessFrame(const char* path) {
    unsetenv("DISPLAY");
    SoWin::init("OivWinTav headless frame");
    bool written;
    {
        OivCanvas canvas;
        presentDemoCanvas(canvas);
        written = DemoScene::writePicture(canvas, path);
    }
    return written ? EXIT_SUCCESS : EXIT_FAILURE;
}

ScreenImage headlessDemoFrame(const std::string& path) {
    ScreenImage image;
    const pid_t child = fork();
    if (child == 0) {
        const std::string option = kHeadlessFrameOption + path;
        execl("/proc/self/exe", "test_onscreen", option.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != EXIT_SUCCESS)
        return image;
    SbImage picture;
    if (!picture.readFile(path.c_str()))
        return image;
    SbVec2s size;
    int components = 0;
    const unsigned char* data = picture.getValue(size, components);
    image.width = size[0];
    image.height = size[1];
    for (int y = 0; y < size[1]; ++y) {
        // SbImage rows run bottom to top.
        const unsigned char* row = data + size_t(size[1] - 1 - y) * size[0] * components;
        for (int x = 0; x < size[0]; ++x)
            image.pixels.push_back(
                Rgb{row[x * components], row[x * components + 1], row[x * components + 2]});
    }
    return image;
}

} // namespace onscreen
