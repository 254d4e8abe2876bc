// Window positions and sizes, and conversions between client and screen coordinates. A window
// has no frame here, so its window rectangle and its client area coincide.
#include "detail/WindowRegistry.h"
#include "detail/WindowSystem.h"

#include <windows.h>

using oivwin32::WindowRecord;
using oivwin32::WindowRegistry;

namespace {

// Adds (sign 1) or subtracts (sign -1) the window's screen origin.
BOOL shiftByOrigin(HWND hwnd, LPPOINT point, LONG sign) {
    if (!point) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return WindowRegistry::withWindow(hwnd, FALSE, [&](WindowRecord& w, WindowRegistry& registry) {
        POINT origin = registry.screenOrigin(w);
        point->x += sign * origin.x;
        point->y += sign * origin.y;
        return TRUE;
    });
}

} // namespace

extern "C" {

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return WindowRegistry::withWindow(hwnd, FALSE, [rect](WindowRecord& w, WindowRegistry&) {
        *rect = RECT{0, 0, w.size.cx, w.size.cy};
        return TRUE;
    });
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return WindowRegistry::withWindow(
        hwnd, FALSE, [rect](WindowRecord& w, WindowRegistry& registry) {
            POINT origin = registry.screenOrigin(w);
            *rect = RECT{origin.x, origin.y, origin.x + w.size.cx, origin.y + w.size.cy};
            return TRUE;
        });
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    SIZE size{width < 0 ? 0 : width, height < 0 ? 0 : height};
    struct Change {
        bool live, moved, resized;
    };
    Change change = WindowRegistry::withWindow(
        hwnd, Change{false, false, false}, [&](WindowRecord& w, WindowRegistry&) {
            Change c{true, w.position.x != x || w.position.y != y,
                     w.size.cx != size.cx || w.size.cy != size.cy};
            w.position = POINT{x, y};
            w.size = size;
            w.needsPaint = w.needsPaint || (repaint && (c.moved || c.resized));
            return c;
        });
    if (!change.live)
        return FALSE;
    if (change.moved || change.resized)
        oivwin32::WindowSystem::placed(hwnd);
    // Only what changed is reported, moves before sizes, as after a SetWindowPos in Win32.
    if (change.moved)
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
    if (change.resized)
        SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point) {
    return shiftByOrigin(hwnd, point, -1);
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
    return shiftByOrigin(hwnd, point, 1);
}

} // extern "C"
