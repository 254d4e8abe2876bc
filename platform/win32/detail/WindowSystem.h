// The window system the windows of the process are shown on, when there is one.
//
// Headless, the window table is all there is and nothing is installed here. With a display, one
// window system is installed for the life of the process; the calls of the subset tell it what
// changed in the table (after the table changed, never with its lock held), and the message loop
// asks it for its events and waits on it.
#ifndef OIVWINTAV_WIN32_DETAIL_WINDOWSYSTEM_H
#define OIVWINTAV_WIN32_DETAIL_WINDOWSYSTEM_H

#include "MessageQueue.h"

#include <windows.h>

#include <memory>

namespace oivwin32 {

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The installed window system, or null when the process is headless.
    static WindowSystem* installed();
    // Installs `system` for the rest of the process and shows on it every window that exists
    // already. A second installation is refused (false).
    static bool install(std::unique_ptr<WindowSystem> system);

    // Forward what changed in the window table to the installed window system, if there is one.
    static void created(HWND hwnd);
    static void destroyed(HWND hwnd);
    static void shown(HWND hwnd, bool visible);
    static void placed(HWND hwnd);
    static void retitled(HWND hwnd);
    static void reparented(HWND hwnd);
    static void raised(HWND hwnd);
    // The pointer over `hwnd` takes the shape of system cursor `cursorId` (IDC_*; 0 for none).
    static void cursorSet(HWND hwnd, WORD cursorId);
    // Turns the window system's pending events into messages of the calling thread.
    static void pump();
    // Waits until the window system has an event, something is posted to `queue`, or `deadline`.
    static void wait(MessageQueue& queue, MessageQueue::Clock::time_point deadline);

    // The descriptor that is readable when the window system has events to read, or -1.
    virtual int connectionFd() const = 0;
    // Whether events were read from the connection already and wait to be pumped (they no longer
    // make the descriptor readable).
    virtual bool hasQueuedEvents() = 0;
    // A new window of the table that stands for `window`, a window of the display that another
    // part of the program (a host toolkit) made and owns: it is never moved, shown or destroyed
    // through the table, and its size changes arrive as WM_SIZE. Null when it is no window.
    virtual HWND attachNative(unsigned long window) = 0;
    // Whether `hwnd` came from attachNative and is still in the table.
    virtual bool isAttached(HWND hwnd) const = 0;

protected:
    // `hwnd` is a window of the table; its record says where it is, its title and whether it is
    // visible (WS_VISIBLE of its own style).
    virtual void windowCreated(HWND hwnd) = 0;
    // Called once the window got WM_NCDESTROY, just before it leaves the table.
    virtual void windowDestroyed(HWND hwnd) = 0;
    virtual void windowShown(HWND hwnd, bool visible) = 0;
    // Its position or size changed.
    virtual void windowPlaced(HWND hwnd) = 0;
    virtual void windowRetitled(HWND hwnd) = 0;
    virtual void windowReparented(HWND hwnd) = 0;
    // A top-level window was brought to the front and activated; nothing to do without a
    // stacking order.
    virtual void windowRaised(HWND) {}
    virtual void windowCursorSet(HWND, WORD) {}
    virtual void pumpEvents() = 0;
    virtual void waitForEvents(MessageQueue& queue, MessageQueue::Clock::time_point deadline) = 0;
};

} // namespace oivwin32

#endif
