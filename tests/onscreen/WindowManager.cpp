#include "onscreen/WindowManager.h"

#include "X11WindowSystem.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <spawn.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace onscreen {

namespace {

constexpr const char* kWindowManager = "openbox";
constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kStartPause = std::chrono::milliseconds(20);

// The tests' own connection for questions about the stacking order; lives with the program.
Display* connection() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

// A window manager that took the screen says so on the root window (EWMH).
bool isManaged(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* value = nullptr;
    const bool found =
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &value) == Success &&
        count == 1;
    if (value)
        XFree(value);
    return found;
}

// The child of the root that holds `window`: its frame under a window manager.
Window topOf(Display* display, Window window) {
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count))
            return 0;
        if (children)
            XFree(children);
        if (parent == root)
            return window;
        window = parent;
    }
}

Window findBelow(Display* display, Window window, const std::string& title) {
    char* name = nullptr;
    XWindowAttributes attributes;
    const bool found = XGetWindowAttributes(display, window, &attributes) &&
                       attributes.map_state == IsViewable && XFetchName(display, window, &name) &&
                       name && title == name;
    if (name)
        XFree(name);
    if (found)
        return window;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return 0;
    Window result = 0;
    for (unsigned int i = 0; i < count && !result; ++i)
        result = findBelow(display, children[i], title);
    if (children)
        XFree(children);
    return result;
}

} // namespace

TestScreen::Window WindowManager::findClient(const std::string& title) {
    Display* display = connection();
    return display ? findBelow(display, DefaultRootWindow(display), title) : 0;
}

bool WindowManager::hasPlaced(HWND hwnd) {
    Display* display = connection();
    const Window window = oivwin32::X11WindowSystem::instance()->nativeWindow(hwnd);
    if (!window || topOf(display, window) == window)
        return false;
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    const POINT known = onScreen(hwnd);
    return known.x == x && known.y == y;
}

bool WindowManager::start(std::string& error) {
    static bool started = false;
    Display* display = connection();
    if (!display) {
        error = "no display";
        return false;
    }
    if (!started) {
        char* argv[] = {const_cast<char*>(kWindowManager), const_cast<char*>("--sm-disable"),
                        nullptr};
        pid_t child = 0;
        if (posix_spawnp(&child, kWindowManager, nullptr, nullptr, argv, environ) != 0) {
            error = "openbox is not installed (scripts/install-deps.sh installs it)";
            return false;
        }
        started = true;
    }
    const auto limit = std::chrono::steady_clock::now() + kStartLimit;
    while (!isManaged(display)) {
        if (std::chrono::steady_clock::now() > limit) {
            error = "openbox did not take the screen";
            return false;
        }
        std::this_thread::sleep_for(kStartPause);
    }
    return true;
}

bool WindowManager::isAbove(TestScreen::Window upper, TestScreen::Window lower) {
    Display* display = connection();
    const Window upperTop = topOf(display, upper), lowerTop = topOf(display, lower);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!upperTop || !lowerTop ||
        !XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return false;
    // The root's children come bottom first.
    int upperAt = -1, lowerAt = -1;
    for (unsigned int i = 0; i < count; ++i) {
        if (children[i] == upperTop)
            upperAt = int(i);
        if (children[i] == lowerTop)
            lowerAt = int(i);
    }
    XFree(children);
    return upperAt >= 0 && lowerAt >= 0 && upperAt > lowerAt;
}

} // namespace onscreen
