// Entry point of the desktop tests: programs of the project run as a user runs them, on a private
// Xvfb server with openbox as the window manager, driven by XTest input and judged by the pixels
// on the screen and their exit status. Without Xvfb or openbox every test fails, saying so.
#include "desktop/DesktopProgramTest.h"
#include "onscreen/XvfbServer.h"

#include <gtest/gtest.h>

// After gtest: X11's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>

#include <cstdlib>

#include "SanitizerDefaults.h"

namespace {

// Whether a window manager announced itself on the display (EWMH).
bool windowManagerRuns() {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type;
    int format;
    unsigned long count = 0, left;
    unsigned char* value = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, AnyPropertyType,
                       &type, &format, &count, &left, &value);
    if (value)
        XFree(value);
    XCloseDisplay(display);
    return count > 0;
}

class DesktopEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        std::string error;
        const std::string display = onscreen::XvfbServer::start(error);
        ASSERT_FALSE(display.empty()) << "no X server for the desktop tests: " << error;
        setenv("DISPLAY", display.c_str(), 1);
        unsetenv("OIVWINTAV_HEADLESS");
        // It ends with the server.
        ASSERT_GT(desktop::spawn("openbox", "/dev/null"), 0)
            << "openbox is not installed (scripts/install-deps.sh installs it)";
        ASSERT_TRUE(desktop::waitUntil(windowManagerRuns)) << "openbox did not start";
    }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);
    return RUN_ALL_TESTS();
}
