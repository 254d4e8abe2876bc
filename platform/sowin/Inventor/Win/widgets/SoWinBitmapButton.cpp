#include <Inventor/Win/widgets/SoWinBitmapButton.h>

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>

#include "SoWinWindowClass.h"

#include <cstdint>

namespace {

const char* const kClassName = "SoWinBitmapButton";

bool insideClient(HWND hwnd, LPARAM lParam) {
    RECT client;
    if (!GetClientRect(hwnd, &client))
        return false;
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    return x >= 0 && y >= 0 && x < client.right && y < client.bottom;
}

} // namespace

const char* SoWinBitmapButton::getClassName(void) {
    return kClassName;
}

SoWinBitmapButton::SoWinBitmapButton(HWND parent, int depth, const char* name, void* bits)
    : m_Depth(depth), m_Bits(bits) {
    SoWinWindowClass::ensure(kClassName, &SoWinBitmapButton::windowProc);
    m_Window = CreateWindowExA(0, kClassName, name ? name : "", WS_CHILD | WS_VISIBLE, 0, 0, kSize,
                               kSize, parent, NULL, SoWin::getInstance(), NULL);
    if (m_Window)
        SetPropA(m_Window, kButtonProperty, static_cast<HANDLE>(this));
}

SoWinBitmapButton::~SoWinBitmapButton() {
    if (m_Bitmap)
        DeleteObject(m_Bitmap);
    if (IsWindow(m_Window)) {
        RemovePropA(m_Window, kViewerProperty);
        RemovePropA(m_Window, kIdProperty);
        RemovePropA(m_Window, kButtonProperty);
        DestroyWindow(m_Window);
    }
}

void SoWinBitmapButton::setBitmap(HINSTANCE module, int resourceId) {
    if (m_Bitmap)
        DeleteObject(m_Bitmap);
    m_Bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(resourceId));
    if (m_Window)
        InvalidateRect(m_Window, NULL, FALSE);
}

void SoWinBitmapButton::clicked(HWND hwnd) {
    auto* viewer = static_cast<SoWinFullViewer*>(GetPropA(hwnd, kViewerProperty));
    if (!viewer)
        return;
    const int id = int(intptr_t(GetPropA(hwnd, kIdProperty)));
    viewer->pushButtonCB(hwnd, id, GetPropA(hwnd, kButtonProperty));
}

LRESULT CALLBACK SoWinBitmapButton::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        SetCapture(hwnd);
        return 0;
    case WM_LBUTTONUP:
        // A click is a press and a release on the button; sliding off it first cancels.
        if (GetCapture() == hwnd) {
            ReleaseCapture();
            if (insideClient(hwnd, lParam))
                clicked(hwnd);
        }
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
