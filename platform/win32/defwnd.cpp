// The default window procedure.
#include "detail/ResourceName.h"
#include "detail/WindowRegistry.h"
#include "detail/WindowSystem.h"

#include <windows.h>

using oivwin32::WindowRecord;
using oivwin32::WindowRegistry;

namespace {

LRESULT setText(HWND hwnd, LPCSTR text) {
    LRESULT set =
        WindowRegistry::withWindow(hwnd, LRESULT(FALSE), [text](WindowRecord& w, WindowRegistry&) {
            w.title = text ? text : "";
            return LRESULT(TRUE);
        });
    if (set)
        oivwin32::WindowSystem::retitled(hwnd);
    return set;
}

LRESULT getText(HWND hwnd, WPARAM size, LPSTR buffer) {
    return WindowRegistry::withWindow(hwnd, LRESULT(0), [&](WindowRecord& w, WindowRegistry&) {
        return LRESULT(oivwin32::ResourceName::copy(w.title, buffer, static_cast<int>(size)));
    });
}

} // namespace

extern "C" {

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SETTEXT:
        return setText(hwnd, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT:
        return getText(hwnd, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_ERASEBKGND:
        return 1; // there is no screen to erase: the background counts as erased
    default:
        return 0;
    }
}

} // extern "C"
