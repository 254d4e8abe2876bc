// Whether the windows of the process are shown on a display, and windows of a host toolkit on
// that display standing in the window table (see detail/WindowSystem.h).
#include "detail/WindowSystem.h"

#include <oivwin32.h>

#include <cstdio>

extern "C" {

BOOL WINAPI OivWin32IsOnScreen(void) {
    return oivwin32::WindowSystem::installed() ? TRUE : FALSE;
}

HWND WINAPI OivWin32AttachNativeWindow(unsigned long xWindow) {
    oivwin32::WindowSystem* system = oivwin32::WindowSystem::installed();
    if (!system) {
        std::fprintf(stderr, "OivWin32AttachNativeWindow: no display (headless, or SoWin::init "
                             "not called yet); nothing to attach\n");
        return nullptr;
    }
    return system->attachNative(xWindow);
}

BOOL WINAPI OivWin32DetachNativeWindow(HWND hwnd) {
    oivwin32::WindowSystem* system = oivwin32::WindowSystem::installed();
    if (!system || !system->isAttached(hwnd))
        return FALSE;
    return DestroyWindow(hwnd);
}

} // extern "C"
