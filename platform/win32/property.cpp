// Window properties: named values on a window, names compared without regard to case.
#include "detail/ResourceName.h"
#include "detail/WindowRegistry.h"

#include <windows.h>

using oivwin32::ResourceName;
using oivwin32::WindowRecord;
using oivwin32::WindowRegistry;

extern "C" {

BOOL WINAPI SetPropA(HWND hwnd, LPCSTR name, HANDLE data) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return WindowRegistry::withWindow(hwnd, FALSE, [&](WindowRecord& w, WindowRegistry&) {
        w.properties[ResourceName::key(name)] = data;
        return TRUE;
    });
}

HANDLE WINAPI GetPropA(HWND hwnd, LPCSTR name) {
    if (!name)
        return nullptr;
    return WindowRegistry::withWindow(hwnd, HANDLE(nullptr), [&](WindowRecord& w, WindowRegistry&) {
        auto found = w.properties.find(ResourceName::key(name));
        return found == w.properties.end() ? nullptr : found->second;
    });
}

HANDLE WINAPI RemovePropA(HWND hwnd, LPCSTR name) {
    if (!name)
        return nullptr;
    return WindowRegistry::withWindow(hwnd, HANDLE(nullptr), [&](WindowRecord& w, WindowRegistry&) {
        auto found = w.properties.find(ResourceName::key(name));
        if (found == w.properties.end())
            return HANDLE(nullptr);
        HANDLE data = found->second;
        w.properties.erase(found);
        return data;
    });
}

} // extern "C"
