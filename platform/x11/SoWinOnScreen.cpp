#include "SoWinOnScreen.h"

#include "SoWinImGuiDialogs.h"
#include "SoWinX11GL.h"
#include "X11WindowSystem.h"

#include <cstdio>
#include <cstdlib>

void SoWinOnScreen::open() {
    std::unique_ptr<oivwin32::X11WindowSystem> windows = oivwin32::X11WindowSystem::open(nullptr);
    if (!windows) {
        std::fprintf(stderr, "SoWin: cannot open the display \"%s\"; drawing off screen\n",
                     std::getenv("DISPLAY"));
        return;
    }
    std::unique_ptr<SoWinX11GL> drawing = SoWinX11GL::open(*windows);
    if (!drawing) {
        std::fprintf(stderr, "SoWin: the display offers no OpenGL through EGL; drawing off "
                             "screen\n");
        return;
    }
    // Both live as long as the process: windows and surfaces may be used until it ends.
    SoWinGLBackend::use(drawing.release());
    if (oivwin32::WindowSystem::install(std::move(windows)))
        SoWinImGuiDialogs::install();
}
