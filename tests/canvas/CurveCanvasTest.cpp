// A canvas of the curve type: its viewer tracks a curve over the demo's terrain, and the frame it
// draws shows the tracking compass's red, green and blue arms around the tracking point, gone
// once tracking is switched off.
#include "DemoScene.h"

#include "OivWinTav.h"
#include "support/MessageLoop.h"

#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 240, kHeight = 180;
// The compass's arms reach at least this far from the middle of the view, in pixels.
constexpr int kSearchRadius = 12;
constexpr int kTolerance = 40;

struct Colour {
    int r, g, b;
};

// Whether a pixel of `colour` lies within kSearchRadius of the middle of the frame.
bool shownNearMiddle(const std::vector<unsigned char>& rgb, const SbVec2s& size, Colour colour) {
    for (int y = size[1] / 2 - kSearchRadius; y <= size[1] / 2 + kSearchRadius; ++y)
        for (int x = size[0] / 2 - kSearchRadius; x <= size[0] / 2 + kSearchRadius; ++x) {
            const unsigned char* p = &rgb[3 * (y * size[0] + x)];
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
        EXPECT_TRUE(shownNearMiddle(rgb, size, red));
        EXPECT_TRUE(shownNearMiddle(rgb, size, green));
        EXPECT_TRUE(shownNearMiddle(rgb, size, blue));

        viewer->disableTracking(false);
        viewer->render();
        ASSERT_TRUE(viewer->readPixels(rgb, size));
        EXPECT_FALSE(shownNearMiddle(rgb, size, red));
        EXPECT_FALSE(shownNearMiddle(rgb, size, blue));
    }
    DestroyWindow(host);
}
