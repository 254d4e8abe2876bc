// The demo on a desktop: its window with the canvas, the canvas toolbar, the test dialog
// ("Controls") with the scene file and video recorder dialogs as its pages, all bound to the
// canvas, and a curve canvas tracking the well in a window of its own; all interactive until the
// user closes the demo's window.
#ifndef OIVWINTAV_EXAMPLES_DEMOWINDOW_H
#define OIVWINTAV_EXAMPLES_DEMOWINDOW_H

#include <windows.h>

class OivCanvas;

class DemoWindow {
public:
    // When windows are on screen: opens the dialogs bound to `canvas` (initialised, in its shown
    // window, showing the demo scene) and the curve canvas's window, and runs the message loop
    // until the window is closed; true then. Headless: does nothing and returns false.
    static bool runUntilClosed(OivCanvas& canvas);

    // A top-level window of the demo's size, hidden, with its own class `windowClass` (registered
    // here, so once per process) and `procedure`; null if either fails.
    static HWND createWindow(const char* windowClass, const char* title, WNDPROC procedure);

    DemoWindow() = delete;
};

#endif // OIVWINTAV_EXAMPLES_DEMOWINDOW_H
