// The demo on a desktop: its window with the canvas, and the canvas toolbar beside it, both
// interactive until the user closes the window.
#ifndef OIVWINTAV_EXAMPLES_DEMOWINDOW_H
#define OIVWINTAV_EXAMPLES_DEMOWINDOW_H

class OivCanvas;

class DemoWindow {
public:
    // When windows are on screen: opens the toolbar bound to `canvas` (initialised, in its shown
    // window) and runs the message loop until the window is closed; true then. Headless: does
    // nothing and returns false.
    static bool runUntilClosed(OivCanvas& canvas);

    DemoWindow() = delete;
};

#endif // OIVWINTAV_EXAMPLES_DEMOWINDOW_H
