// The stand-alone windows: two of them share one window class, each starts hidden and shows on
// request, closing either ends the message loop with exit code 0, and destroying an object takes
// its window (and viewer) with it without ending the loop.
#include "viewers/OivWindow.h"
#include "viewers/OivWindowViewer.h"

#include "support/MessageLoop.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoSeparator.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string titleOf(HWND hwnd) {
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    return title;
}

std::string classOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

bool quitPending() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

class OivWindowTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::runMessageLoopUntilIdle(); }
};

class OivWindowCloseTest : public OivWindowTest, public ::testing::WithParamInterface<int> {};

TEST_F(OivWindowTest, TwoWindowsOfOneClassStartHiddenAt400By400AndShowOnRequest) {
    OivWindow first, second;
    ASSERT_NE(first.getWindow(), nullptr);
    ASSERT_NE(second.getWindow(), nullptr) << "the failed second registration must not matter";
    EXPECT_NE(first.getWindow(), second.getWindow());
    for (HWND hwnd : {first.getWindow(), second.getWindow()}) {
        EXPECT_EQ(classOf(hwnd), "SecondWindow");
        EXPECT_EQ(titleOf(hwnd), "Frustum");
        EXPECT_FALSE(IsWindowVisible(hwnd));
        EXPECT_EQ(GetParent(hwnd), nullptr) << "outside the host's window tree";
        RECT client{};
        GetClientRect(hwnd, &client);
        EXPECT_EQ(client.right, 400);
        EXPECT_EQ(client.bottom, 400);
    }
    second.show();
    EXPECT_TRUE(IsWindowVisible(second.getWindow()));
    EXPECT_FALSE(IsWindowVisible(first.getWindow()));
}

TEST_P(OivWindowCloseTest, ClosingEitherWindowEndsTheLoopWithZeroAndLeavesTheOther) {
    OivWindow windows[2];
    const int closed = GetParam();
    windows[closed].show();
    PostMessageA(windows[closed].getWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(testsupport::runMessageLoopUntilQuit(), 0);
    EXPECT_FALSE(IsWindow(windows[closed].getWindow()));
    EXPECT_TRUE(IsWindow(windows[1 - closed].getWindow()));
}

INSTANTIATE_TEST_SUITE_P(FirstOrSecond, OivWindowCloseTest, ::testing::Values(0, 1));

TEST_F(OivWindowTest, DestroyingTheObjectTakesTheWindowButNotTheLoop) {
    HWND hwnd;
    {
        OivWindow window;
        hwnd = window.getWindow();
        window.show();
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(quitPending()) << "only the user's close ends the loop";

    // Closed by the user first: the object's end has nothing left to destroy.
    auto closedFirst = std::make_unique<OivWindow>();
    SendMessageA(closedFirst->getWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(quitPending());
    closedFirst.reset();
    EXPECT_FALSE(quitPending());
}

TEST_F(OivWindowTest, WindowViewerIsAnEditorExaminerFillingTheWindowShownWithIt) {
    auto window = std::make_unique<OivWindowViewer>();
    SoWinFullViewer* viewer = window->getOivViewer();
    ASSERT_NE(viewer, nullptr);
    HWND hwnd = window->getWindow();
    HWND widget = viewer->getWidget();
    EXPECT_TRUE(IsChild(hwnd, widget));
    EXPECT_STREQ(viewer->getWidgetName(), "Bird's eye view");
    EXPECT_TRUE(viewer->isDecoration()) << "built with all decoration";
    EXPECT_EQ(viewer->getSize(), SbVec2s(400, 400));

    // An editor puts the camera it makes into the user's own graph, so it is saved with it.
    SoSeparator* scene = new SoSeparator;
    scene->ref();
    scene->addChild(new SoCone);
    viewer->setSceneGraph(scene);
    ASSERT_GT(scene->getNumChildren(), 0);
    EXPECT_TRUE(scene->getChild(0)->isOfType(SoCamera::getClassTypeId()));

    EXPECT_FALSE(IsWindowVisible(widget));
    window->show();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(viewer->isVisible());

    window.reset(); // the viewer goes, then its window
    EXPECT_FALSE(IsWindow(widget));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(quitPending());
    scene->unref();
}

} // namespace
