// A real window manager (openbox) on the tests' private X server, for the tests of what only a
// window manager does: frames, stacking on a click, keeping dialogs above their owners.
#ifndef OIVWINTAV_TESTS_ONSCREEN_WINDOWMANAGER_H
#define OIVWINTAV_TESTS_ONSCREEN_WINDOWMANAGER_H

#include "onscreen/TestScreen.h"

#include <string>

namespace onscreen {

class WindowManager {
public:
    // Starts openbox once per test program and waits until it manages the screen. On failure
    // `error` says why (openbox missing, or it did not take the screen).
    static bool start(std::string& error);

    // Whether the top-level window holding `upper` (its frame, under a window manager) is
    // stacked above the one holding `lower`.
    static bool isAbove(TestScreen::Window upper, TestScreen::Window lower);

    // The mapped window titled `title` wherever it is (under a window manager, inside its
    // frame), or 0.
    static TestScreen::Window findClient(const std::string& title);

    // Whether the top-level window `hwnd` is framed by the window manager and the program knows
    // where it put it (the window table agrees with the server).
    static bool hasPlaced(HWND hwnd);

    WindowManager() = delete;
};

} // namespace onscreen

#endif
