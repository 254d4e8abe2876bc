// A canvas of the curve type: its viewer tracks a curve over the demo's terrain, and the frame it
// draws shows the tracking compass's red, green and blue arms around the tracking point, gone
// once tracking is switched off.
#include "CurveDemo.h"
#include "DemoScene.h"

#include "OivWinTav.h"
#include "support/MessageLoop.h"
#include "support/TempPath.h"

#include <Inventor/SbImage.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 240, kHeight = 180;
// The compass's arms reach at least this far from the middle of the view, in pixels.
constexpr int kSearchRadius = 12;
constexpr int kTolerance = 40;

struct Colour {
    int r, g, b;
};

// Whether a pixel of `colour` lies within `radius` of the middle of a picture of `components`
// bytes per pixel.
bool shownNearMiddle(const unsigned char* pixels, const SbVec2s& size, Colour colour,
                     int radius = kSearchRadius, int components = 3) {
    for (int y = size[1] / 2 - radius; y <= size[1] / 2 + radius; ++y)
        for (int x = size[0] / 2 - radius; x <= size[0] / 2 + radius; ++x) {
            const unsigned char* p = &pixels[components * (y * size[0] + x)];
            if (std::abs(p[0] - colour.r) <= kTolerance &&
                std::abs(p[1] - colour.g) <= kTolerance && std::abs(p[2] - colour.b) <= kTolerance)
                return true;
        }
    return false;
}

} // namespace

TEST(CurveCanvas, DrawsTheTrackingCompassAtTheTrackingPoint) {
    HWND host = testsupport::createHostWindow(kWidth, kHeight);
    {
        OivCanvas canvas;
        canvas.initialize(OivBaseCanvas::CURVE_VIEWER, host);
        auto* viewer = dynamic_cast<OivWinCurveViewer*>(canvas.getOivViewer());
        ASSERT_NE(viewer, nullptr);
        EXPECT_FALSE(viewer->isDecoration());
        canvas.getOivSceneManager()->getRoot3D()->addChild(DemoScene::createContent());

        // In the air above the terrain, so that nothing hides the compass.
        const SbVec3f points[] = {{-500, 0, 300}, {500, 0, 300}};
        viewer->setTrackingCurve(0, 2, points, SbVec3f(0, 0, 300), false);
        // From the south and above: no arm points at the camera.
        viewer->getCamera()->orientation.setValue(SbRotation(SbVec3f(1, 0, 0), 1.0f));
        viewer->enableTracking();
        viewer->viewAll();

        const Colour red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};
        std::vector<unsigned char> rgb;
        SbVec2s size;
        viewer->render();
        ASSERT_TRUE(viewer->readPixels(rgb, size));
        EXPECT_TRUE(shownNearMiddle(rgb.data(), size, red));
        EXPECT_TRUE(shownNearMiddle(rgb.data(), size, green));
        EXPECT_TRUE(shownNearMiddle(rgb.data(), size, blue));

        viewer->disableTracking(false);
        viewer->render();
        ASSERT_TRUE(viewer->readPixels(rgb, size));
        EXPECT_FALSE(shownNearMiddle(rgb.data(), size, red));
        EXPECT_FALSE(shownNearMiddle(rgb.data(), size, blue));
    }
    DestroyWindow(host);
}

TEST(CurveCanvas, TheDemoWritesTheCurvePictureBesideTheFirst) {
    EXPECT_EQ(CurveDemo::pictureBeside("docs/demo.png"), "docs/demo-curve.png");
    EXPECT_EQ(CurveDemo::pictureBeside("out.d/picture"), "out.d/picture-curve");

    HWND window = testsupport::createHostWindow(DemoScene::kWidth, DemoScene::kHeight);
    const std::string first = testsupport::tempPath("oivwintav-demo-test", ".png");
    const std::string second = CurveDemo::pictureBeside(first.c_str());
    std::remove(second.c_str());
    EXPECT_TRUE(CurveDemo::writePictureBeside(window, first.c_str()));
    DestroyWindow(window);

    SbImage image;
    ASSERT_TRUE(image.readFile(second.c_str())) << second;
    SbVec2s size;
    int components = 0;
    const unsigned char* pixels = image.getValue(size, components);
    EXPECT_EQ(size, SbVec2s(DemoScene::kWidth, DemoScene::kHeight));
    // The tracking point is in the middle of the picture; the compass's vertical arm crosses it.
    constexpr int kDemoCompassReach = 40;
    EXPECT_TRUE(shownNearMiddle(pixels, size, {0, 0, 255}, kDemoCompassReach, components));
}
