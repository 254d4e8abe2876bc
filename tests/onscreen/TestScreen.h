// The on-screen tests' own connection to the X server: real input injected through XTest, the
// screen's pixels read back with XGetImage, and the top-level windows looked up and closed the
// way a window manager closes them.
//
// Coordinates are the screen's (the root window's), which is where the window table places
// top-level windows (there is no window manager here to move them).
#ifndef OIVWINTAV_TESTS_ONSCREEN_TESTSCREEN_H
#define OIVWINTAV_TESTS_ONSCREEN_TESTSCREEN_H

#include "support/RenderedImage.h"

#include <Inventor/SbVec2s.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace onscreen {

// Pixels read from the screen, rows from top to bottom.
struct ScreenImage {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;

    Rgb at(int x, int yFromTop) const { return pixels[size_t(yFromTop) * width + x]; }
    // How many pixels differ from `other` (of the same size) by more than `tolerance` in a
    // channel; every pixel when the sizes differ.
    int countDiffering(const ScreenImage& other, int tolerance) const;
};

class TestScreen {
public:
    typedef unsigned long Window;

    // Connects to $DISPLAY; isOpen() says whether it worked.
    TestScreen();
    ~TestScreen();
    TestScreen(const TestScreen&) = delete;
    TestScreen& operator=(const TestScreen&) = delete;

    bool isOpen() const { return m_Display != nullptr; }

    // Input, at screen positions. Buttons are X's: 1 left, 2 middle, 3 right.
    void moveTo(POINT at);
    void click(POINT at, int button = 1);
    // Presses at `from`, moves in `steps` steps to `to` and releases there.
    void drag(POINT from, POINT to, int button = 1, int steps = 8);
    // Turns the wheel by `notches`, away from the user when positive.
    void wheel(POINT at, int notches);
    // Presses and releases the key of `keysym`.
    void typeKey(unsigned long keysym);

    // The pixels of a rectangle of the screen.
    ScreenImage grab(POINT topLeft, int width, int height);
    // The pixels of the client area of `hwnd`.
    ScreenImage grab(HWND hwnd);

    // The mapped top-level window titled `title` (inside its window manager frame, if there is
    // one), or 0.
    Window findTopLevel(const std::string& title);
    // Every window inside `window`, parents before their children.
    std::vector<Window> descendantsOf(Window window);
    // Where the origin of `window` is on the screen.
    POINT originOf(Window window);
    // The window that has the keyboard.
    Window focus();
    // The size of `window` on the server.
    SbVec2s sizeOf(Window window);
    // Moves and resizes a top-level window, as a window manager does for the user.
    void resizeAndMove(Window window, POINT topLeft, int width, int height);
    // Puts a top-level window above the others.
    void raise(Window window);
    // Asks `window` to close as a window manager does (WM_DELETE_WINDOW).
    void requestClose(Window window);
    // Whether a window with this id still exists on the server.
    bool exists(Window window);

    // Waits until the server has handled every request of this connection.
    void sync();

private:
    void* m_Display; // Display*
};

// Where the client origin of `hwnd` is on the screen, plus (dx, dy).
POINT onScreen(HWND hwnd, int dx = 0, int dy = 0);

// Lets the program handle everything the server sent it so far (the events of injected input):
// runs the message loop until idle, and returns once the server has drawn what it drew.
void settle(TestScreen& screen);
// settle, again and again, until `done` says so or a generous time has passed (for what takes
// more than one turn of the loop, as an animation). True when done.
bool settleUntil(TestScreen& screen, const std::function<bool()>& done);

} // namespace onscreen

#endif
