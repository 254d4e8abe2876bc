#include "SoWinDisplay.h"

#include "SoWinOnScreen.h"

#include <cstdlib>

namespace {

constexpr const char* kHeadlessVariable = "OIVWINTAV_HEADLESS";

bool wantsDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && *display && !std::getenv(kHeadlessVariable);
}

void openDisplay() {
#ifdef OIVWINTAV_X11
    SoWinOnScreen::open();
#else
    // Built without a window system: everything stays off screen.
#endif
}

} // namespace

void SoWinDisplay::choose() {
    static bool chosen = false;
    if (chosen)
        return;
    chosen = true;
    if (wantsDisplay())
        openDisplay();
}
