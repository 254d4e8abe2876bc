// The demo's linked pair, as its picture shows it: after one camera move in the 3D view (left),
// the plan view (right) shows the terrain from the same place, not from above.
#include "DemoScene.h"
#include "GroupDemo.h"
#include "support/MessageLoop.h"
#include "support/TempPath.h"

#include <Inventor/SbImage.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Sum of the channel differences between the pixel at (x, y) of the left half and the same
// pixel of the right half; SbImage rows run bottom to top, which does not matter here.
int pixelsDiffer(const unsigned char* a, const unsigned char* b) {
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

const unsigned char* pixel(const unsigned char* data, int width, int components, int x, int y) {
    return data + (size_t(y) * width + x) * components;
}

int halvesDiffer(const unsigned char* data, int width, int components, int x, int y) {
    const unsigned char* left = pixel(data, width, components, x, y);
    return pixelsDiffer(left, left + size_t(width / 2) * components);
}

} // namespace

TEST(GroupDemoPictureTest, PlanViewShowsTheTerrainAsTheMoved3DViewDoes) {
    HWND window = testsupport::createHostWindow(DemoScene::kWidth, DemoScene::kHeight);
    ASSERT_NE(window, nullptr);
    const std::string path = testsupport::tempPath("oivwintav-demo-group-test", ".png");
    std::remove(path.c_str());
    ASSERT_TRUE(GroupDemo::writePairPicture(window, path.c_str()));
    DestroyWindow(window);

    SbImage image;
    ASSERT_TRUE(image.readFile(path.c_str())) << path;
    SbVec2s size;
    int components = 0;
    const unsigned char* data = image.getValue(size, components);
    ASSERT_EQ(size, SbVec2s(2 * DemoScene::kWidth, DemoScene::kHeight));
    ASSERT_GE(components, 3);

    // Between the instruments above and the messages below, both halves show the same terrain
    // from the same camera: a plan view still looking down would match in few places.
    // Two empty halves would match as well: the left one must show a picture, not one colour.
    const int x0 = DemoScene::kWidth / 8, y0 = DemoScene::kHeight / 5;
    const unsigned char* first = pixel(data, size[0], components, x0, y0);
    int same = 0, varied = 0, samples = 0;
    for (int y = y0; y < DemoScene::kHeight * 4 / 5; y += 6) {
        for (int x = x0; x < DemoScene::kWidth * 7 / 8; x += 6) {
            same += halvesDiffer(data, size[0], components, x, y) <= 6;
            varied += pixelsDiffer(pixel(data, size[0], components, x, y), first) > 30;
            ++samples;
        }
    }
    EXPECT_GT(same, samples * 95 / 100) << same << " of " << samples << " samples";
    EXPECT_GT(varied, samples / 10) << varied << " of " << samples << " samples";
    std::remove(path.c_str());
}

TEST(GroupDemoPictureTest, PairPictureIsNamedAfterTheDemosPicture) {
    EXPECT_EQ(GroupDemo::pairPicturePath("docs/demo.png"), "docs/demo-group.png");
    EXPECT_EQ(GroupDemo::pairPicturePath("out.v2/picture"), "out.v2/picture-group");
}
