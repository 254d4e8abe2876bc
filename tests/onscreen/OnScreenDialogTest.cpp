// A dialog tree of every kind of control on screen: clicks pick a combo-box item from its list,
// switch tabs, tick a check box and press a button, each heard by the auditor once, as press,
// toggle, select and selectPage report them; a disabled button is greyed and a click on it does
// nothing; closing the window through the window manager hides the dialog.
#include "onscreen/TestScreen.h"

#include "SoWinImGuiDialogs.h"
#include "SoWinImGuiWindow.h"

#include <DialogViz/SoDialogVizAll.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using onscreen::TestScreen;

constexpr const char* kTitle = "Every control";

// What the auditor heard, one line per report: "<kind> <auditorID>".
class RecordingAuditor : public SoDialogAuditor {
public:
    std::vector<std::string> heard;

    void dialogPushButton(SoDialogPushButton* c) override { note("button", c); }
    void dialogCheckBox(SoDialogCheckBox* c) override { note("box", c); }
    void dialogComboBox(SoDialogComboBox* c) override { note("combo", c); }
    void tabDialog(SoTabDialog* c) override { note("tab", c); }

private:
    void note(const char* kind, SoDialogViz* c) {
        heard.push_back(std::string(kind) + " " + c->auditorID.getValue().getString());
    }
};

template <class Control> Control* named(Control* control, const char* id) {
    control->auditorID = id;
    return control;
}

class OnScreenDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_Screen.isOpen());
        m_Dialog = new SoTopLevelDialog;
        m_Dialog->ref();
        m_Dialog->label = kTitle;
        m_Dialog->addAuditor(&m_Auditor);

        m_Shape = named(new SoDialogComboBox, "shape");
        m_Shape->label = "Shape";
        const char* shapes[] = {"Cone", "Cube", "Sphere"};
        m_Shape->items.setValues(0, 3, shapes);
        m_Lights = named(new SoDialogCheckBox, "lights");
        m_Lights->onString = "Lights on";
        m_Lights->offString = "Lights off";
        m_Locked = named(new SoDialogPushButton, "locked");
        m_Locked->buttonLabel = "Locked";
        m_Locked->enable = FALSE;
        SoColumnDialog* first = new SoColumnDialog;
        first->label = "First";
        first->addChild(m_Shape);
        first->addChild(m_Lights);
        first->addChild(new SoDialogSeparator);
        first->addChild(m_Locked);

        m_Go = named(new SoDialogPushButton, "go");
        m_Go->buttonLabel = "Go";
        SoDialogLabel* text = new SoDialogLabel;
        text->label = "Second page";
        SoRowDialog* second = new SoRowDialog;
        second->label = "Second";
        second->addChild(text);
        second->addChild(m_Go);

        m_Tabs = named(new SoTabDialog, "tabs");
        m_Tabs->addChild(first);
        m_Tabs->addChild(second);
        m_Dialog->addChild(m_Tabs);
        m_Dialog->show();
        ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return placeOf(m_Shape); }));
    }

    void TearDown() override {
        m_Dialog->removeAuditor(&m_Auditor);
        m_Dialog->unref();
        onscreen::settle(m_Screen);
    }

    bool placeOf(const void* node, RECT* place = nullptr, int index = -1) {
        RECT ignored;
        return SoWinImGuiDialogs::findOnScreen(node, place ? place : &ignored, index);
    }

    // Clicks the middle of `node` (its part `index`) once it is drawn.
    void click(const void* node, int index = -1) {
        RECT place{};
        ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return placeOf(node, &place, index); }));
        m_Screen.click(POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2});
    }

    bool heardAll(size_t count) {
        return onscreen::settleUntil(m_Screen, [&] { return m_Auditor.heard.size() >= count; });
    }

    TestScreen m_Screen;
    RecordingAuditor m_Auditor;
    SoTopLevelDialog* m_Dialog = nullptr;
    SoTabDialog* m_Tabs = nullptr;
    SoDialogComboBox* m_Shape = nullptr;
    SoDialogCheckBox* m_Lights = nullptr;
    SoDialogPushButton* m_Locked = nullptr;
    SoDialogPushButton* m_Go = nullptr;
};

TEST_F(OnScreenDialogTest, ClicksOperateEachKindOfControlThroughTheToolkit) {
    click(m_Shape);    // opens the list
    click(m_Shape, 2); // picks "Sphere" from it
    ASSERT_TRUE(heardAll(1));
    EXPECT_EQ(m_Shape->selectedItem.getValue(), 2);

    click(m_Lights);
    ASSERT_TRUE(heardAll(2));
    EXPECT_TRUE(m_Lights->state.getValue());

    click(m_Locked);  // greyed: nothing happens
    click(m_Tabs, 1); // to the second page
    ASSERT_TRUE(heardAll(3));
    EXPECT_EQ(m_Tabs->selectedPage.getValue(), 1);
    click(m_Go); // only drawn on the second page
    ASSERT_TRUE(heardAll(4));
    EXPECT_FALSE(placeOf(m_Shape)) << "the first page is no longer drawn";

    EXPECT_EQ(m_Auditor.heard,
              (std::vector<std::string>{"combo shape", "box lights", "tab tabs", "button go"}));
}

TEST_F(OnScreenDialogTest, ProgramChangesShowAndTheWindowManagersCloseHidesTheDialog) {
    // The tree as it is: the box's text follows its state, set by the program.
    RECT before{}, after{};
    ASSERT_TRUE(placeOf(m_Lights, &before));
    m_Lights->offString = "Lights are all switched off";
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] {
        return placeOf(m_Lights, &after) && after.right - after.left > before.right - before.left;
    }));

    const TestScreen::Window window = m_Screen.findTopLevel(kTitle);
    ASSERT_NE(window, 0u);
    m_Screen.requestClose(window);
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return !m_Dialog->isShown(); }));
    EXPECT_TRUE(
        onscreen::settleUntil(m_Screen, [&] { return m_Screen.findTopLevel(kTitle) == 0; }));
    EXPECT_FALSE(placeOf(m_Lights));
    EXPECT_TRUE(m_Auditor.heard.empty());
}

// A dialog window that counts the frames it draws.
class CountingWindow : public SoWinImGuiWindow {
public:
    using SoWinImGuiWindow::SoWinImGuiWindow;
    int frames = 0;

protected:
    void actualRedraw(void) override {
        ++frames;
        SoWinImGuiWindow::actualRedraw();
    }
};

TEST(OnScreenDialogFrames, EachPointerMoveOverADialogDrawsOneFrame) {
    TestScreen screen;
    ASSERT_TRUE(screen.isOpen());
    SoTopLevelDialog* dialog = new SoTopLevelDialog;
    dialog->ref();
    dialog->label = "Counted";
    SoDialogPushButton* button = new SoDialogPushButton;
    button->buttonLabel = "Hover";
    dialog->addChild(button);
    {
        CountingWindow window(dialog);
        window.show();
        ASSERT_TRUE(onscreen::settleUntil(screen, [&] { return window.frames > 0; }));
        onscreen::settle(screen);
        constexpr int kMoves = 8;
        const int before = window.frames;
        for (int i = 0; i < kMoves; ++i) {
            screen.moveTo(onscreen::onScreen(window.getNormalWidget(), 20 + 9 * i, 12 + 2 * i));
            onscreen::settle(screen);
        }
        EXPECT_GE(window.frames - before, kMoves / 2) << "moves over the dialog are drawn";
        EXPECT_LE(window.frames - before, kMoves) << "no more than a frame per move";
        window.release();
    }
    dialog->unref();
    onscreen::settle(screen);
}

// Two dialogs shown at once, before either is drawn (as a program opens its dialogs): once each
// has the height of its controls, the second still sits wholly below the first.
TEST(OnScreenDialogColumn, ADialogTallerThanFirstGuessedPushesTheNextOneDown) {
    TestScreen screen;
    ASSERT_TRUE(screen.isOpen());
    constexpr int kTallRows = 12;
    SoTopLevelDialog* dialogs[] = {new SoTopLevelDialog, new SoTopLevelDialog};
    SoDialogPushButton* lastOf[2] = {};
    for (int d = 0; d < 2; ++d) {
        dialogs[d]->ref();
        dialogs[d]->label = d ? "Short" : "Tall";
        for (int row = 0; row < (d ? 1 : kTallRows); ++row) {
            lastOf[d] = new SoDialogPushButton;
            lastOf[d]->buttonLabel = "Row";
            dialogs[d]->addChild(lastOf[d]);
        }
    }
    dialogs[0]->show();
    dialogs[1]->show();
    RECT tallEnd{}, shortButton{};
    const auto bothDrawn = [&] {
        return SoWinImGuiDialogs::findOnScreen(lastOf[0], &tallEnd) &&
               SoWinImGuiDialogs::findOnScreen(lastOf[1], &shortButton);
    };
    ASSERT_TRUE(onscreen::settleUntil(screen, bothDrawn));
    onscreen::settle(screen);
    ASSERT_TRUE(bothDrawn());
    EXPECT_GT(shortButton.top, tallEnd.bottom) << "the short dialog covers the tall one's end";
    for (SoTopLevelDialog* dialog : dialogs)
        dialog->unref();
    onscreen::settle(screen);
}

} // namespace
