// Keyboard focus, mouse capture, the cursor position and the key state (see InputState for where
// the pointer and the keys come from).
#include "detail/InputState.h"
#include "detail/WindowRegistry.h"
#include "detail/WindowSystem.h"

#include <windows.h>

using oivwin32::InputState;
using oivwin32::WindowRegistry;

namespace {

// Replaces the focus or capture slot by `hwnd` (null clears it); `refused` when `hwnd` is given
// but not live. Returns the previous holder.
HWND replaceHolder(HWND WindowRegistry::*slot, HWND hwnd, bool* refused) {
    return WindowRegistry::instance().locked([&](WindowRegistry& registry) -> HWND {
        *refused = hwnd && !registry.find(hwnd);
        if (*refused)
            return nullptr;
        HWND previous = registry.*slot;
        registry.*slot = hwnd;
        return previous;
    });
}

} // namespace

extern "C" {

HWND WINAPI SetFocus(HWND hwnd) {
    bool refused = false;
    HWND previous = replaceHolder(&WindowRegistry::focus, hwnd, &refused);
    if (refused) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (previous != hwnd) {
        if (previous)
            SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
        if (hwnd)
            SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

HWND WINAPI GetFocus(void) {
    return WindowRegistry::instance().locked(
        [](WindowRegistry& registry) { return registry.focus; });
}

BOOL WINAPI SetForegroundWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // The keyboard stays where it was when it is inside the window already.
    HWND focus = GetFocus();
    if (focus != hwnd && !IsChild(hwnd, focus))
        SetFocus(hwnd);
    oivwin32::WindowSystem::raised(hwnd);
    return TRUE;
}

HWND WINAPI SetCapture(HWND hwnd) {
    bool refused = false;
    HWND previous = replaceHolder(&WindowRegistry::capture, hwnd, &refused);
    if (refused)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return previous;
}

BOOL WINAPI ReleaseCapture(void) {
    bool refused = false;
    replaceHolder(&WindowRegistry::capture, nullptr, &refused);
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    return WindowRegistry::instance().locked(
        [](WindowRegistry& registry) { return registry.capture; });
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (!point) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *point = InputState::instance().cursor();
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    InputState::instance().setCursor(POINT{x, y});
    return TRUE;
}

SHORT WINAPI GetKeyState(int virtualKey) {
    // The high bit means "down"; toggle states (the low bit) are not kept.
    return InputState::instance().isKeyDown(virtualKey) ? static_cast<SHORT>(0x8000) : 0;
}

} // extern "C"
