// Real X input reaching a Win32 window procedure: pointer and wheel messages with client (or,
// for the wheel, screen) coordinates and MK_* flags, keys as virtual-key codes for the focus
// window, and a window moved, resized, renamed, hidden or closed on the server and in the table
// alike.
#include "onscreen/TestScreen.h"
#include "platform/Win32Fixture.h"

#include <Inventor/Win/SoWin.h>

#include <X11/keysym.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using onscreen::TestScreen;
using win32test::Recorded;
using win32test::recorded;

constexpr const char* kTitle = "OnScreen input";
constexpr RECT kFrame = {700, 500, 700 + 240, 500 + 160}; // left, top, right, bottom
constexpr RECT kChild = {60, 40, 60 + 100, 40 + 80};

class OnScreenInputTest : public win32test::Win32Test {
protected:
    void SetUp() override {
        Win32Test::SetUp();
        ASSERT_TRUE(m_Screen.isOpen());
        m_Window = win32test::createRecorded(nullptr, WS_OVERLAPPEDWINDOW, kFrame.left, kFrame.top,
                                             kFrame.right - kFrame.left, kFrame.bottom - kFrame.top,
                                             kTitle);
        m_Child =
            win32test::createRecorded(m_Window, WS_CHILD | WS_VISIBLE, kChild.left, kChild.top,
                                      kChild.right - kChild.left, kChild.bottom - kChild.top);
        ShowWindow(m_Window, SW_SHOW);
        ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return topLevel() != 0; }));
        recorded().clear();
    }

    void TearDown() override {
        DestroyWindow(m_Window);
        onscreen::settle(m_Screen);
        Win32Test::TearDown();
    }

    TestScreen::Window topLevel() { return m_Screen.findTopLevel(kTitle); }

    // The first recorded message of `message` for `hwnd`; a failure when there is none.
    ::testing::AssertionResult first(HWND hwnd, UINT message, Recorded* found) {
        auto& log = recorded();
        auto it = std::find_if(log.begin(), log.end(), [&](const Recorded& r) {
            return r.hwnd == hwnd && r.message == message;
        });
        if (it == log.end())
            return ::testing::AssertionFailure()
                   << "no " << win32test::messageName(message) << " among "
                   << win32test::describe(win32test::messagesOf(hwnd));
        *found = *it;
        return ::testing::AssertionSuccess();
    }

    bool received(HWND hwnd, UINT message) {
        Recorded ignored;
        return first(hwnd, message, &ignored);
    }

    TestScreen m_Screen;
    HWND m_Window = nullptr;
    HWND m_Child = nullptr;
};

TEST_F(OnScreenInputTest, PointerMessagesGoToTheWindowUnderThePointerWithClientCoordinates) {
    m_Screen.click(onscreen::onScreen(m_Child, 10, 20));
    m_Screen.click(onscreen::onScreen(m_Window, 5, 6), 3);
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return received(m_Window, WM_RBUTTONUP); }));

    Recorded down, up, move, right;
    ASSERT_TRUE(first(m_Child, WM_LBUTTONDOWN, &down));
    EXPECT_EQ(down.wParam, WPARAM(MK_LBUTTON));
    EXPECT_EQ(GET_X_LPARAM(down.lParam), 10);
    EXPECT_EQ(GET_Y_LPARAM(down.lParam), 20);
    ASSERT_TRUE(first(m_Child, WM_LBUTTONUP, &up));
    EXPECT_EQ(up.wParam, WPARAM(0)) << "the released button no longer counts as held";
    EXPECT_EQ(up.lParam, down.lParam);
    ASSERT_TRUE(first(m_Child, WM_MOUSEMOVE, &move));
    EXPECT_EQ(move.lParam, down.lParam);
    ASSERT_TRUE(first(m_Window, WM_RBUTTONDOWN, &right));
    EXPECT_EQ(right.wParam, WPARAM(MK_RBUTTON));
    EXPECT_EQ(GET_X_LPARAM(right.lParam), 5);
    EXPECT_EQ(GET_Y_LPARAM(right.lParam), 6);
    EXPECT_FALSE(received(m_Window, WM_LBUTTONDOWN)) << "the child's click is the child's alone";

    POINT cursor{};
    GetCursorPos(&cursor);
    const POINT expected = onscreen::onScreen(m_Window, 5, 6);
    EXPECT_EQ(cursor.x, expected.x);
    EXPECT_EQ(cursor.y, expected.y);
}

TEST_F(OnScreenInputTest, MotionThatQueuedUpArrivesAsItsNewestPositionInItsPlaceAmongButtons) {
    constexpr int kSteps = 30;
    for (int i = 1; i <= kSteps; ++i)
        m_Screen.moveTo(onscreen::onScreen(m_Child, 4 + i, 2 + i));
    m_Screen.drag(onscreen::onScreen(m_Child, 40, 30), onscreen::onScreen(m_Child, 10, 70), 1,
                  kSteps);
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return received(m_Child, WM_LBUTTONUP); }));

    // The child's pointer messages, split at the press and the release.
    std::vector<std::vector<Recorded>> runs(1);
    for (const Recorded& r : recorded()) {
        if (r.hwnd != m_Child)
            continue;
        if (r.message == WM_MOUSEMOVE)
            runs.back().push_back(r);
        else if (r.message == WM_LBUTTONDOWN || r.message == WM_LBUTTONUP)
            runs.emplace_back();
    }
    ASSERT_EQ(runs.size(), 3u) << win32test::describe(win32test::messagesOf(m_Child));
    const POINT last[] = {{40, 30}, {10, 70}};
    for (int run = 0; run < 2; ++run) {
        ASSERT_FALSE(runs[run].empty()) << "run " << run;
        EXPECT_LE(runs[run].size(), 2u) << "run " << run << ": motion is not coalesced";
        const Recorded& newest = runs[run].back();
        EXPECT_EQ(GET_X_LPARAM(newest.lParam), last[run].x) << "run " << run;
        EXPECT_EQ(GET_Y_LPARAM(newest.lParam), last[run].y) << "run " << run;
        EXPECT_EQ(newest.wParam, WPARAM(run == 1 ? MK_LBUTTON : 0)) << "run " << run;
    }
    EXPECT_TRUE(runs[2].empty()) << "no motion after the release";
}

TEST_F(OnScreenInputTest, WheelNotchesArriveWithTheirSignAndScreenCoordinates) {
    const POINT at = onscreen::onScreen(m_Child, 30, 30);
    m_Screen.wheel(at, 1);
    m_Screen.wheel(at, -2);
    std::vector<Recorded> wheels;
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] {
        wheels.clear();
        for (const Recorded& r : recorded())
            if (r.hwnd == m_Child && r.message == WM_MOUSEWHEEL)
                wheels.push_back(r);
        return wheels.size() == 3;
    }));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), WHEEL_DELTA);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[1].wParam), -WHEEL_DELTA);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[2].wParam), -WHEEL_DELTA);
    EXPECT_EQ(GET_X_LPARAM(wheels[0].lParam), at.x);
    EXPECT_EQ(GET_Y_LPARAM(wheels[0].lParam), at.y);
}

TEST_F(OnScreenInputTest, KeysBecomeVirtualKeyMessagesForTheFocusWindow) {
    SetFocus(m_Child);
    struct Key {
        unsigned long keysym;
        WPARAM virtualKey;
    };
    const Key keys[] = {
        {XK_a, 'A'}, {XK_7, '7'}, {XK_Escape, VK_ESCAPE}, {XK_F5, VK_F1 + 4}, {XK_Left, VK_LEFT}};
    for (const Key& key : keys)
        m_Screen.typeKey(key.keysym);
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] {
        return std::count_if(recorded().begin(), recorded().end(), [&](const Recorded& r) {
                   return r.hwnd == m_Child && r.message == WM_KEYUP;
               }) == int(std::size(keys));
    }));

    std::vector<WPARAM> downs, ups;
    for (const Recorded& r : recorded()) {
        if (r.hwnd != m_Child)
            continue;
        if (r.message == WM_KEYDOWN) {
            downs.push_back(r.wParam);
            EXPECT_EQ(r.lParam & LPARAM(0xC0000000), 0) << "a press has no release bits";
        } else if (r.message == WM_KEYUP) {
            ups.push_back(r.wParam);
            EXPECT_EQ(r.lParam & LPARAM(0xC0000000), LPARAM(0xC0000000));
        }
    }
    std::vector<WPARAM> expected;
    for (const Key& key : keys)
        expected.push_back(key.virtualKey);
    EXPECT_EQ(downs, expected);
    EXPECT_EQ(ups, expected);
    Recorded character;
    ASSERT_TRUE(first(m_Child, WM_CHAR, &character)) << "the loop translates key presses";
    EXPECT_EQ(character.wParam, WPARAM('a'));
    EXPECT_FALSE(received(m_Window, WM_KEYDOWN)) << "keys go to the focus window only";
}

TEST_F(OnScreenInputTest, WindowChangesOnEitherSideReachTheOther) {
    const TestScreen::Window window = topLevel();
    ASSERT_NE(window, 0u);

    // The server's side, as a window manager or the user changes it: the table follows.
    m_Screen.resizeAndMove(window, POINT{650, 450}, 300, 200);
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return received(m_Window, WM_SIZE); }));
    Recorded size;
    ASSERT_TRUE(first(m_Window, WM_SIZE, &size));
    EXPECT_EQ(LOWORD(size.lParam), 300);
    EXPECT_EQ(HIWORD(size.lParam), 200);
    RECT rect{};
    GetWindowRect(m_Window, &rect);
    EXPECT_TRUE(win32test::rectIs(rect, 650, 450, 950, 650));

    // The program's side: title, visibility and destruction reach the server.
    SetWindowTextA(m_Window, "Renamed");
    onscreen::settle(m_Screen);
    EXPECT_EQ(m_Screen.findTopLevel("Renamed"), window);
    ShowWindow(m_Window, SW_HIDE);
    onscreen::settle(m_Screen);
    EXPECT_EQ(m_Screen.findTopLevel("Renamed"), 0u) << "hidden windows are not viewable";
    DestroyWindow(m_Window);
    onscreen::settle(m_Screen);
    EXPECT_FALSE(m_Screen.exists(window));
}

TEST_F(OnScreenInputTest, CloseFromTheWindowManagerIsAPostedCloseMessage) {
    m_Screen.requestClose(topLevel());
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return !IsWindow(m_Window); }));
    EXPECT_TRUE(received(m_Window, WM_CLOSE));
    EXPECT_TRUE(received(m_Child, WM_DESTROY)) << "the default procedure destroyed it";
}

} // namespace
