// Window classes, creation and destruction, as a window procedure sees them.
#include "Win32Fixture.h"

#include <cstring>

using namespace win32test;

namespace {

LRESULT CALLBACK plainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The window procedure of a stand-alone window class: closing ends the message loop.
LRESULT CALLBACK quitOnDestroyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    recorded().push_back(Recorded{hwnd, msg, wParam, lParam});
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

CREATESTRUCTA seenCreate{};
std::string seenCreateTitle;

LRESULT captureCreate(HWND, UINT msg, WPARAM, LPARAM lParam, bool*) {
    if (msg == WM_CREATE) {
        seenCreate = *reinterpret_cast<CREATESTRUCTA*>(lParam);
        seenCreateTitle = seenCreate.lpszName;
    }
    return 0;
}

LRESULT refuseCreate(HWND, UINT msg, WPARAM, LPARAM, bool* handled) {
    *handled = msg == WM_CREATE;
    return -1;
}

} // namespace

class WindowClassTest : public Win32Test {};

TEST_F(WindowClassTest, SecondRegistrationOfANameFailsWhateverItsCase) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = "SecondWindowTest";
    ATOM first = RegisterClassA(&wc);
    EXPECT_NE(first, 0);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
    wc.lpszClassName = "SECONDWINDOWTEST";
    EXPECT_EQ(RegisterClassA(&wc), 0);

    // The first registration is untouched and usable, also through its atom.
    HWND byName = CreateWindowExA(0, "secondwindowtest", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND byAtom = CreateWindowExA(0, MAKEINTATOM(first), "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(byName, nullptr);
    ASSERT_NE(byAtom, nullptr);
    char name[64];
    EXPECT_EQ(GetClassNameA(byAtom, name, sizeof name), 16);
    EXPECT_STREQ(name, "SecondWindowTest");

    EXPECT_FALSE(UnregisterClassA("SecondWindowTest", nullptr)); // windows of it still live
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(byName);
    DestroyWindow(byAtom);
    EXPECT_TRUE(UnregisterClassA("SecondWindowTest", nullptr));
    EXPECT_NE(RegisterClassA(&wc), 0);
    EXPECT_TRUE(UnregisterClassA("SecondWindowTest", nullptr));
}

TEST_F(WindowClassTest, RegistrationWithoutProcedureOrNameIsRefused) {
    WNDCLASSA wc{};
    wc.lpszClassName = "NoProcedure";
    EXPECT_EQ(RegisterClassA(&wc), 0);
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = nullptr;
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(RegisterClassA(nullptr), 0);
    EXPECT_EQ(
        CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
}

class WindowCreationTest : public Win32Test {};

TEST_F(WindowCreationTest, SendsCreationMessagesInWin32Order) {
    procedureOverride() = captureCreate;
    int param = 7;
    HWND hwnd = CreateWindowExA(0, kRecordingClass, "Frustum", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                20, 300, 200, nullptr, nullptr, nullptr, &param);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(
        sequenceIs(messagesOf(hwnd), {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
    EXPECT_EQ(seenCreate.lpCreateParams, &param);
    EXPECT_EQ(seenCreate.cx, 300);
    EXPECT_EQ(seenCreate.cy, 200);
    EXPECT_EQ(seenCreate.x, 10);
    EXPECT_EQ(seenCreate.y, 20);
    EXPECT_EQ(seenCreateTitle, "Frustum");
    const Recorded& size = recorded()[2];
    EXPECT_EQ(LOWORD(size.lParam), 300);
    EXPECT_EQ(HIWORD(size.lParam), 200);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    char title[16];
    EXPECT_EQ(GetWindowTextA(hwnd, title, sizeof title), 7);
    EXPECT_STREQ(title, "Frustum");
    DestroyWindow(hwnd);
}

TEST_F(WindowCreationTest, DefaultPositionAndSizeForTopLevelWindowsOnly) {
    HWND top = createRecorded(nullptr, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400, 400);
    HWND sized = createRecorded(nullptr, WS_OVERLAPPEDWINDOW, 5, 6, CW_USEDEFAULT, CW_USEDEFAULT);
    HWND child = createRecorded(top, WS_CHILD, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0);
    ASSERT_TRUE(top && sized && child);
    RECT r;
    ASSERT_TRUE(GetClientRect(top, &r));
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(r.bottom, 400);
    ASSERT_TRUE(GetWindowRect(top, &r));
    EXPECT_GT(r.left, 0); // a cascade position, not the default's raw value
    EXPECT_LT(r.left, 1000);
    ASSERT_TRUE(GetWindowRect(sized, &r));
    EXPECT_EQ(r.left, 5);
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_GT(r.bottom - r.top, 0);
    ASSERT_TRUE(GetClientRect(child, &r));
    EXPECT_EQ(r.right, 0);
    EXPECT_FALSE(IsWindowVisible(top)); // created without WS_VISIBLE: hidden until shown
    DestroyWindow(top);
    DestroyWindow(sized);
}

TEST_F(WindowCreationTest, ProcedureRefusingCreateFailsTheCreation) {
    procedureOverride() = refuseCreate;
    HWND hwnd = createRecorded(nullptr, WS_OVERLAPPEDWINDOW, 0, 0, 10, 10);
    EXPECT_EQ(hwnd, nullptr);
    ASSERT_FALSE(recorded().empty());
    HWND attempted = recorded().front().hwnd;
    EXPECT_TRUE(
        sequenceIs(messagesOf(attempted), {WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(attempted));
}

TEST_F(WindowCreationTest, ChildStyleNeedsALiveParent) {
    EXPECT_EQ(createRecorded(nullptr, WS_CHILD, 0, 0, 1, 1), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TLW_WITH_WSCHILD));
    HWND parent = createRecorded(nullptr, 0, 0, 0, 1, 1);
    DestroyWindow(parent);
    EXPECT_EQ(createRecorded(parent, WS_CHILD, 0, 0, 1, 1), nullptr);
}

class WindowDestructionTest : public Win32Test {};

TEST_F(WindowDestructionTest, DestroyingAParentDestroysItsChildren) {
    HWND parent = createRecorded(nullptr, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    HWND child = createRecorded(parent, WS_CHILD, 0, 0, 50, 50);
    HWND grandchild = createRecorded(child, WS_CHILD, 0, 0, 10, 10);
    ASSERT_TRUE(parent && child && grandchild);
    EXPECT_EQ(GetParent(grandchild), child);
    EXPECT_TRUE(IsChild(parent, grandchild));
    recorded().clear();

    EXPECT_TRUE(DestroyWindow(parent));

    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(grandchild));
    // WM_DESTROY goes down the tree (children still exist while the parent handles it),
    // WM_NCDESTROY comes back up (children are gone before their parent).
    std::vector<Recorded> log = recorded();
    std::vector<std::pair<HWND, UINT>> actual,
        expected{
            {parent, WM_DESTROY},       {child, WM_DESTROY},   {grandchild, WM_DESTROY},
            {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY},
        };
    for (const Recorded& r : log)
        actual.push_back({r.hwnd, r.message});
    EXPECT_EQ(actual, expected) << "actual: " << describe(messagesOf());
}

TEST_F(WindowDestructionTest, DestroyingAChildLeavesTheParent) {
    HWND parent = createRecorded(nullptr, 0, 0, 0, 100, 100);
    HWND first = createRecorded(parent, WS_CHILD, 0, 0, 10, 10);
    HWND second = createRecorded(parent, WS_CHILD, 0, 0, 10, 10);
    EXPECT_TRUE(DestroyWindow(first));
    EXPECT_TRUE(IsWindow(parent));
    EXPECT_TRUE(IsWindow(second));
    EXPECT_FALSE(DestroyWindow(first)); // a destroyed handle stays invalid
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(second));
}

TEST_F(WindowDestructionTest, HandlesAreNotReused) {
    HWND first = createRecorded(nullptr, 0, 0, 0, 1, 1);
    DestroyWindow(first);
    for (int i = 0; i < 100; ++i) {
        HWND next = createRecorded(nullptr, 0, 0, 0, 1, 1);
        ASSERT_NE(next, first);
        DestroyWindow(next);
    }
    EXPECT_FALSE(IsWindow(first));
}

TEST_F(WindowDestructionTest, CloseDestroysAndQuitEndsTheLoopWithCodeZero) {
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = quitOnDestroyProc;
    wc.cbWndExtra = 4;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "QuitOnDestroyTest";
    RegisterClassA(&wc);
    HWND hwnd =
        CreateWindowExA(0, "QuitOnDestroyTest", "Frustum", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        CW_USEDEFAULT, CW_USEDEFAULT, 400, 400, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    recorded().clear();
    ASSERT_TRUE(PostMessageA(hwnd, WM_CLOSE, 0, 0));

    MSG msg;
    int dispatched = 0;
    BOOL result;
    while ((result = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        ASSERT_LT(++dispatched, 10);
    }
    EXPECT_EQ(result, FALSE);
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(0));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(sequenceIs(messagesOf(hwnd), {WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    UnregisterClassA("QuitOnDestroyTest", nullptr);
}

TEST_F(WindowDestructionTest, QuitCarriesTheExitCodeAfterPendingMessages) {
    HWND hwnd = createRecorded(nullptr, 0, 0, 0, 1, 1);
    PostQuitMessage(3);
    PostMessageA(hwnd, WM_USER, 1, 0);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE); // posted messages come before WM_QUIT
    EXPECT_EQ(msg.message, UINT(WM_USER));
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, WPARAM(3));
    DestroyWindow(hwnd);
}
