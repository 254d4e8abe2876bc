// Xlib has one error handler per process. The library's answers for the library's connection
// only: an error of the host's own connection reaches the handler the host had installed.
#include "X11WindowSystem.h"

#include <Inventor/Win/SoWin.h>

#include <gtest/gtest.h>

// After gtest: X11's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>

#include <vector>

namespace {

std::vector<Display*> reported;

// A request about a window that is gone: BadWindow.
void failOn(Display* display) {
    Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(display, gone);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, gone, &attributes);
    XSync(display, False);
}

TEST(X11ErrorTest, OnlyTheHostsErrorsReachTheHostsHandler) {
    XSetErrorHandler([](Display* display, XErrorEvent*) {
        reported.push_back(display);
        return 0;
    });
    Display* host = XOpenDisplay(nullptr);
    SoWin::init(HWND(nullptr));
    ASSERT_TRUE(host && oivwin32::X11WindowSystem::instance());
    Display* library = static_cast<Display*>(oivwin32::X11WindowSystem::instance()->display());
    for (Display* display : {host, library}) {
        reported.clear();
        failOn(display);
        EXPECT_EQ(reported, std::vector<Display*>(display == host, host));
    }
    XCloseDisplay(host);
}

} // namespace
