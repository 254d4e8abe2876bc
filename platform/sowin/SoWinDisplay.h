// Chooses, once per process, where the windows and the drawings of the viewer layer go: on the
// X display named by DISPLAY, unless OIVWINTAV_HEADLESS is set; otherwise (or when the display
// cannot be opened or offers no OpenGL) nowhere but the window table and off-screen surfaces,
// as without a display. Nothing above the platform layer knows which.
#ifndef OIVWINTAV_SOWINDISPLAY_H
#define OIVWINTAV_SOWINDISPLAY_H

class SoWinDisplay {
public:
    // Makes the choice; later calls do nothing. Windows that exist already move to the display.
    static void choose();

    SoWinDisplay() = delete;
};

#endif // OIVWINTAV_SOWINDISPLAY_H
