// Components built inside a parent fill it and let go of it again; components without a parent
// live in a shell window of their own.
#include "support/MessageLoop.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/SoWinRenderArea.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

WNDPROC procedureOf(HWND hwnd) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

TEST(SoWinComponent, EmbeddedComponentFillsItsParentAndGivesItsProcedureBack) {
    HWND host = testsupport::createHostWindow(120, 80);
    const WNDPROC hostProc = procedureOf(host);
    auto area = std::make_unique<SoWinRenderArea>(host);
    EXPECT_FALSE(area->isTopLevelShell());
    EXPECT_EQ(area->getParentWidget(), host);
    EXPECT_EQ(GetParent(area->getBaseWidget()), host);
    EXPECT_EQ(SoWinComponent::getComponent(area->getBaseWidget()), area.get());
    EXPECT_EQ(area->getSize(), SbVec2s(120, 80));

    auto second = std::make_unique<SoWinRenderArea>(host);
    MoveWindow(host, 0, 0, 90, 70, TRUE);
    EXPECT_EQ(area->getSize(), SbVec2s(90, 70));
    EXPECT_EQ(second->getSize(), SbVec2s(90, 70));
    EXPECT_EQ(area->getGlxSize(), SbVec2s(90, 70));

    HWND widget = area->getBaseWidget();
    area.reset();
    second.reset();
    EXPECT_FALSE(IsWindow(widget));
    EXPECT_EQ(procedureOf(host), hostProc);
    DestroyWindow(host);
}

TEST(SoWinComponent, SurvivesItsParentBeingDestroyedFirst) {
    HWND host = testsupport::createHostWindow(50, 40);
    auto area = std::make_unique<SoWinRenderArea>(host);
    DestroyWindow(host);
    EXPECT_EQ(area->getBaseWidget(), nullptr);
    EXPECT_EQ(area->getNormalWidget(), nullptr);
    std::vector<unsigned char> rgb;
    SbVec2s size;
    EXPECT_FALSE(area->readPixels(rgb, size));
    area.reset(); // must not touch the destroyed windows
}

struct Closes {
    int count = 0;
    static void callback(void* data, SoWinComponent*) { ++static_cast<Closes*>(data)->count; }
};

TEST(SoWinComponent, WithoutParentItBuildsInAShellOfItsOwn) {
    auto area = std::make_unique<SoWinRenderArea>(nullptr, "loose");
    HWND shell = area->getShellWidget();
    ASSERT_TRUE(IsWindow(shell));
    EXPECT_TRUE(area->isTopLevelShell());
    EXPECT_EQ(GetParent(area->getBaseWidget()), shell);
    EXPECT_STREQ(area->getWidgetName(), "loose");

    area->setTitle("Second view");
    char title[32] = {};
    GetWindowTextA(shell, title, sizeof title);
    EXPECT_STREQ(title, "Second view");

    area->setSize(SbVec2s(160, 100));
    EXPECT_EQ(area->getSize(), SbVec2s(160, 100));

    area->show();
    EXPECT_TRUE(GetWindowLongPtrA(shell, GWL_STYLE) & WS_VISIBLE);
    SendMessageA(shell, WM_CLOSE, 0, 0); // no close callback: the shell hides
    EXPECT_TRUE(IsWindow(shell));
    EXPECT_FALSE(GetWindowLongPtrA(shell, GWL_STYLE) & WS_VISIBLE);

    Closes closes;
    area->setWindowCloseCallback(Closes::callback, &closes);
    SendMessageA(shell, WM_CLOSE, 0, 0);
    EXPECT_EQ(closes.count, 1);

    area.reset();
    EXPECT_FALSE(IsWindow(shell));
}

} // namespace
