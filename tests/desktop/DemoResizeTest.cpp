// The demo's window resized through the window manager: its canvas fills the new client area,
// with the giro and the compass in the new top corners and its background in the bottom ones.
#include "desktop/DesktopProgramTest.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using onscreen::ScreenImage;

// A square of this side in each top corner holds an instrument.
constexpr int kCorner = 130;
// The window's own background, shown where the canvas does not reach.
constexpr Rgb kWindowBackground{240, 240, 240};

bool cornerHas(const ScreenImage& image, int left, bool (*wanted)(const Rgb&)) {
    for (int y = 0; y < kCorner && y < image.height; ++y)
        for (int x = std::max(left, 0); x < left + kCorner && x < image.width; ++x)
            if (wanted(image.at(x, y)))
                return true;
    return false;
}

::testing::AssertionResult fillsTheWindow(const ScreenImage& image) {
    const bool giro = cornerHas(image, 0, [](const Rgb& c) { return c.b > 170 && c.r < 100; }) &&
                      cornerHas(image, 0, [](const Rgb& c) {
                          return c.r > 110 && c.r < 170 && c.g > 60 && c.g < 120 && c.b < 70;
                      });
    const bool compass = cornerHas(image, image.width - kCorner, [](const Rgb& c) {
        return c.r > 180 && c.g < 70 && c.b < 70; // the needle
    });
    const Rgb left = image.at(1, image.height - 2), right = image.at(image.width - 2, 1);
    if (giro && compass && !(left == kWindowBackground) && !(right == kWindowBackground))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << image.width << "x" << image.height << ": giro " << giro << ", compass " << compass
           << ", corners " << left << " " << right;
}

class DemoResizeTest : public desktop::DesktopProgramTest {};

TEST_F(DemoResizeTest, CanvasFillsTheWindowAtEachNewSize) {
    start(OIVWINTAV_DEMO_PROGRAM, "OivWinTav demo");
    for (const SbVec2s& size : {SbVec2s(1000, 700), SbVec2s(800, 600), SbVec2s(360, 260)}) {
        SCOPED_TRACE(::testing::Message() << size[0] << "x" << size[1]);
        m_Screen.resizeAndMove(m_Window, m_Screen.originOf(m_Window), size[0], size[1]);
        ASSERT_TRUE(desktop::waitUntil([&] { return m_Screen.sizeOf(m_Window) == size; }));
        m_Screen.raise(m_Window); // over the demo's dialogs and curve canvas
        EXPECT_TRUE(desktop::waitUntil([&] { return bool(fillsTheWindow(grab(m_Window))); }))
            << fillsTheWindow(grab(m_Window)).message();
    }
}

} // namespace
