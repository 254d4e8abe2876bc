#include "DemoWindow.h"

#include "canvas/OivCanvas.h"
#include "dui/DuiCanvasToolbar.h"

#include <Inventor/Win/SoWin.h>
#include <oivwin32.h>

namespace {

constexpr const char* kWindowClass = "OivWinTavDemo";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

HWND DemoWindow::create(const char* title, SbVec2s size) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass))
        return nullptr;
    HWND window =
        CreateWindowExA(0, kWindowClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        size[0], size[1], nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window)
        SoWin::setWidgetSize(window, size);
    return window;
}

void DemoWindow::closeAndDrainLoop(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool DemoWindow::runUntilClosed(OivCanvas& canvas) {
    if (!OivWin32IsOnScreen())
        return false;
    DuiCanvasToolbar toolbar;
    toolbar.setOivCanvas(&canvas);
    toolbar.initialize();
    canvas.addDUI(&toolbar);
    toolbar.getTopLevelDialog()->show();
    SoWin::mainLoop();
    return true;
}
