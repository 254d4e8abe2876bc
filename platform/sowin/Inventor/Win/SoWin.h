// The application object of the viewer layer: initialises Coin, headless OpenGL and every
// registered node library, owns the application's top-level window and runs the message loop
// that also drives Coin's sensors.
#ifndef OIVWINTAV_SOWIN_H
#define OIVWINTAV_SOWIN_H

#include <Inventor/SbBasic.h>
#include <Inventor/SbVec2s.h>
#include <windows.h>

class SoWin {
public:
    // A function that registers node classes (or does other one-time set-up that needs Coin).
    typedef void InitCB(void);

    // Chooses where windows are shown: on the X display named by DISPLAY unless the environment
    // sets OIVWINTAV_HEADLESS, else nowhere (headless; also when the display cannot be opened).
    // Then initialises Coin (database, node kits, draggers and manipulators), installs the
    // headless OpenGL provider for off-screen rendering, runs every function given to
    // addInitCallback and creates the application's top-level window, titled appName, of the
    // window class className. Returns that window; later calls do nothing more and return the
    // same window.
    static HWND init(const char* appName, const char* className = "SoWin");

    // Like the other init, but adopts an existing window as the top-level window.
    static void init(HWND topLevelWidget);

    // Addition of this platform: lets a node library that this layer must not depend on
    // register its classes at init. The function runs during init, after Coin is initialised
    // and before the top-level window exists; if init already ran, it runs at once. A function
    // given more than once runs once.
    static void addInitCallback(InitCB* function);

    // Whether init has run.
    static SbBool isInitialized(void);

    // The module handle of the application (the handle window classes are registered with).
    static HINSTANCE getInstance(void);
    static void setInstance(HINSTANCE instance);

    // The top-level window made or adopted by init; null before init.
    static HWND getTopLevelWidget(void);

    // Shows or hides a window, as ShowWindow does.
    static void show(HWND widget);
    static void hide(HWND widget);

    // Resizes a window's client area to size[0] × size[1] pixels, keeping its position.
    static void setWidgetSize(HWND widget, const SbVec2s size);
    static SbVec2s getWidgetSize(HWND widget);

    // Dispatches messages until exitMainLoop is called or the top-level window that init
    // created is destroyed.
    // Coin's timer, alarm and idle sensors run while the loop waits.
    static void mainLoop(void);
    static void exitMainLoop(void);

    // Runs Coin's due sensors (timers, alarms and the delay queue) once, without waiting.
    static void doIdleTasks(void);

private:
    SoWin() = delete;
};

#endif // OIVWINTAV_SOWIN_H
