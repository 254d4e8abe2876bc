// The on-screen backend of the platform layer, present only in builds with a window system: it
// shows the windows of the process on the X display named by DISPLAY, draws the GL widgets there,
// and shows dialogs, notices and popup menus. SoWinDisplay is its one caller; nothing else needs
// to know which window system it is.
#ifndef OIVWINTAV_SOWINONSCREEN_H
#define OIVWINTAV_SOWINONSCREEN_H

class SoWinOnScreen {
public:
    // Moves the windows and the drawing of the process onto the display, once. When the display
    // cannot be opened or offers no OpenGL it says so on stderr and everything stays off screen.
    static void open();

    SoWinOnScreen() = delete;
};

#endif // OIVWINTAV_SOWINONSCREEN_H
