// The pointer's shape. Win32 shows one cursor at a time, over whatever window the pointer is in;
// on a display the shape is given to the window the pointer was last seen over (or that holds
// the capture), which is where a program calls SetCursor from: its answer to a mouse message.
#include "detail/InputState.h"
#include "detail/ModuleRegistry.h"
#include "detail/WindowSystem.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<HCURSOR> currentCursor{nullptr};

} // namespace

extern "C" {

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    const HCURSOR previous = currentCursor.exchange(cursor);
    HWND target = GetCapture();
    if (!target)
        target = oivwin32::InputState::instance().pointerWindow();
    if (IsWindow(target))
        oivwin32::WindowSystem::cursorSet(
            target, cursor ? oivwin32::ModuleRegistry::instance().systemCursorId(cursor) : 0);
    return previous;
}

HCURSOR WINAPI GetCursor(void) {
    return currentCursor.load();
}

} // extern "C"
