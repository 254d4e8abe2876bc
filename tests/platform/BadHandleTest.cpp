// Handles that are not live are refused the way Win32 refuses them, never dereferenced.
#include "Win32Fixture.h"

#include <oivwin32.h>

using namespace win32test;

namespace {

HWND madeUpWindow() {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0xDEAD0));
}

} // namespace

class BadHandleTest : public Win32Test,
                      public ::testing::WithParamInterface<std::pair<const char*, HWND (*)()>> {};

TEST_P(BadHandleTest, WindowCallsRefuseIt) {
    HWND bad = GetParam().second();
    RECT r{1, 2, 3, 4};
    POINT p{5, 6};
    char text[8] = "x";
    EXPECT_FALSE(IsWindow(bad));
    EXPECT_FALSE(DestroyWindow(bad));
    EXPECT_FALSE(ShowWindow(bad, SW_SHOW));
    EXPECT_FALSE(IsWindowVisible(bad));
    EXPECT_FALSE(UpdateWindow(bad));
    EXPECT_FALSE(InvalidateRect(bad, nullptr, TRUE));
    EXPECT_FALSE(EnableWindow(bad, TRUE));
    EXPECT_FALSE(IsWindowEnabled(bad));
    EXPECT_FALSE(GetClientRect(bad, &r));
    EXPECT_EQ(r.left, 1); // untouched
    EXPECT_FALSE(GetWindowRect(bad, &r));
    EXPECT_FALSE(MoveWindow(bad, 0, 0, 1, 1, TRUE));
    EXPECT_EQ(GetParent(bad), nullptr);
    EXPECT_EQ(SetParent(bad, nullptr), nullptr);
    EXPECT_FALSE(IsChild(bad, bad));
    EXPECT_FALSE(SetWindowTextA(bad, "t"));
    EXPECT_EQ(GetWindowTextA(bad, text, sizeof text), 0);
    EXPECT_EQ(GetClassNameA(bad, text, sizeof text), 0);
    SetLastError(0);
    EXPECT_EQ(SetWindowLongPtrA(bad, GWLP_USERDATA, 1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(GetWindowLongPtrA(bad, GWLP_WNDPROC), 0);
    EXPECT_FALSE(ScreenToClient(bad, &p));
    EXPECT_FALSE(ClientToScreen(bad, &p));
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(SetFocus(bad), nullptr);
    EXPECT_FALSE(SetPropA(bad, "THIS", &r));
    EXPECT_EQ(GetPropA(bad, "THIS"), nullptr);
    EXPECT_EQ(RemovePropA(bad, "THIS"), nullptr);
    EXPECT_EQ(SendMessageA(bad, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessageA(bad, WM_USER, 0, 0));
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, bad, 0, 0), -1);
    EXPECT_FALSE(PeekMessageA(&msg, bad, 0, 0, PM_REMOVE));
    msg = MSG{bad, WM_USER, 0, 0, 0, {0, 0}};
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_EQ(GetDC(bad), nullptr);
    EXPECT_TRUE(recorded().empty());
}

INSTANTIATE_TEST_SUITE_P(Handles, BadHandleTest,
                         ::testing::Values(std::make_pair(
                                               "destroyed",
                                               +[] {
                                                   HWND hwnd =
                                                       createRecorded(nullptr, 0, 0, 0, 1, 1);
                                                   DestroyWindow(hwnd);
                                                   recorded().clear();
                                                   return hwnd;
                                               }),
                                           std::make_pair("madeUp", madeUpWindow)),
                         [](const auto& info) { return std::string(info.param.first); });

TEST(BadGdiHandleTest, GdiCallsRefuseDeadAndForeignHandles) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    ASSERT_TRUE(DeleteDC(dc));
    HGDIOBJ brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_TRUE(DeleteObject(brush));
    HDC notADC = reinterpret_cast<HDC>(GetSysColorBrush(COLOR_WINDOW)); // a live handle, wrong kind

    for (HDC bad : {dc, notADC}) {
        EXPECT_FALSE(DeleteDC(bad));
        EXPECT_EQ(GetDeviceCaps(bad, LOGPIXELSX), 0);
        EXPECT_EQ(SelectObject(bad, GetSysColorBrush(COLOR_WINDOW)), nullptr);
        EXPECT_EQ(GetCurrentObject(bad, OBJ_BITMAP), nullptr);
        EXPECT_EQ(GetPixel(bad, 0, 0), COLORREF(CLR_INVALID));
        EXPECT_EQ(SetPixel(bad, 0, 0, 0), COLORREF(CLR_INVALID));
        EXPECT_EQ(CreateCompatibleDC(bad), nullptr);
        EXPECT_EQ(CreateCompatibleBitmap(bad, 1, 1), nullptr);
        EXPECT_EQ(ReleaseDC(nullptr, bad), 0);
    }
    BITMAP bm;
    EXPECT_EQ(GetObjectA(brush, sizeof bm, &bm), 0);
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(GetObjectA(dc, sizeof bm, &bm), 0); // a DC is no GDI object for GetObjectA
    EXPECT_EQ(LoadBitmapA(reinterpret_cast<HMODULE>(dc), MAKEINTRESOURCEA(101)), nullptr);
}
