// Windows on an X display: every window of the table is an X window (a child window a subwindow
// at its client rectangle), and the X events of those windows become the messages a Win32
// program gets (see X11Input for which).
//
// X types stay out of this header (a Display* is a void*, a Window an unsigned long): X11's
// macros (None, Bool, Status, ...) would clash with the headers of the code that includes it.
#ifndef OIVWINTAV_X11_X11WINDOWSYSTEM_H
#define OIVWINTAV_X11_X11WINDOWSYSTEM_H

#include "detail/WindowSystem.h"

#include <memory>

namespace oivwin32 {

class X11WindowSystem : public WindowSystem {
public:
    typedef unsigned long NativeWindow; // an X Window

    // A connection to the display `name` (null: $DISPLAY), not installed yet; null when the
    // display cannot be opened.
    static std::unique_ptr<X11WindowSystem> open(const char* name);
    // The installed window system when it is this one, else null.
    static X11WindowSystem* instance();

    ~X11WindowSystem() override;
    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    // The connection (a Display*), shared with whoever draws into the windows.
    void* display() const;
    // The visual every window is made with; drawing must use a configuration of this visual.
    unsigned long visualId() const;
    // The screen's resolution, from its size in pixels and millimetres (96 when it has none).
    int dotsPerInch() const;
    // The X window of `hwnd`, or 0.
    NativeWindow nativeWindow(HWND hwnd) const;
    // The window of the table shown by `window`, or null.
    HWND windowOf(NativeWindow window) const;

protected:
    void windowCreated(HWND hwnd) override;
    void windowDestroyed(HWND hwnd) override;
    void windowShown(HWND hwnd, bool visible) override;
    void windowPlaced(HWND hwnd) override;
    void windowRetitled(HWND hwnd) override;
    void windowReparented(HWND hwnd) override;
    void windowRaised(HWND hwnd) override;
    void windowCursorSet(HWND hwnd, WORD cursorId) override;
    void pumpEvents() override;
    void waitForEvents(MessageQueue& queue, MessageQueue::Clock::time_point deadline) override;
    int connectionFd() const override;
    bool hasQueuedEvents() override;
    HWND attachNative(unsigned long window) override;
    bool isAttached(HWND hwnd) const override;

private:
    struct Private;
    explicit X11WindowSystem(std::unique_ptr<Private> p);

    std::unique_ptr<Private> m_Private;
};

} // namespace oivwin32

#endif
