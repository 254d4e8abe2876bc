// Window classes: one namespace of class names per process, compared without regard to case.
#include "detail/ResourceName.h"
#include "detail/WindowRegistry.h"

#include <windows.h>

using oivwin32::WindowRegistry;

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
    if (!wndClass || !wndClass->lpfnWndProc || !wndClass->lpszClassName ||
        IS_INTRESOURCE(wndClass->lpszClassName) || !*wndClass->lpszClassName ||
        wndClass->cbWndExtra < 0 || wndClass->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ATOM atom = WindowRegistry::instance().locked(
        [&](WindowRegistry& registry) { return registry.addClass(*wndClass); });
    if (!atom)
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
    DWORD error = WindowRegistry::instance().locked([&](WindowRegistry& registry) -> DWORD {
        oivwin32::WindowClassRecord* record = registry.findClass(className);
        if (!record)
            return ERROR_CLASS_DOES_NOT_EXIST;
        if (record->windowCount > 0)
            return ERROR_CLASS_HAS_WINDOWS;
        registry.removeClass(className);
        return ERROR_SUCCESS;
    });
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR className, WNDCLASSA* wndClass) {
    // The class name pointer handed back is the caller's own, as in Win32.
    BOOL found = WindowRegistry::instance().locked([&](WindowRegistry& registry) {
        oivwin32::WindowClassRecord* record = registry.findClass(className);
        if (!record || !wndClass)
            return FALSE;
        *wndClass = record->info;
        wndClass->lpszClassName = className;
        return TRUE;
    });
    if (!found)
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return found;
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR className, int maxCount) {
    return WindowRegistry::withWindow(
        hwnd, 0, [&](oivwin32::WindowRecord& window, WindowRegistry& registry) {
            oivwin32::WindowClassRecord* record = registry.findClass(window.classKey.c_str());
            return record ? oivwin32::ResourceName::copy(record->name, className, maxCount) : 0;
        });
}

} // extern "C"
