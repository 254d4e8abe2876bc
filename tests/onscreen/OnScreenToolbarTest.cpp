// The canvas toolbar on screen, beside its canvas: a real click on a control operates it as the
// toolkit's own press and toggle do, so "View All" frames the scene, the "Compass" box takes the
// compass off the canvas's corner, and a notice is a modal pop-up with its title.
#include "onscreen/DemoCanvasTest.h"

#include "dui/DuiCanvasToolbar.h"
#include "dui/DuiCanvasToolbarIds.h"

#include "SoWinImGuiDialogs.h"

#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <DialogViz/dialog/SoMessageDialog.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/nodes/SoCamera.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

using onscreen::ScreenImage;
using onscreen::TestScreen;

constexpr const char* kToolbarTitle = "3D Controls";
constexpr const char* kNoticeTitle = "Test Canvas";
constexpr int kChannelTolerance = 8;

POINT middleOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

class OnScreenToolbarTest : public onscreen::DemoCanvasTest {
protected:
    void SetUp() override {
        DemoCanvasTest::SetUp();
        m_Toolbar = std::make_unique<DuiCanvasToolbar>();
        m_Toolbar->setOivCanvas(m_Canvas.get());
        m_Toolbar->initialize();
        m_Canvas->addDUI(m_Toolbar.get());
        m_Toolbar->getTopLevelDialog()->show();
        ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] {
            return m_Screen.findTopLevel(kToolbarTitle) != 0 &&
                   placeOf(DuiCanvasToolbarIds::kViewAll);
        }));
    }

    void TearDown() override {
        m_Toolbar.reset();
        DemoCanvasTest::TearDown();
    }

    SoDialogComponent* control(const char* id) const {
        return static_cast<SoDialogComponent*>(
            m_Toolbar->getTopLevelDialog()->searchForAuditorId(id));
    }

    // Where the control is on the screen; false while it is not drawn.
    bool placeOf(const char* id, RECT* place = nullptr) const {
        RECT ignored;
        return SoWinImGuiDialogs::findOnScreen(control(id), place ? place : &ignored);
    }

    void clickControl(const char* id) {
        RECT place{};
        ASSERT_TRUE(placeOf(id, &place)) << id;
        m_Screen.click(middleOf(place));
    }

    std::unique_ptr<DuiCanvasToolbar> m_Toolbar;
};

TEST_F(OnScreenToolbarTest, ToolbarOpensBesideTheApplicationWindowTitledWithItsLabel) {
    RECT application{}, button{};
    GetWindowRect(SoWin::getTopLevelWidget(), &application);
    ASSERT_TRUE(placeOf(DuiCanvasToolbarIds::kViewAll, &button));
    EXPECT_GT(button.left, application.right);
    EXPECT_GE(button.top, application.top);
    // The button is drawn where the drawer says: its face differs from the window around it.
    const ScreenImage face = m_Screen.grab(POINT{button.left, button.top},
                                           button.right - button.left, button.bottom - button.top);
    const ScreenImage around =
        m_Screen.grab(POINT{button.left, button.bottom + 3}, button.right - button.left, 1);
    EXPECT_NE(face.at(2, face.height / 2), around.at(2, 0));
}

TEST_F(OnScreenToolbarTest, ClickOnViewAllFramesTheScene) {
    SoWinFullViewer* viewer = m_Canvas->getOivViewer();
    const SbVec3f start = camera()->position.getValue();
    viewer->viewAll();
    const SbVec3f framed = camera()->position.getValue();
    // Far off to the side and back: the framing is lost until View All is clicked.
    camera()->position = start + SbVec3f(5000.0f, -3000.0f, 2000.0f);
    onscreen::settle(m_Screen);

    clickControl(DuiCanvasToolbarIds::kViewAll);
    ASSERT_TRUE(onscreen::settleUntil(m_Screen,
                                      [&] {
                                          return (camera()->position.getValue() - framed).length() <
                                                 1e-2f * (framed - start).length() + 1.0f;
                                      }))
        << "camera at " << camera()->position.getValue()[0] << ", "
        << camera()->position.getValue()[1] << ", " << camera()->position.getValue()[2];
}

TEST_F(OnScreenToolbarTest, ClickOnTheCompassBoxTakesTheCompassOffTheCornerAndBack) {
    auto* box = static_cast<SoDialogCheckBox*>(control(DuiCanvasToolbarIds::kCompass));
    ASSERT_TRUE(box->state.getValue()) << "the demo shows its compass";
    // The compass sits in the top right corner of the canvas, the terrain in its middle.
    const int corner = DemoScene::kWidth / 5;
    auto cornerNow = [&] {
        return m_Screen.grab(onscreen::onScreen(drawingWindow(), DemoScene::kWidth - corner, 0),
                             corner, corner);
    };
    auto middleNow = [&] {
        return m_Screen.grab(onscreen::onScreen(drawingWindow(), DemoScene::kWidth / 2 - 40,
                                                DemoScene::kHeight / 2 - 40),
                             80, 80);
    };
    const ScreenImage withCompass = cornerNow();
    const ScreenImage middle = middleNow();

    clickControl(DuiCanvasToolbarIds::kCompass);
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return !box->state.getValue(); }));
    onscreen::settle(m_Screen);
    const int changed = cornerNow().countDiffering(withCompass, kChannelTolerance);
    EXPECT_GT(changed, corner * corner / 20) << "the compass left the corner";
    EXPECT_EQ(middleNow().countDiffering(middle, kChannelTolerance), 0) << "the rest stayed";

    clickControl(DuiCanvasToolbarIds::kCompass);
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return box->state.getValue(); }));
    onscreen::settle(m_Screen);
    EXPECT_LE(cornerNow().countDiffering(withCompass, kChannelTolerance), changed / 20);
}

TEST_F(OnScreenToolbarTest, NoticeIsAModalPopUpWithItsTitleClosedByItsButton) {
    clickControl(DuiCanvasToolbarIds::kCopyBitmap);
    ASSERT_TRUE(
        onscreen::settleUntil(m_Screen, [&] { return m_Screen.findTopLevel(kNoticeTitle) != 0; }));

    // While the notice is open the toolbar takes no clicks.
    const SbVec3f position = camera()->position.getValue();
    camera()->position = position + SbVec3f(4000.0f, 0.0f, 0.0f);
    clickControl(DuiCanvasToolbarIds::kViewAll);
    onscreen::settle(m_Screen);
    onscreen::settle(m_Screen);
    EXPECT_EQ(camera()->position.getValue(), position + SbVec3f(4000.0f, 0.0f, 0.0f));

    RECT ok{};
    SoMessageDialog* notice = nullptr;
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] {
        notice = SoWinImGuiDialogs::getOpenNotice();
        return notice && SoWinImGuiDialogs::findOnScreen(notice, &ok);
    }));
    m_Screen.click(middleOf(ok));
    ASSERT_TRUE(
        onscreen::settleUntil(m_Screen, [&] { return m_Screen.findTopLevel(kNoticeTitle) == 0; }));
    EXPECT_FALSE(notice->isShown());

    clickControl(DuiCanvasToolbarIds::kViewAll);
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] {
        return !(camera()->position.getValue() == position + SbVec3f(4000.0f, 0.0f, 0.0f));
    }));
}

} // namespace
