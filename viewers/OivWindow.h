// A ready-made top-level window outside the host's own window tree: "Frustum", 400 × 400
// pixels, resizable, hidden until show(). A host shows, for example, an overview of its scene in
// it beside its main canvas. When the user closes the window it is destroyed and a quit message
// with exit code 0 ends the thread's message loop.
//
// Destroying the object destroys the window if it still exists, without ending the loop (only
// the user's close does). Not copyable: a copy would destroy the same window a second time.
#ifndef OIVWINTAV_OIVWINDOW_H
#define OIVWINTAV_OIVWINDOW_H

#include <windows.h>

class OivWindow {
public:
    // Registers the window class "SecondWindow" (a second object finds it registered) and
    // creates the window, hidden. getWindow() is null when creation failed.
    OivWindow();
    virtual ~OivWindow();

    OivWindow(const OivWindow&) = delete;
    OivWindow& operator=(const OivWindow&) = delete;

    // The window; after the user closed it, the handle it had (no longer a window).
    HWND getWindow(void) const;

    // Shows the window with its viewer.
    virtual void show(void);

protected:
    HWND m_Window;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

#endif // OIVWINTAV_OIVWINDOW_H
