// What a window stores for its users: procedures (subclassing), user data, extra bytes,
// properties.
#include "Win32Fixture.h"

using namespace win32test;

namespace {

// A subclass chain as viewers build it: each procedure finds the one it replaced in the window's
// extra bytes and passes every message on through CallWindowProcA.
constexpr int kFirstOriginalSlot = 0;
constexpr int kSecondOriginalSlot = 8;
std::vector<std::string> calls;

LRESULT CALLBACK firstSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    calls.push_back("first");
    auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, kFirstOriginalSlot));
    return CallWindowProcA(original, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK secondSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    calls.push_back("second");
    auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, kSecondOriginalSlot));
    LRESULT result = CallWindowProcA(original, hwnd, msg, wParam, lParam);
    return msg == WM_USER ? result + 100 : result;
}

LRESULT answerUser(HWND, UINT msg, WPARAM wParam, LPARAM, bool* handled) {
    *handled = msg == WM_USER;
    return static_cast<LRESULT>(wParam) * 2;
}

} // namespace

class SubclassTest : public Win32Test {
protected:
    void SetUp() override {
        Win32Test::SetUp();
        calls.clear();
        hwnd = createRecorded(nullptr, 0, 0, 0, 10, 10);
        ASSERT_NE(hwnd, nullptr);
    }
    void TearDown() override {
        DestroyWindow(hwnd);
        Win32Test::TearDown();
    }
    HWND hwnd = nullptr;
};

TEST_F(SubclassTest, ChainOfTwoProceduresStillReachesTheOriginal) {
    procedureOverride() = answerUser;
    LONG_PTR original =
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(firstSubclass));
    EXPECT_EQ(original, reinterpret_cast<LONG_PTR>(recordingProc));
    SetWindowLongPtrA(hwnd, kFirstOriginalSlot, original);
    LONG_PTR replaced =
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(secondSubclass));
    EXPECT_EQ(replaced, reinterpret_cast<LONG_PTR>(firstSubclass));
    SetWindowLongPtrA(hwnd, kSecondOriginalSlot, replaced);
    recorded().clear();

    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 21, 0), 142);
    EXPECT_EQ(calls, (std::vector<std::string>{"second", "first"}));
    EXPECT_TRUE(sequenceIs(messagesOf(hwnd), {WM_USER}));

    // Posted messages take the same road through DispatchMessageA.
    calls.clear();
    PostMessageA(hwnd, WM_USER, 1, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageA(&msg), 102);
    EXPECT_EQ(calls, (std::vector<std::string>{"second", "first"}));
}

TEST_F(SubclassTest, UserDataHoldsAPointer) {
    int owner = 0;
    EXPECT_EQ(SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&owner)), 0);
    EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)), &owner);
}

TEST_F(SubclassTest, ExtraBytesHoldPointersAtEveryFittingOffset) {
    const LONG_PTR a = static_cast<LONG_PTR>(0x1122334455667788LL), b = -5;
    EXPECT_EQ(SetWindowLongPtrA(hwnd, 0, a), 0);
    EXPECT_EQ(SetWindowLongPtrA(hwnd, 8, b), 0);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, 0), a);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, 8), b);
    EXPECT_EQ(SetWindowLongPtrA(hwnd, 8, 1), b); // returns the previous value

    // kRecordingExtraBytes is 16: offset 9 would run past the end.
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, 9), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    EXPECT_EQ(SetWindowLongPtrA(hwnd, 16, 1), 0);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, -100), 0);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, 8), 1); // the refused writes changed nothing
}

TEST_F(SubclassTest, FourExtraBytesCannotHoldAPointer) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = recordingProc;
    wc.cbWndExtra = 4;
    wc.lpszClassName = "FourExtraBytes";
    RegisterClassA(&wc);
    HWND small =
        CreateWindowExA(0, "FourExtraBytes", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(SetWindowLongPtrA(small, 0, 1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    DestroyWindow(small);
    UnregisterClassA("FourExtraBytes", nullptr);
}

TEST_F(SubclassTest, NullProcedureIsRefused) {
    EXPECT_EQ(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, 0), 0);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(recordingProc));
    EXPECT_EQ(CallWindowProcA(nullptr, hwnd, WM_USER, 0, 0), 0);
}

TEST_F(SubclassTest, StyleAndParentAreReadable) {
    HWND child = createRecorded(hwnd, WS_CHILD | WS_VISIBLE, 0, 0, 1, 1);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(hwnd));
    EXPECT_TRUE(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(GetWindowLongPtrA(child, GWL_STYLE) & WS_VISIBLE);
}

class PropertyTest : public Win32Test {};

TEST_F(PropertyTest, SetReadAndRemove) {
    HWND button = createRecorded(nullptr, 0, 0, 0, 10, 10);
    HWND other = createRecorded(nullptr, 0, 0, 0, 10, 10);
    int viewer = 0, buttonObject = 0;
    ASSERT_TRUE(SetPropA(button, "THIS", &viewer));
    ASSERT_TRUE(SetPropA(button, "CallbackData", reinterpret_cast<HANDLE>(9)));
    ASSERT_TRUE(SetPropA(button, "SoWinBitmapButton", &buttonObject));

    EXPECT_EQ(GetPropA(button, "THIS"), &viewer);
    EXPECT_EQ(GetPropA(button, "this"), &viewer); // property names ignore case
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetPropA(button, "CallbackData")), 9u);
    EXPECT_EQ(GetPropA(button, "SoWinBitmapButton"), &buttonObject);
    EXPECT_EQ(GetPropA(other, "THIS"), nullptr); // properties belong to one window
    EXPECT_EQ(GetPropA(button, "Missing"), nullptr);

    ASSERT_TRUE(SetPropA(button, "THIS", &buttonObject)); // replaces
    EXPECT_EQ(GetPropA(button, "THIS"), &buttonObject);

    EXPECT_EQ(RemovePropA(button, "THIS"), &buttonObject);
    EXPECT_EQ(GetPropA(button, "THIS"), nullptr);
    EXPECT_EQ(RemovePropA(button, "THIS"), nullptr);
    EXPECT_EQ(GetPropA(button, "SoWinBitmapButton"), &buttonObject); // the others stay

    EXPECT_FALSE(SetPropA(button, nullptr, &viewer));
    DestroyWindow(button);
    DestroyWindow(other);
    EXPECT_EQ(GetPropA(button, "SoWinBitmapButton"), nullptr);
    EXPECT_FALSE(SetPropA(button, "THIS", &viewer));
}

TEST_F(PropertyTest, IntegerAtomNames) {
    HWND hwnd = createRecorded(nullptr, 0, 0, 0, 10, 10);
    int data = 0;
    ASSERT_TRUE(SetPropA(hwnd, MAKEINTATOM(42), &data));
    EXPECT_EQ(GetPropA(hwnd, MAKEINTATOM(42)), &data);
    EXPECT_EQ(GetPropA(hwnd, "#42"), &data);
    DestroyWindow(hwnd);
}
