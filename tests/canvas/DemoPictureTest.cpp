// The demo's picture, made by the demo's own code: a PNG of the window's size with the gradient
// background along its top, the terrain's colours in its middle and the compass in its top right
// corner.
#include "DemoScene.h"
#include "OivWinTav.h"
#include "support/MessageLoop.h"
#include "support/RenderedImage.h"
#include "support/TempPath.h"

#include <Inventor/SbImage.h>
#include <Inventor/nodes/SoGradientBackground.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// SbImage rows run bottom to top.
Rgb pixelFromTop(const SbImage& image, int x, int yFromTop) {
    SbVec2s size;
    int components = 0;
    const unsigned char* data = image.getValue(size, components);
    const unsigned char* p = data + (size_t(size[1] - 1 - yFromTop) * size[0] + x) * components;
    return {p[0], p[1], p[2]};
}

Rgb toBytes(const SbColor& colour) {
    return {int(colour[0] * 255.0f + 0.5f), int(colour[1] * 255.0f + 0.5f),
            int(colour[2] * 255.0f + 0.5f)};
}

} // namespace

TEST(DemoPictureTest, PictureHasTheWindowSizeTheGradientOnTopTerrainInTheMiddleAndTheCompass) {
    HWND window = testsupport::createHostWindow(DemoScene::kWidth, DemoScene::kHeight);
    ASSERT_NE(window, nullptr);
    const std::string path = testsupport::tempPath("oivwintav-demo-test", ".png");
    std::remove(path.c_str());
    Rgb top{}, bottom{};
    {
        OivCanvas canvas;
        canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
        DemoScene::present(canvas);
        const SoGradientBackground* gradient = canvas.getOivSceneManager()->getGradientBackground();
        top = toBytes(gradient->color1.getValue());
        bottom = toBytes(gradient->color0.getValue());
        ASSERT_TRUE(DemoScene::writePicture(canvas, path.c_str()));
    }
    DestroyWindow(window);

    SbImage image;
    ASSERT_TRUE(image.readFile(path.c_str())) << path;
    SbVec2s size;
    int components = 0;
    image.getValue(size, components);
    EXPECT_EQ(size, SbVec2s(DemoScene::kWidth, DemoScene::kHeight));
    ASSERT_GE(components, 3);

    // The top row between the two instruments is the gradient's top colour.
    constexpr int kTolerance = 8;
    for (int x = DemoScene::kWidth / 4; x < DemoScene::kWidth * 3 / 4; x += 16) {
        Rgb p = pixelFromTop(image, x, 0);
        EXPECT_NEAR(p.r, top.r, kTolerance) << "x " << x;
        EXPECT_NEAR(p.g, top.g, kTolerance) << "x " << x;
        EXPECT_NEAR(p.b, top.b, kTolerance) << "x " << x;
    }
    // The gradient is blue above all; the terrain's greens and browns are not.
    int terrain = 0, samples = 0;
    for (int y = DemoScene::kHeight * 2 / 5; y < DemoScene::kHeight * 3 / 5; y += 8) {
        for (int x = DemoScene::kWidth * 2 / 5; x < DemoScene::kWidth * 3 / 5; x += 8) {
            Rgb p = pixelFromTop(image, x, y);
            terrain += p.g > p.b + 10 || p.r > p.b + 10;
            ++samples;
        }
    }
    EXPECT_GT(terrain, samples * 3 / 4) << terrain << " of " << samples << " samples";
    // The compass covers the top right corner: most of it is not the gradient there.
    int covered = 0, cornerSamples = 0;
    for (int y = 40; y < 100; y += 4) {
        const float f = float(y) / (DemoScene::kHeight - 1);
        const Rgb ground{int(top.r + (bottom.r - top.r) * f), int(top.g + (bottom.g - top.g) * f),
                         int(top.b + (bottom.b - top.b) * f)};
        for (int x = DemoScene::kWidth - 80; x < DemoScene::kWidth - 20; x += 4) {
            Rgb p = pixelFromTop(image, x, y);
            covered +=
                std::abs(p.r - ground.r) + std::abs(p.g - ground.g) + std::abs(p.b - ground.b) > 30;
            ++cornerSamples;
        }
    }
    EXPECT_GT(covered, cornerSamples / 2) << covered << " of " << cornerSamples << " samples";
    std::remove(path.c_str());
}
