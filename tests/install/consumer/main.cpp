// A host's smallest window program: one top-level window and its message loop, which ends when
// the window is closed. Exits with 0 only if every step behaved as on Windows.
#include <oivwin32.h>
#include <windows.h>

#include <cstdio>

namespace {

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int fail(const char* what) {
    std::fprintf(stderr, "consumer: %s\n", what);
    return 1;
}

} // namespace

int main() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "ConsumerWindow";
    if (!RegisterClassA(&wc))
        return fail("RegisterClassA failed");
    HWND hwnd = CreateWindowExA(0, "ConsumerWindow", "Consumer", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 320, 240, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return fail("CreateWindowExA failed");
    ShowWindow(hwnd, SW_SHOW);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);

    MSG msg;
    BOOL result;
    while ((result = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (result != 0 || msg.message != WM_QUIT || msg.wParam != 0)
        return fail("the loop did not end with WM_QUIT and code 0");
    if (IsWindow(hwnd))
        return fail("closing did not destroy the window");
    std::puts("consumer: window created, closed, loop ended with WM_QUIT");
    return 0;
}
