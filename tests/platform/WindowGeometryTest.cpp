// Positions, sizes, coordinates and visibility of windows in a tree.
#include "Win32Fixture.h"

using namespace win32test;

class WindowGeometryTest : public Win32Test {
protected:
    void SetUp() override {
        Win32Test::SetUp();
        top = createRecorded(nullptr, WS_OVERLAPPEDWINDOW, 100, 50, 400, 300);
        child = createRecorded(top, WS_CHILD | WS_VISIBLE, 10, 20, 200, 100);
        grandchild = createRecorded(child, WS_CHILD | WS_VISIBLE, 3, 4, 50, 50);
        ASSERT_TRUE(top && child && grandchild);
        recorded().clear();
    }
    void TearDown() override {
        DestroyWindow(top);
        Win32Test::TearDown();
    }
    HWND top = nullptr, child = nullptr, grandchild = nullptr;
};

TEST_F(WindowGeometryTest, MoveWindowReportsTheNewClientSize) {
    ASSERT_TRUE(MoveWindow(child, 10, 20, 320, 240, TRUE));
    EXPECT_TRUE(sequenceIs(messagesOf(child), {WM_SIZE}));
    EXPECT_EQ(recorded().back().wParam, WPARAM(SIZE_RESTORED));
    EXPECT_EQ(LOWORD(recorded().back().lParam), 320);
    EXPECT_EQ(HIWORD(recorded().back().lParam), 240);
    RECT r;
    ASSERT_TRUE(GetClientRect(child, &r));
    EXPECT_TRUE(rectIs(r, 0, 0, 320, 240));

    recorded().clear();
    ASSERT_TRUE(MoveWindow(child, 11, 20, 320, 240, TRUE));
    EXPECT_TRUE(sequenceIs(messagesOf(child), {WM_MOVE}));
    recorded().clear();
    ASSERT_TRUE(MoveWindow(child, 0, 0, -5, 7, FALSE)); // negative sizes count as 0
    EXPECT_TRUE(sequenceIs(messagesOf(child), {WM_MOVE, WM_SIZE}));
    ASSERT_TRUE(GetClientRect(child, &r));
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 7);
}

TEST_F(WindowGeometryTest, ScreenPositionAddsUpTheParentsOffsets) {
    POINT p{5, 6};
    ASSERT_TRUE(ClientToScreen(grandchild, &p));
    EXPECT_EQ(p.x, 100 + 10 + 3 + 5);
    EXPECT_EQ(p.y, 50 + 20 + 4 + 6);
    ASSERT_TRUE(ScreenToClient(child, &p));
    EXPECT_EQ(p.x, 3 + 5);
    EXPECT_EQ(p.y, 4 + 6);
    RECT r;
    ASSERT_TRUE(GetWindowRect(grandchild, &r));
    EXPECT_TRUE(rectIs(r, 113, 74, 163, 124));
}

TEST_F(WindowGeometryTest, ChildIsVisibleOnlyWhenItsAncestorsAre) {
    EXPECT_FALSE(IsWindowVisible(grandchild)); // the top-level window is still hidden
    EXPECT_FALSE(ShowWindow(top, SW_SHOW));    // returns whether it was visible before
    EXPECT_TRUE(IsWindowVisible(grandchild));
    EXPECT_TRUE(sequenceIs(messagesOf(), {WM_SHOWWINDOW}));
    EXPECT_EQ(recorded().back().wParam, WPARAM(TRUE));

    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(grandchild));
    EXPECT_TRUE(IsWindowVisible(top));
    recorded().clear();
    EXPECT_FALSE(ShowWindow(child, SW_HIDE)); // no change, no message
    EXPECT_TRUE(messagesOf().empty());
}

TEST_F(WindowGeometryTest, ReparentingMovesTheChildBetweenTrees) {
    HWND other = createRecorded(nullptr, 0, 500, 500, 10, 10);
    EXPECT_EQ(SetParent(grandchild, other), child);
    EXPECT_EQ(GetParent(grandchild), other);
    EXPECT_FALSE(IsChild(top, grandchild));
    POINT p{0, 0};
    ClientToScreen(grandchild, &p);
    EXPECT_EQ(p.x, 503);
    EXPECT_EQ(SetParent(top, grandchild), nullptr); // a window cannot go below its own child
    DestroyWindow(other);
    EXPECT_FALSE(IsWindow(grandchild));
}

TEST_F(WindowGeometryTest, FocusAndEnabledStateAreReported) {
    EXPECT_EQ(SetFocus(child), nullptr);
    EXPECT_EQ(SetFocus(grandchild), child);
    EXPECT_TRUE(sequenceIs(messagesOf(), {WM_SETFOCUS, WM_KILLFOCUS, WM_SETFOCUS}));
    EXPECT_EQ(GetFocus(), grandchild);
    DestroyWindow(grandchild);
    EXPECT_EQ(GetFocus(), nullptr);

    recorded().clear();
    EXPECT_FALSE(EnableWindow(child, FALSE)); // it was enabled
    EXPECT_FALSE(IsWindowEnabled(child));
    EXPECT_TRUE(EnableWindow(child, TRUE));
    EXPECT_TRUE(sequenceIs(messagesOf(child), {WM_ENABLE, WM_ENABLE}));
}

TEST_F(WindowGeometryTest, CaptureFollowsTheWindow) {
    EXPECT_EQ(SetCapture(child), nullptr);
    EXPECT_EQ(GetCapture(), child);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    SetCapture(child);
    DestroyWindow(child);
    EXPECT_EQ(GetCapture(), nullptr);
}
