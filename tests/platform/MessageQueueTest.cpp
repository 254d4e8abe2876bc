// The per-thread message queue: posting, sending, retrieval order and filters, dropped
// messages, cursor positions and times carried by MSG, waking from another thread.
#include "detail/MessageQueue.h"
#include "Win32Fixture.h"

#include <chrono>

#include <thread>

using namespace win32test;

class MessageQueueTest : public Win32Test {
protected:
    void SetUp() override {
        Win32Test::SetUp();
        hwnd = createRecorded(nullptr, 0, 200, 100, 50, 50);
        ASSERT_NE(hwnd, nullptr);
        recorded().clear();
    }
    void TearDown() override {
        DestroyWindow(hwnd);
        Win32Test::TearDown();
    }
    HWND hwnd = nullptr;
};

TEST_F(MessageQueueTest, PostedMessagesArriveInOrderThroughDispatch) {
    for (UINT i = 0; i < 3; ++i)
        ASSERT_TRUE(PostMessageA(hwnd, WM_USER + i, i, 0));
    EXPECT_TRUE(recorded().empty()); // posting does not call the procedure
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_TRUE(sequenceIs(messagesOf(hwnd), {WM_USER, WM_USER + 1, WM_USER + 2}));
}

TEST_F(MessageQueueTest, SendCallsTheProcedureAtOnce) {
    SendMessageA(hwnd, WM_USER, 0, 0);
    EXPECT_TRUE(sequenceIs(messagesOf(hwnd), {WM_USER}));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE));
}

TEST_F(MessageQueueTest, PeekWithoutRemoveLeavesTheMessage) {
    PostMessageA(hwnd, WM_USER, 1, 2);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.wParam, WPARAM(1));
    EXPECT_EQ(msg.lParam, LPARAM(2));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, FiltersSelectByRangeAndWindow) {
    HWND other = createRecorded(nullptr, 0, 0, 0, 1, 1);
    HWND child = createRecorded(hwnd, WS_CHILD, 0, 0, 1, 1);
    PostMessageA(other, WM_USER, 0, 0);
    PostMessageA(hwnd, WM_USER + 5, 0, 0);
    PostMessageA(child, WM_USER + 6, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 5, WM_USER + 9, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 5));
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE)); // a window's filter takes its children
    EXPECT_EQ(msg.hwnd, child);
    EXPECT_FALSE(PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, other);
    DestroyWindow(other);
}

TEST_F(MessageQueueTest, MessageForAWindowDestroyedBeforeDispatchIsDropped) {
    HWND doomed = createRecorded(nullptr, 0, 0, 0, 1, 1);
    PostMessageA(doomed, WM_USER, 0, 0);
    PostMessageA(hwnd, WM_USER + 1, 0, 0);
    DestroyWindow(doomed);
    recorded().clear();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, hwnd);
    DispatchMessageA(&msg);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(sequenceIs(messagesOf(), {WM_USER + 1}));
}

TEST_F(MessageQueueTest, DispatchOfAMessageWhoseWindowWentAwayDoesNothing) {
    HWND doomed = createRecorded(nullptr, 0, 0, 0, 1, 1);
    PostMessageA(doomed, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(doomed);
    recorded().clear();
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_TRUE(recorded().empty());
}

TEST_F(MessageQueueTest, MouseMessagesCarryTheCursorInScreenCoordinates) {
    HWND child = createRecorded(hwnd, WS_CHILD, 7, 9, 20, 20);
    PostMessageA(child, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(3, 4));
    PostMessageA(child, WM_USER, 0, 0);
    MSG move, user;
    ASSERT_TRUE(PeekMessageA(&move, nullptr, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&user, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(move.pt.x, 200 + 7 + 3);
    EXPECT_EQ(move.pt.y, 100 + 9 + 4);
    EXPECT_EQ(user.pt.x, move.pt.x); // the cursor stays where the mouse last was
    POINT cursor;
    ASSERT_TRUE(GetCursorPos(&cursor));
    EXPECT_EQ(cursor.x, move.pt.x);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetMessagePos(), DWORD(MAKELONG(move.pt.x, move.pt.y)));

    POINT client = move.pt;
    ASSERT_TRUE(ScreenToClient(child, &client));
    EXPECT_EQ(client.x, GET_X_LPARAM(move.lParam));
    EXPECT_EQ(client.y, GET_Y_LPARAM(move.lParam));

    // Negative client coordinates (a captured mouse left of the window) keep their sign.
    PostMessageA(child, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -6));
    ASSERT_TRUE(PeekMessageA(&move, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(move.pt.x, 200 + 7 - 5);
    EXPECT_EQ(move.pt.y, 100 + 9 - 6);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
}

TEST_F(MessageQueueTest, MessageTimeIsInMilliseconds) {
    DWORD before = GetTickCount();
    PostMessageA(hwnd, WM_USER, 0, 0);
    DWORD after = GetTickCount();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_GE(msg.time, before);
    EXPECT_LE(msg.time, after);
    EXPECT_EQ(GetMessageTime(), msg.time);
}

TEST_F(MessageQueueTest, TranslateTurnsKeyDownIntoCharacters) {
    MSG key{hwnd, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    SendMessageA(hwnd, WM_KEYUP, VK_SHIFT, 0);
    EXPECT_TRUE(TranslateMessage(&key));
    SendMessageA(hwnd, WM_KEYDOWN, VK_SHIFT, 0); // shift held from now on
    EXPECT_TRUE(TranslateMessage(&key));
    SendMessageA(hwnd, WM_KEYUP, VK_SHIFT, 0);
    MSG arrow{hwnd, WM_KEYDOWN, VK_LEFT, 0, 0, {0, 0}};
    EXPECT_TRUE(TranslateMessage(&arrow)); // a key message, though without a character
    MSG mouse{hwnd, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(TranslateMessage(&mouse));

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_CHAR));
    EXPECT_EQ(msg.wParam, WPARAM('a'));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM('A'));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, InvalidatedVisibleWindowGetsOnePaint) {
    MSG msg;
    InvalidateRect(hwnd, nullptr, TRUE);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)); // hidden windows are not painted
    ShowWindow(hwnd, SW_SHOW);
    PostMessageA(hwnd, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER)); // posted messages come before painting
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_PAINT));
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    InvalidateRect(hwnd, nullptr, FALSE);
    recorded().clear();
    EXPECT_TRUE(UpdateWindow(hwnd)); // paints at once, and only once
    EXPECT_TRUE(UpdateWindow(hwnd));
    EXPECT_TRUE(sequenceIs(messagesOf(hwnd), {WM_PAINT}));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, PostFromAnotherThreadWakesTheWindowsThread) {
    // GetMessageA also wakes now and then to run Coin's sensors, which would hide a lost
    // wake-up: this wait has nothing but the post to end it before a deadline far away.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    using Clock = oivwin32::MessageQueue::Clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
    std::thread poster([this] {
        Sleep(50);
        PostMessageA(hwnd, WM_USER + 7, 0, 0);
    });
    oivwin32::MessageQueue::current()->waitForPost(deadline);
    const bool woken = Clock::now() < deadline;
    poster.join();
    EXPECT_TRUE(woken) << "the post from the other thread did not wake this one";

    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, UINT(WM_USER + 7));
    EXPECT_EQ(msg.hwnd, hwnd);
}

TEST_F(MessageQueueTest, ThreadMessagesHaveNoWindow) {
    ASSERT_TRUE(PostMessageA(nullptr, WM_USER, 4, 0));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, WPARAM(4));
    EXPECT_EQ(DispatchMessageA(&msg), 0);
}

TEST_F(MessageQueueTest, EachThreadHasItsOwnQueue) {
    PostMessageA(nullptr, WM_USER, 0, 0);
    BOOL seenElsewhere = TRUE;
    std::thread other([&] {
        MSG msg;
        seenElsewhere = PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    });
    other.join();
    EXPECT_FALSE(seenElsewhere);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}
