#include "SoWinDisplay.h"

#ifdef OIVWINTAV_X11
#include "SoWinImGuiDialogs.h"
#include "SoWinX11GL.h"
#include "detail/X11WindowSystem.h"
#endif

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kHeadlessVariable = "OIVWINTAV_HEADLESS";

bool wantsDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && *display && !std::getenv(kHeadlessVariable);
}

#ifdef OIVWINTAV_X11
void openDisplay() {
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
#else
void openDisplay() {
    // Built without a window system: everything stays off screen.
}
#endif

} // namespace

void SoWinDisplay::choose() {
    static bool chosen = false;
    if (chosen)
        return;
    chosen = true;
    if (wantsDisplay())
        openDisplay();
}
