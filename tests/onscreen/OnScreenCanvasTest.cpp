// A canvas on screen: what reaches the screen is the frame drawn headless, readPixels still
// reads it, and real pointer input (a drag, the wheel) moves the camera as the same messages do
// headless.
#include "onscreen/DemoCanvasTest.h"

#include "DemoScene.h"
#include "canvas/OivCanvas.h"
#include "support/TempPath.h"

#include <Inventor/SbLinear.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinExaminerViewer.h>
#include <Inventor/nodes/SoCamera.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using onscreen::ScreenImage;
using onscreen::TestScreen;

// The same rasteriser draws both frames; only the odd pixel of a text or line edge may differ.
constexpr int kChannelTolerance = 8;
constexpr double kDifferingShare = 0.005;

class OnScreenCanvasTest : public onscreen::DemoCanvasTest {
protected:
    SoWinExaminerViewer* viewer() const {
        return dynamic_cast<SoWinExaminerViewer*>(m_Canvas->getOivViewer());
    }
    float focalDistance() const { return camera()->focalDistance.getValue(); }
};

TEST_F(OnScreenCanvasTest, ScreenShowsTheHeadlessFrameAndReadPixelsReadsIt) {
    const ScreenImage shown = m_Screen.grab(drawingWindow());
    ASSERT_EQ(shown.width, DemoScene::kWidth);
    ASSERT_EQ(shown.height, DemoScene::kHeight);

    const ScreenImage headless =
        onscreen::headlessDemoFrame(testsupport::tempPath("oivwintav-headless-frame", ".png"));
    ASSERT_EQ(headless.width, DemoScene::kWidth) << "the headless child wrote no frame";
    const int limit = int(kDifferingShare * shown.width * shown.height);
    EXPECT_LE(shown.countDiffering(headless, kChannelTolerance), limit);

    std::vector<unsigned char> rgb;
    SbVec2s size;
    ASSERT_TRUE(viewer()->readPixels(rgb, size));
    ScreenImage read{size[0], size[1], {}};
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        read.pixels.push_back(Rgb{rgb[i], rgb[i + 1], rgb[i + 2]});
    EXPECT_LE(shown.countDiffering(read, kChannelTolerance), limit);
    // Not a blank window that happens to match: the picture has the terrain and the sky.
    EXPECT_NE(shown.at(shown.width / 2, 2), shown.at(shown.width / 2, shown.height / 2));
}

TEST_F(OnScreenCanvasTest, DragTurnsTheCameraAroundTheFocalPointAndRedrawsTheWindow) {
    viewer()->setAnimationEnabled(FALSE); // a release still moving would start a spin
    const SbRotation before = camera()->orientation.getValue();
    const SbVec3f focalPoint = camera()->position.getValue() + [&] {
        SbVec3f direction;
        before.multVec(SbVec3f(0, 0, -1), direction);
        return direction;
    }() * focalDistance();
    const ScreenImage picture = m_Screen.grab(drawingWindow());

    const int y = DemoScene::kHeight / 2;
    m_Screen.drag(onscreen::onScreen(drawingWindow(), DemoScene::kWidth / 4, y),
                  onscreen::onScreen(drawingWindow(), DemoScene::kWidth * 3 / 4, y));
    ASSERT_TRUE(onscreen::settleUntil(
        m_Screen, [&] { return !(camera()->orientation.getValue() == before); }));

    // A horizontal drag turns about the vertical of the view: the up vector stays, the line of
    // sight swings, and the camera keeps its distance from the point it turns around.
    const SbRotation after = camera()->orientation.getValue();
    SbVec3f upBefore, upAfter, sightBefore, sightAfter;
    before.multVec(SbVec3f(0, 1, 0), upBefore);
    after.multVec(SbVec3f(0, 1, 0), upAfter);
    before.multVec(SbVec3f(0, 0, -1), sightBefore);
    after.multVec(SbVec3f(0, 0, -1), sightAfter);
    EXPECT_GT(upBefore.dot(upAfter), 0.99f);
    EXPECT_LT(sightBefore.dot(sightAfter), 0.95f);
    EXPECT_NEAR((camera()->position.getValue() - focalPoint).length(), focalDistance(),
                focalDistance() * 1e-3f);
    // The click gave the drawing window the keyboard, as a press does on Win32.
    EXPECT_EQ(GetFocus(), drawingWindow());

    const int limit = int(kDifferingShare * picture.width * picture.height);
    EXPECT_GT(m_Screen.grab(drawingWindow()).countDiffering(picture, kChannelTolerance), limit);
}

TEST_F(OnScreenCanvasTest, WheelAwayDolliesTowardsTheSceneAndBackTowardsTheUser) {
    const POINT middle =
        onscreen::onScreen(drawingWindow(), DemoScene::kWidth / 2, DemoScene::kHeight / 2);
    const float start = focalDistance();
    m_Screen.wheel(middle, 3);
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return focalDistance() != start; }));
    const float nearer = focalDistance();
    EXPECT_LT(nearer, start);

    m_Screen.wheel(middle, -3);
    ASSERT_TRUE(onscreen::settleUntil(m_Screen, [&] { return focalDistance() != nearer; }));
    EXPECT_NEAR(focalDistance(), start, start * 1e-3f);
}

} // namespace
