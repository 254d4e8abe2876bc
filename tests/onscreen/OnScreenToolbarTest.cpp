// The canvas toolbar on screen, beside its canvas: a real click on a control operates it as the
// toolkit's own press and toggle do, so "View All" frames the scene, the "Compass" box takes the
// compass off the canvas's corner, and a notice is a modal pop-up with its title. A bounded soak
// gives canvas and toolbar seeded random input and checks that the canvas still draws and that
// memory stays put.
#include "onscreen/DemoCanvasTest.h"

#include "dui/DuiCanvasToolbar.h"
#include "dui/DuiCanvasToolbarIds.h"

#include "SoWinImGuiDialogs.h"

#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogComboBox.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <DialogViz/dialog/SoMessageDialog.h>
#include <DialogViz/dialog/SoTopLevelDialog.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/nodes/SoCamera.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's count of live bytes (GCC ships no header that declares it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <memory>
#include <random>
#include <vector>

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

// ---- A bounded soak: seeded random input (drags with each button and modifier, the wheel, keys,
// toolbar clicks, combo-box choices, the buttons of the notices they open) for a fixed time.

namespace ids = DuiCanvasToolbarIds;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kSoak(45);
// Caches, fonts and the drawing threads' buffers settle in the first part.
constexpr double kWarmUpShare = 0.4;
constexpr double kAllowedGrowth = 0.05;
// A soak hands the program a few thousand moves: a node leaked on each (a cube takes 256 bytes)
// is far below 5 % of its memory, but far above this much heap per move.
constexpr double kAllowedHeapPerMove = 64;
constexpr int kMostSteps = 40;
constexpr int kNoticeTries = 30;
constexpr int kQuietTurns = 3;
constexpr int kMargin = 40; // away from the compass and the canvas's edges

const char* const kSettings[] = {
    ids::kKeepFocus,          ids::kCameraType, ids::kAntiRoll, ids::kStickyCursor,
    ids::kStickyCursorNormal, ids::kAxis,       ids::kCompass,  ids::kGiro,
    ids::kBackground,         ids::kPosition,   ids::kZScale};
const char* const kButtons[] = {ids::kHome,        ids::kSetHome,       ids::kViewAll,
                                ids::kSetPosition, ids::kTargetZoom,    ids::kCopyBitmap,
                                ids::kAltColor,    ids::kAxisProperties};
const unsigned long kKeys[] = {XK_Left, XK_Right, XK_Up, XK_Down, XK_Home, XK_s, XK_Escape};
const unsigned long kModifiers[] = {0, XK_Shift_L, XK_Control_L};

// A sanitizer build holds freed blocks back to catch late uses, so its resident size grows
// without a leak: its count of live bytes stands in for the heap kept per move there, and the
// resident size is compared only where it means what the user sees (kResidentIsMeasured).
long long heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<long long>(heap.uordblks + heap.hblkhd);
#endif
}

// Freed heap that glibc keeps mapped is handed back first, so that what stays resident is what
// the program holds, not how its heap happened to fragment.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentIsMeasured = false;
#else
constexpr bool kResidentIsMeasured = true;
#endif

long long residentBytes() {
#if defined(__SANITIZE_ADDRESS__)
    return heapInUse();
#else
    malloc_trim(0);
    long long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%lld %lld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
#endif
}

// The toolbar's fixture, with a connection of its own for input given piece by piece.
class OnScreenSoakTest : public OnScreenToolbarTest {
protected:
    void SetUp() override {
        OnScreenToolbarTest::SetUp();
        m_Input = XOpenDisplay(nullptr);
        ASSERT_NE(m_Input, nullptr);
        for (const char* id : kSettings)
            m_Initial.push_back(settingOf(id));
    }
    void TearDown() override {
        if (m_Input)
            XCloseDisplay(m_Input);
        OnScreenToolbarTest::TearDown();
    }

    int below(size_t n) { return int(m_Random() % n); }
    POINT inCanvas() {
        return onscreen::onScreen(drawingWindow(), kMargin + below(DemoScene::kWidth - 2 * kMargin),
                                  kMargin + below(DemoScene::kHeight - 2 * kMargin));
    }
    int settingOf(const char* id) const {
        SoNode* node = control(id);
        return node->isOfType(SoDialogCheckBox::getClassTypeId())
                   ? static_cast<SoDialogCheckBox*>(node)->state.getValue()
                   : static_cast<SoDialogComboBox*>(node)->selectedItem.getValue();
    }

    // Motion one step at a time, each handled before the next, as a hand moves the pointer: one
    // message per step rather than a burst that becomes one move.
    void sweep(POINT from, POINT to, int steps) {
        for (int i = 1; i <= steps; ++i) {
            XTestFakeMotionEvent(m_Input, -1, from.x + (to.x - from.x) * i / steps,
                                 from.y + (to.y - from.y) * i / steps, CurrentTime);
            XSync(m_Input, False);
            onscreen::settle(m_Screen);
        }
    }
    void drag() {
        const unsigned button = 1 + below(3);
        const unsigned modifier = XKeysymToKeycode(m_Input, kModifiers[below(3)]);
        const POINT from = inCanvas();
        XTestFakeMotionEvent(m_Input, -1, from.x, from.y, CurrentTime);
        if (modifier)
            XTestFakeKeyEvent(m_Input, modifier, True, CurrentTime);
        XTestFakeButtonEvent(m_Input, button, True, CurrentTime);
        sweep(from, inCanvas(), 1 + below(kMostSteps));
        XTestFakeButtonEvent(m_Input, button, False, CurrentTime);
        if (modifier)
            XTestFakeKeyEvent(m_Input, modifier, False, CurrentTime);
        if (button == 3) // the viewer's menu, if it opened one, closes
            m_Screen.typeKey(XK_Escape);
    }
    // With no button held nothing is drawn: what a move keeps on the heap is kept for good. (Work
    // left over from other input may free memory meanwhile; the median sweep is taken.)
    void hover() {
        const int steps = 1 + below(kMostSteps);
        onscreen::settle(m_Screen);
        const long long before = heapInUse();
        sweep(inCanvas(), inCanvas(), steps);
        if (m_Warm)
            m_HeapPerMove.push_back(double(heapInUse() - before) / steps);
    }
    // A click where the control (or the item of a combo box's open list) was drawn, if it was.
    void clickIfShown(const void* node, int item = -1) {
        RECT place{};
        onscreen::settle(m_Screen);
        if (SoWinImGuiDialogs::findOnScreen(node, &place, item))
            m_Screen.click(middleOf(place));
    }
    void randomInput() {
        const char* setting = kSettings[below(std::size(kSettings))];
        switch (below(8)) {
        case 0:
        case 1:
            drag();
            break;
        case 2:
        case 3:
            hover();
            break;
        case 4:
            m_Screen.wheel(inCanvas(), below(7) - 3);
            break;
        case 5:
            m_Screen.moveTo(inCanvas());
            m_Screen.typeKey(kKeys[below(std::size(kKeys))]);
            break;
        case 6:
            clickIfShown(control(kButtons[below(std::size(kButtons))]));
            break;
        default: // a check box, or a combo box and then an item of its list
            clickIfShown(control(setting));
            if (control(setting)->isOfType(SoDialogComboBox::getClassTypeId()))
                clickIfShown(
                    control(setting),
                    below(static_cast<SoDialogComboBox*>(control(setting))->items.getNum()));
            break;
        }
        onscreen::settle(m_Screen);
        if (SoMessageDialog* notice = SoWinImGuiDialogs::getOpenNotice())
            clickIfShown(notice);
    }

    // A notice may open a few turns of the loop after what opened it: closed until none has come
    // for a while, as the user closes them.
    void closeNotices() {
        for (int quiet = 0, tries = 0; quiet < kQuietTurns && tries < kNoticeTries; ++tries) {
            onscreen::settle(m_Screen);
            SoMessageDialog* notice = SoWinImGuiDialogs::getOpenNotice();
            quiet = notice ? 0 : quiet + 1;
            if (notice)
                clickIfShown(notice);
        }
    }

    // What the settings hold (a background image, an axis) is not a leak: memory is measured with
    // each as it was at the start.
    long long measure() {
        for (size_t i = 0; i < std::size(kSettings); ++i) {
            SoNode* node = control(kSettings[i]);
            if (settingOf(kSettings[i]) == m_Initial[i])
                continue;
            if (node->isOfType(SoDialogCheckBox::getClassTypeId()))
                static_cast<SoDialogCheckBox*>(node)->toggle();
            else
                static_cast<SoDialogComboBox*>(node)->select(m_Initial[i]);
        }
        m_Canvas->getOivViewer()->viewAll();
        onscreen::settle(m_Screen);
        closeNotices();
        return residentBytes();
    }

    std::mt19937 m_Random{20261208};
    Display* m_Input = nullptr;
    std::vector<int> m_Initial;
    bool m_Warm = false;
    std::vector<double> m_HeapPerMove; // of each sweep over the canvas after the warm-up
};

TEST_F(OnScreenSoakTest, RandomInputLeavesACanvasThatDrawsAndMemoryThatStays) {
    const Clock::time_point start = Clock::now();
    long long afterWarmUp = 0;
    while (Clock::now() < start + kSoak) {
        randomInput();
        if (!m_Warm && Clock::now() >= start + kSoak * kWarmUpShare) {
            afterWarmUp = measure();
            m_Warm = true;
        }
    }
    const long long atEnd = measure();
    ASSERT_FALSE(m_HeapPerMove.empty());
    const auto median = m_HeapPerMove.begin() + m_HeapPerMove.size() / 2;
    std::nth_element(m_HeapPerMove.begin(), median, m_HeapPerMove.end());
    std::printf("resident %lld -> %lld bytes after the warm-up; %g bytes kept per move\n",
                afterWarmUp, atEnd, *median);
    if (kResidentIsMeasured) {
        EXPECT_LT(double(atEnd), double(afterWarmUp) * (1.0 + kAllowedGrowth));
    }
    EXPECT_LT(*median, kAllowedHeapPerMove);

    // Still drawing: the frame follows the camera, sent far to the side of the scene.
    const ScreenImage framed = m_Screen.grab(drawingWindow());
    SbVec3f right;
    camera()->orientation.getValue().multVec(SbVec3f(1, 0, 0), right);
    camera()->position =
        camera()->position.getValue() + right * 10.0f * camera()->focalDistance.getValue();
    onscreen::settle(m_Screen);
    EXPECT_GT(m_Screen.grab(drawingWindow()).countDiffering(framed, kChannelTolerance),
              framed.width * framed.height / 50);
}

} // namespace
