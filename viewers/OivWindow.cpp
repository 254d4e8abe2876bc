#include "viewers/OivWindow.h"

#include <Inventor/Win/SoWin.h>

namespace {

constexpr const char* kClassName = "SecondWindow";
constexpr const char* kTitle = "Frustum";
constexpr int kWidth = 400;
constexpr int kHeight = 400;
constexpr int kWindowExtraBytes = 4;

} // namespace

OivWindow::OivWindow() : m_Window(nullptr) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbWndExtra = kWindowExtraBytes;
    windowClass.hInstance = SoWin::getInstance();
    windowClass.hIcon = LoadIconA(SoWin::getInstance(), IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    // Fails for every object after the first, which finds the class registered and goes on.
    RegisterClassA(&windowClass);
    m_Window =
        CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                        CW_USEDEFAULT, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
}

OivWindow::~OivWindow() {
    if (!m_Window || !IsWindow(m_Window))
        return;
    // Destroyed by its owner, not closed by the user: the host's loop goes on.
    SetWindowLongPtrA(m_Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
    DestroyWindow(m_Window);
}

HWND OivWindow::getWindow(void) const {
    return m_Window;
}

void OivWindow::show(void) {
    SoWin::show(m_Window);
}

LRESULT CALLBACK OivWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
