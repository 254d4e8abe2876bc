// The viewer as a desktop user meets it in the demo canvas: Escape leaves viewing for picking,
// after which the sticky cursor follows the pointer over the terrain; the right button opens the
// viewer's menu, whose "View All" frames the scene; and under a window manager, a notice raised
// by a toolbar click stays above the application's window while the user drags in the canvas,
// and Return closes it.
#include "onscreen/DemoCanvasTest.h"
#include "onscreen/WindowManager.h"

#include "dui/DuiCanvasToolbar.h"
#include "dui/DuiCanvasToolbarIds.h"
#include "scene/OivSceneManager.h"

#include "SoWinImGuiDialogs.h"
#include "SoWinImGuiMenu.h"
#include "X11WindowSystem.h"

#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoMessageDialog.h>

#include <X11/keysym.h>

#include <gtest/gtest.h>

namespace {

using onscreen::ScreenImage;
using onscreen::settle;
using onscreen::settleUntil;

constexpr int kChannelTolerance = 8;
constexpr const char* kToolbarTitle = "3D Controls";
// Around the pointer: where the sticky cursor is drawn.
constexpr int kAroundPointer = 24;

POINT middleOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

class OnScreenViewerTest : public onscreen::DemoCanvasTest {
protected:
    POINT inCanvas(int dx, int dy) const {
        return onscreen::onScreen(drawingWindow(), DemoScene::kWidth / 2 + dx,
                                  DemoScene::kHeight / 2 + dy);
    }

    ScreenImage aroundPointer(POINT at) {
        return m_Screen.grab(POINT{at.x - kAroundPointer / 2, at.y - kAroundPointer / 2},
                             kAroundPointer, kAroundPointer);
    }
};

TEST_F(OnScreenViewerTest, EscapeThenPointerMovesShowTheStickyCursorUnderThePointer) {
    m_Canvas->getOivSceneManager()->enableStickyCursor(true);
    // Two places on the terrain, far enough apart for the cursor to be drawn at one only.
    const POINT places[] = {inCanvas(-60, 30), inCanvas(90, 40)};
    m_Screen.moveTo(places[0]);
    settle(m_Screen);
    const ScreenImage without[] = {aroundPointer(places[0]), aroundPointer(places[1])};
    ASSERT_TRUE(m_Canvas->getOivViewer()->isViewing());

    m_Screen.typeKey(XK_Escape);
    ASSERT_TRUE(settleUntil(m_Screen, [&] { return !m_Canvas->getOivViewer()->isViewing(); }));
    for (int at = 0; at < 2; ++at) {
        const int other = 1 - at;
        m_Screen.moveTo(places[at]);
        EXPECT_TRUE(settleUntil(
            m_Screen,
            [&] {
                return aroundPointer(places[at]).countDiffering(without[at], kChannelTolerance) >
                       kAroundPointer * kAroundPointer / 10;
            }))
            << "no cursor under the pointer at place " << at;
        EXPECT_LE(aroundPointer(places[other]).countDiffering(without[other], kChannelTolerance),
                  kAroundPointer * kAroundPointer / 50)
            << "the cursor stayed at place " << other;
    }
}

TEST_F(OnScreenViewerTest, RightClickOpensTheMenuWhoseViewAllFramesTheScene) {
    SoWinFullViewer* viewer = m_Canvas->getOivViewer();
    const SbVec3f start = camera()->position.getValue();
    viewer->viewAll();
    const SbVec3f framed = camera()->position.getValue();
    camera()->position = start + SbVec3f(5000.0f, -3000.0f, 2000.0f);
    settle(m_Screen);

    m_Screen.click(inCanvas(0, 0), 3);
    RECT item{};
    ASSERT_TRUE(settleUntil(m_Screen, [&] { return SoWinImGuiMenu::findItem("View All", &item); }));
    m_Screen.click(middleOf(item));
    EXPECT_TRUE(settleUntil(m_Screen, [&] {
        return (camera()->position.getValue() - framed).length() <
               1e-2f * (framed - start).length() + 1.0f;
    }));
    EXPECT_FALSE(SoWinImGuiMenu::isOpen());
}

class OnScreenNoticeTest : public OnScreenViewerTest {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(onscreen::WindowManager::start(error)) << error;
        OnScreenViewerTest::SetUp();
        m_Toolbar = std::make_unique<DuiCanvasToolbar>();
        m_Toolbar->setOivCanvas(m_Canvas.get());
        m_Toolbar->initialize();
        m_Canvas->addDUI(m_Toolbar.get());
        m_Toolbar->getTopLevelDialog()->show();
        // Clicks go where the controls are once the window manager has framed and placed both
        // windows.
        ASSERT_TRUE(settleUntil(m_Screen, [&] {
            const HWND toolbar = oivwin32::X11WindowSystem::instance()->windowOf(
                onscreen::WindowManager::findClient(kToolbarTitle));
            return toolbar && onscreen::WindowManager::hasPlaced(toolbar) &&
                   onscreen::WindowManager::hasPlaced(SoWin::getTopLevelWidget()) &&
                   placeOf(antiRoll());
        }));
    }

    void TearDown() override {
        m_Toolbar.reset();
        OnScreenViewerTest::TearDown();
    }

    SoDialogCheckBox* antiRoll() const {
        return static_cast<SoDialogCheckBox*>(
            m_Toolbar->getTopLevelDialog()->searchForAuditorId(DuiCanvasToolbarIds::kAntiRoll));
    }

    static bool placeOf(const void* node, RECT* place = nullptr) {
        RECT ignored;
        return SoWinImGuiDialogs::findOnScreen(node, place ? place : &ignored);
    }

    std::unique_ptr<DuiCanvasToolbar> m_Toolbar;
};

TEST_F(OnScreenNoticeTest, NoticeStaysAboveItsOwnerThroughADragAndClosesOnReturn) {
    RECT box{};
    ASSERT_TRUE(placeOf(antiRoll(), &box));
    m_Screen.click(middleOf(box));
    SoMessageDialog* notice = nullptr;
    ASSERT_TRUE(
        settleUntil(m_Screen, [&] { return (notice = SoWinImGuiDialogs::getOpenNotice()); }));
    EXPECT_FALSE(antiRoll()->state.getValue()) << "the box of a missing feature is unticked";

    const SbVec3f before = camera()->position.getValue();
    // Beside the notice, which sits over the middle of the window.
    m_Screen.drag(inCanvas(-260, 150), inCanvas(-180, 170));
    ASSERT_TRUE(settleUntil(m_Screen, [&] { return camera()->position.getValue() != before; }))
        << "the canvas takes drags while the notice is open";
    const std::string title = notice->title.getValue().getString();
    EXPECT_TRUE(settleUntil(m_Screen, [&] {
        return onscreen::WindowManager::isAbove(
            onscreen::WindowManager::findClient(title),
            oivwin32::X11WindowSystem::instance()->nativeWindow(SoWin::getTopLevelWidget()));
    }));

    // Back to the notice (a click beside its button), and Return answers it.
    RECT ok{};
    ASSERT_TRUE(placeOf(notice, &ok));
    m_Screen.click(POINT{ok.left - 20, ok.top + 2});
    // A user's key comes after the window manager has given the notice the focus the click
    // asked for; on a busy machine that can take longer than our own messages do.
    const onscreen::TestScreen::Window noticeWindow = onscreen::WindowManager::findClient(title);
    ASSERT_TRUE(settleUntil(m_Screen, [&] { return m_Screen.focus() == noticeWindow; }));
    m_Screen.typeKey(XK_Return);
    EXPECT_TRUE(settleUntil(m_Screen, [&] { return !notice->isShown(); }));
}

} // namespace
