// The demo's top-level window: made at a given client size, and on a desktop shown with the
// canvas and the canvas toolbar beside it, both interactive until the user closes the window.
// The demo and oivwintav-view both open their window from here.
#ifndef OIVWINTAV_EXAMPLES_DEMOWINDOW_H
#define OIVWINTAV_EXAMPLES_DEMOWINDOW_H

#include <Inventor/SbVec2s.h>
#include <windows.h>

class OivCanvas;

class DemoWindow {
public:
    // A top-level window titled `title` whose client area is `size` pixels, before SoWin::init
    // (which takes it as the application's window); closing it ends the message loop. Null when
    // the window cannot be made.
    static HWND create(const char* title, SbVec2s size);
    // Closes `window` and runs the message loop until the quit message that causes.
    static void closeAndDrainLoop(HWND window);

    // When windows are on screen: opens the toolbar bound to `canvas` (initialised, in its shown
    // window) and runs the message loop until the window is closed; true then. Headless: does
    // nothing and returns false.
    static bool runUntilClosed(OivCanvas& canvas);

    DemoWindow() = delete;
};

#endif // OIVWINTAV_EXAMPLES_DEMOWINDOW_H
