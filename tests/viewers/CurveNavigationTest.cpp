// Moving along the curve with real messages on the drawing window: the tracking button, drags
// that snap the focal point to the resampled curve (and drags that must not), view all around the
// tracking point, seek mode, Shift+click, the compass size and where the compass goes.
#include "CurveViewerTestSupport.h"

#include "support/ScriptedInput.h"

#include <Inventor/SbViewVolume.h>
#include <Inventor/Win/widgets/SoWinBitmapButton.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoLineSet.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoTranslation.h>
#include <Inventor/nodes/SoVertexProperty.h>

#include <algorithm>
#include <vector>

using namespace curvetest;
using testsupport::drag;
using testsupport::mouse;

namespace {

const POINT kCentre{kWidth / 2, kHeight / 2};

// The resampled point equal to `point`, or -1.
int resampledIndexOf(OivWinCurveViewer* viewer, const SbVec3f& point) {
    const SbVec3f* resampled = viewer->getResampledTrackingCurve();
    const SbVec3f* end = resampled + viewer->getNumResampledPoints();
    const SbVec3f* found = std::find(resampled, end, point);
    return found == end ? -1 : int(found - resampled);
}

SoLineSet* lineThrough(const SbVec3f& from, const SbVec3f& to) {
    auto* property = new SoVertexProperty;
    property->vertex.set1Value(0, from);
    property->vertex.set1Value(1, to);
    auto* lines = new SoLineSet;
    lines->vertexProperty.setValue(property);
    return lines;
}

SoScale* compassScale(SoSeparator* root) {
    return static_cast<SoScale*>(static_cast<SoSeparator*>(root->getChild(2))->getChild(1));
}

} // namespace

class CurveNavigationTest : public CurveViewerTest {
protected:
    // A cube at the origin, tracking on, and a plain-form curve along X from -40 to 40 (99
    // resampled points 0.81 apart) with the camera on `start`.
    void trackAlongX(const SbVec3f& start = SbVec3f(0, 0, 0)) {
        showScene(new SoCube);
        viewer->enableTracking();
        const SbVec3f points[] = {{-40, 0, 0}, {40, 0, 0}};
        viewer->setTrackingCurve(0, 2, points, start, true);
        heard = {};
    }
    int pointNotifications() const {
        return int(std::count(heard.said.begin(), heard.said.end(), "point"));
    }
};

TEST_F(CurveNavigationTest, TheTrackingButtonTogglesAndDiscardsTheCurve) {
    trackAlongX(SbVec3f(10, 0, 0));
    HWND button = viewer->trackingButton();
    auto* bitmapButton = static_cast<SoWinBitmapButton*>(GetPropA(button, "SoWinBitmapButton"));
    ASSERT_NE(bitmapButton, nullptr);
    EXPECT_NE(bitmapButton->getBitmap(), nullptr);

    mouse(button, WM_LBUTTONDOWN, MK_LBUTTON, 2, 2);
    mouse(button, WM_LBUTTONUP, 0, 2, 2);
    EXPECT_FALSE(viewer->isTrackingEnabled());
    EXPECT_FALSE(viewer->isTrackingCurveDefined());
    EXPECT_EQ(viewer->getTrackingPoint(), SbVec3f(0, 0, 0));
    // The camera stays where tracking left it.
    EXPECT_TRUE(near(focalPointOf(*camera()), SbVec3f(10, 0, 0)));

    // Back on, the focal point becomes the tracking point.
    camera()->position.setValue(3, 4, kCameraDistance);
    mouse(button, WM_LBUTTONDOWN, MK_LBUTTON, 2, 2);
    mouse(button, WM_LBUTTONUP, 0, 2, 2);
    EXPECT_TRUE(viewer->isTrackingEnabled());
    EXPECT_TRUE(near(viewer->getTrackingPoint(), SbVec3f(3, 4, 0)));

    // Other ids are not the tracking button's; picking mode shows on it.
    viewer->pushButtonCB(button, 8, nullptr);
    EXPECT_TRUE(viewer->isTrackingEnabled());
    viewer->setViewing(FALSE);
    EXPECT_TRUE(bitmapButton->isSelected());
    viewer->setViewing(TRUE);
    EXPECT_FALSE(bitmapButton->isSelected());
}

TEST_F(CurveNavigationTest, PanningDragsSnapTheFocalPointToTheCurve) {
    trackAlongX();
    // A middle drag to the right and down: the examiner pans, the viewer slides along X.
    drag(drawingWindow(), WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, kCentre,
         {kCentre.x + 40, kCentre.y + 30});
    const SbVec3f point = viewer->getTrackingPoint();
    EXPECT_GE(resampledIndexOf(viewer, point), 0);
    EXPECT_LT(point[0], -5.0f); // the scene moved right under the mouse: the view went left
    EXPECT_TRUE(near(focalPointOf(*camera()), point));
    EXPECT_GT(pointNotifications(), 0);

    // Shift with the left button pans too, and snaps.
    heard = {};
    drag(drawingWindow(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON | MK_SHIFT, kCentre,
         {kCentre.x - 80, kCentre.y});
    EXPECT_GT(viewer->getTrackingPoint()[0], point[0] + 5.0f);
    EXPECT_GE(resampledIndexOf(viewer, viewer->getTrackingPoint()), 0);
    EXPECT_TRUE(near(focalPointOf(*camera()), viewer->getTrackingPoint()));
}

TEST_F(CurveNavigationTest, APlainLeftDragIsTheExaminersAlone) {
    trackAlongX();
    // Off the curve: a snap would pull the focal point back onto it.
    viewer->updateTrackingPoint(SbVec3f(0, 5, 0), true, false);
    heard = {};
    drag(drawingWindow(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, kCentre,
         {kCentre.x + 40, kCentre.y + 20});
    EXPECT_EQ(viewer->getTrackingPoint(), SbVec3f(0, 5, 0));
    EXPECT_TRUE(near(focalPointOf(*camera()), SbVec3f(0, 5, 0), 1e-3f));
    EXPECT_EQ(pointNotifications(), 0);
}

TEST_F(CurveNavigationTest, EqualDistancesGoToTheLowerIndex) {
    showScene(new SoCube);
    viewer->enableTracking(); // the focal point, the origin, is the tracking point
    // Two resampled points, one in the middle and the last, are both 3 from the origin; all
    // others are farther.
    const SbVec3f first(0, 3, 0), last(0, -3, 0);
    const SbVec3f points[] = {{0, 3, 50}, first, {0, 3, -50}, {0, -3, -50}, last};
    viewer->setTrackingCurve(0, 5, points, last, false);
    ASSERT_GT(resampledIndexOf(viewer, first), 0);
    ASSERT_EQ(resampledIndexOf(viewer, last), viewer->getNumResampledPoints() - 1);
    heard = {};
    // A press and a move that does not move: the focal point stays at the origin.
    mouse(drawingWindow(), WM_MBUTTONDOWN, MK_MBUTTON, kCentre.x, kCentre.y);
    mouse(drawingWindow(), WM_MOUSEMOVE, MK_MBUTTON, kCentre.x, kCentre.y);
    mouse(drawingWindow(), WM_MBUTTONUP, 0, kCentre.x, kCentre.y);
    EXPECT_EQ(viewer->getTrackingPoint(), first);
    EXPECT_EQ(pointNotifications(), 1);
}

TEST_F(CurveNavigationTest, ADragEndingNearestTheCurrentPointSaysNothing) {
    trackAlongX();
    const SbVec3f* resampled = viewer->getResampledTrackingCurve();
    viewer->updateTrackingPoint(resampled[49], true, false);
    heard = {};
    // Across the curve: the nearest point stays the same.
    drag(drawingWindow(), WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, kCentre,
         {kCentre.x, kCentre.y + 15});
    EXPECT_EQ(viewer->getTrackingPoint(), resampled[49]);
    EXPECT_EQ(pointNotifications(), 0);
    EXPECT_TRUE(near(focalPointOf(*camera()), resampled[49]));
}

TEST_F(CurveNavigationTest, ViewAllCentresOnThePointAndBacksOffTwiceItsDistance) {
    trackAlongX(SbVec3f(10, 0, 0));
    viewer->disableTracking(false);
    viewer->viewAll();
    const float framed = camera()->focalDistance.getValue();
    ASSERT_TRUE(near(focalPointOf(*camera()), SbVec3f(0, 0, 0), 1e-3f));

    viewer->enableTracking();
    viewer->viewAll();
    EXPECT_NEAR(camera()->focalDistance.getValue(), framed + 20.0f, 1e-3f);
    EXPECT_TRUE(near(focalPointOf(*camera()), SbVec3f(10, 0, 0), 1e-3f));
}

TEST_F(CurveNavigationTest, SeekModeTakesOnlyClicksAndEndsOnAMiss) {
    auto* content = new SoSeparator;
    content->addChild(lineThrough(SbVec3f(-10, -5, 0), SbVec3f(10, -5, 0)));
    showScene(content);
    viewer->enableTracking();
    viewer->setSeekMode(TRUE);
    const SbVec3f position = camera()->position.getValue();
    SendMessageA(drawingWindow(), WM_KEYDOWN, 'A', 0);
    mouse(drawingWindow(), WM_MOUSEMOVE, MK_MBUTTON, 10, 10);
    mouse(drawingWindow(), WM_RBUTTONDOWN, MK_RBUTTON, kCentre.x, kCentre.y);
    mouse(drawingWindow(), WM_RBUTTONUP, 0, kCentre.x, kCentre.y);
    EXPECT_EQ(camera()->position.getValue(), position);
    EXPECT_TRUE(viewer->isSeekMode());

    click(SbVec3f(5, 10, 0)); // nothing there
    EXPECT_FALSE(viewer->isSeekMode());
    EXPECT_FALSE(viewer->isTrackingCurveDefined());
}

TEST_F(CurveNavigationTest, ASeekOnTheCurveEndsWithTheCameraOnTheHitPoint) {
    auto* content = new SoSeparator;
    content->addChild(lineThrough(SbVec3f(-10, -5, 0), SbVec3f(10, -5, 0)));
    showScene(content);
    viewer->enableTracking();
    viewer->setSeekTime(0.05f);
    viewer->setSeekMode(TRUE);
    click(SbVec3f(4, -5, 0));
    ASSERT_TRUE(viewer->isTrackingCurveDefined());
    const SbVec3f hit = viewer->getTrackingPoint();
    EXPECT_TRUE(near(hit, SbVec3f(4, -5, 0), 0.5f));
    // The SDK's seek flies towards the hit, then the camera is put on the tracking point.
    EXPECT_TRUE(testsupport::runSensorsUntil(
        [&] { return !viewer->isSeeking() && near(focalPointOf(*camera()), hit, 1e-3f); }));
    EXPECT_LT(camera()->focalDistance.getValue(), kCameraDistance);

    // A viewer deleted while its placement is pending is never called back.
    viewer->setSeekMode(TRUE);
    click(SbVec3f(-4, -5, 0));
    delete viewer;
    viewer = nullptr;
    testsupport::runSensorsUntil([] { return false; }, 0.7);
}

TEST_F(CurveNavigationTest, ShiftClickInPickingModeDoesNotPick) {
    auto* content = new SoSeparator;
    content->addChild(lineThrough(SbVec3f(-10, -5, 0), SbVec3f(10, -5, 0)));
    showScene(content);
    viewer->enableTracking();
    viewer->setViewing(FALSE);
    click(SbVec3f(4, -5, 0), MK_SHIFT);
    EXPECT_FALSE(viewer->isTrackingCurveDefined());
    click(SbVec3f(4, -5, 0));
    EXPECT_TRUE(viewer->isTrackingCurveDefined());
}

TEST_F(CurveNavigationTest, TheCompassSitsAfterTheCameraAndKeepsItsSizeInBounds) {
    trackAlongX();
    // Camera at 0, the content at 1, the compass at 2.
    ASSERT_EQ(root->getNumChildren(), 3);
    SoScale* scale = compassScale(root);
    const float perUnit =
        camera()->getViewVolume(0.0f).getWorldToScreenScale(viewer->getTrackingPoint(), 1.0f);
    const struct { float wanted, drawn; } sizes[] = {{5, 20}, {50, 50}, {500, 100}};
    for (const auto& size : sizes) {
        viewer->setTrackingObjectScale(size.wanted / perUnit);
        EXPECT_NEAR(scale->scaleFactor.getValue()[0], size.drawn, 1e-3f * size.drawn);
    }

    // A camera without enough siblings gets the compass at the end; the old scene loses it.
    auto* lone = new SoSeparator;
    lone->ref();
    lone->addChild(new SoPerspectiveCamera);
    viewer->setSceneGraph(lone);
    EXPECT_EQ(root->getNumChildren(), 2);
    ASSERT_EQ(lone->getNumChildren(), 2);
    EXPECT_EQ(static_cast<SoSeparator*>(lone->getChild(1))->getChild(1), scale);
    viewer->setSceneGraph(nullptr);
    lone->unref();
}

TEST_F(CurveNavigationTest, TheCompassIsDrawnOverTheContentTheTrackingPointIsIn) {
    trackAlongX(); // the tracking point in the middle of the cube
    std::vector<unsigned char> rgb;
    SbVec2s size;
    viewer->render();
    ASSERT_TRUE(viewer->readPixels(rgb, size));
    // Where the compass's arms cross, an arm's pure colour instead of the cube's grey.
    int armPixels = 0;
    for (int y = size[1] / 2 - 1; y <= size[1] / 2 + 1; ++y)
        for (int x = size[0] / 2 - 1; x <= size[0] / 2 + 1; ++x) {
            const unsigned char* p = &rgb[3 * (y * size[0] + x)];
            armPixels += *std::max_element(p, p + 3) - *std::min_element(p, p + 3) > 150;
        }
    EXPECT_GT(armPixels, 0);
}

TEST_F(CurveNavigationTest, HomeResetsTheTrackingPointWithTheCamera) {
    trackAlongX(SbVec3f(10, 0, 0)); // placing the camera saved the home position
    drag(drawingWindow(), WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, kCentre,
         {kCentre.x + 40, kCentre.y});
    ASSERT_NE(viewer->getTrackingPoint(), SbVec3f(10, 0, 0));
    heard = {};
    viewer->resetToHomePosition();
    EXPECT_EQ(viewer->getTrackingPoint(), SbVec3f(10, 0, 0));
    EXPECT_TRUE(near(focalPointOf(*camera()), SbVec3f(10, 0, 0)));
    EXPECT_EQ(pointNotifications(), 1);
}
