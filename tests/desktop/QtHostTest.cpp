// The Qt example: a canvas inside a Qt main window, driven by Qt's loop. Real input through XTest
// turns the view about the scene's centre and leaves it spinning, the Qt button frames the scene,
// a click gives the keyboard to the canvas or to Qt, and the canvas follows the window when the
// window manager resizes it.
#include "desktop/DesktopProgramTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using onscreen::ScreenImage;
using onscreen::TestScreen;

// The bits of an X resource id that name the client that made it (the server's default split).
constexpr unsigned long kClientBits = ~0x1FFFFFul;
// The "View All" button sits just above the canvas in the example's layout.
constexpr int kButtonAboveCanvas = 16;
constexpr int kTolerance = 8;

// The red cone in a frame: how many pixels, the middle of their bounds (where the scene's centre
// is drawn) and whether they touch the border.
struct Cone {
    int pixels = 0;
    double x = 0, y = 0;
    bool touchesBorder = false;

    explicit Cone(const ScreenImage& image) {
        int left = image.width, right = -1, top = image.height, bottom = -1;
        for (int row = 0; row < image.height; ++row)
            for (int column = 0; column < image.width; ++column) {
                const Rgb c = image.at(column, row);
                if (c.r < 90 || c.g > c.r / 2 || c.b > c.r / 2)
                    continue;
                ++pixels;
                left = std::min(left, column), right = std::max(right, column);
                top = std::min(top, row), bottom = std::max(bottom, row);
            }
        x = (left + right) / 2.0 / image.width;
        y = (top + bottom) / 2.0 / image.height;
        touchesBorder = pixels && (left == 0 || top == 0 || right == image.width - 1 ||
                                   bottom == image.height - 1);
    }
    bool centred() const { return pixels && std::abs(x - 0.5) < 0.1 && std::abs(y - 0.5) < 0.1; }
};

class QtHostTest : public desktop::DesktopProgramTest {
protected:
    void SetUp() override {
        ASSERT_STRNE(OIVWINTAV_QT_EXAMPLE, "")
            << "built without Qt: the Qt example needs qtbase5-dev (scripts/install-deps.sh)";
        start(OIVWINTAV_QT_EXAMPLE, "OivWinTav in Qt");
        // The canvas: the largest window inside the Qt window that the library, not Qt, made.
        ASSERT_TRUE(desktop::waitUntil([&] {
            for (TestScreen::Window window : m_Screen.descendantsOf(m_Window))
                if ((window & kClientBits) != (m_Window & kClientBits) &&
                    (!m_Canvas || area(window) > area(m_Canvas)))
                    m_Canvas = window;
            return m_Canvas && frame().centred();
        }));
    }

    int area(TestScreen::Window window) {
        return m_Screen.sizeOf(window)[0] * m_Screen.sizeOf(window)[1];
    }
    Cone frame() { return Cone(grab(m_Canvas)); }
    POINT canvasAt(double x, double y) {
        const POINT origin = m_Screen.originOf(m_Canvas);
        const SbVec2s size = m_Screen.sizeOf(m_Canvas);
        return POINT{origin.x + LONG(x * size[0]), origin.y + LONG(y * size[1])};
    }
    bool changesFrom(const ScreenImage& before) {
        return desktop::waitUntil([&] {
            return grab(m_Canvas).countDiffering(before, kTolerance) > area(m_Canvas) / 50;
        });
    }

    TestScreen::Window m_Canvas = 0;
};

TEST_F(QtHostTest, DragTurnsTheViewAboutTheScenesCentreAndLeavesItSpinning) {
    const ScreenImage before = grab(m_Canvas);
    m_Screen.drag(canvasAt(0.5, 0.3), canvasAt(0.5, 0.7));
    ASSERT_TRUE(changesFrom(before));
    // Turned about a horizontal axis through the scene's centre: still in the middle across,
    // within the cone's own shift up or down as it tips (a pan would move it by the drag's 40 %).
    const Cone turned = frame();
    EXPECT_TRUE(std::abs(turned.x - 0.5) < 0.05 && std::abs(turned.y - 0.5) < 0.2)
        << turned.x << ", " << turned.y;
    EXPECT_GT(turned.pixels, Cone(before).pixels / 3) << "neither dollied nor panned away";
    for (int step = 0; step < 3; ++step)
        EXPECT_TRUE(changesFrom(grab(m_Canvas))) << "still spinning under Qt's loop";
}

TEST_F(QtHostTest, ClicksMoveTheKeyboardAndViewAllFramesTheScene) {
    m_Screen.click(canvasAt(0.5, 0.9));
    EXPECT_TRUE(desktop::waitUntil(
        [&] { return (m_Screen.focus() & kClientBits) == (m_Canvas & kClientBits); }));
    m_Screen.wheel(canvasAt(0.5, 0.5), 12);
    ASSERT_TRUE(desktop::waitUntil([&] { return frame().touchesBorder; })) << "zoomed in";
    const POINT canvasTop = canvasAt(0.5, 0.0);
    m_Screen.click(POINT{canvasTop.x, canvasTop.y - kButtonAboveCanvas});
    EXPECT_TRUE(desktop::waitUntil([&] { return !frame().touchesBorder && frame().centred(); }));
    EXPECT_EQ(m_Screen.focus() & kClientBits, m_Window & kClientBits) << "back to Qt";
}

TEST_F(QtHostTest, CanvasFollowsTheWindowResizedByTheWindowManager) {
    const SbVec2s window = m_Screen.sizeOf(m_Window), canvas = m_Screen.sizeOf(m_Canvas);
    for (const SbVec2s& change : {SbVec2s(260, 180), SbVec2s(-200, -150)}) {
        SCOPED_TRACE(::testing::Message() << change[0] << ", " << change[1]);
        m_Screen.resizeAndMove(m_Window, m_Screen.originOf(m_Window), window[0] + change[0],
                               window[1] + change[1]);
        const SbVec2s expected = canvas + change;
        ASSERT_TRUE(desktop::waitUntil([&] { return m_Screen.sizeOf(m_Canvas) == expected; }));
        EXPECT_TRUE(desktop::waitUntil([&] {
            const ScreenImage image = grab(m_Canvas);
            const Rgb black{0, 0, 0};
            return Cone(image).centred() && image.at(1, 1) == black &&
                   image.at(image.width - 2, image.height - 2) == black;
        }));
    }
}

} // namespace
