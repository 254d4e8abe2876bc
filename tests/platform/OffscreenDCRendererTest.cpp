// The off-screen renderer's device context: what a render leaves in it, read back through GDI.
#include "support/RenderedImage.h"

#include <Inventor/SoOffscreenDCRenderer.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

constexpr short kWidth = 40, kHeight = 30;

// A blue square in the middle of the picture on a red background.
class OffscreenDCRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = new SoSeparator;
        root->ref();
        auto* camera = new SoOrthographicCamera;
        camera->height = 4.0f;
        camera->position.setValue(0, 0, 5);
        root->addChild(camera);
        auto* material = new SoMaterial;
        material->diffuseColor.setValue(0, 0, 0);
        material->emissiveColor.setValue(0, 0, 1);
        root->addChild(material);
        root->addChild(new SoCube);
    }
    void TearDown() override { root->unref(); }

    SoSeparator* root = nullptr;
};

TEST_F(OffscreenDCRendererTest, RenderedImageIsTheSelectedDibSectionOfAScreenDC) {
    SoOffscreenDCRenderer renderer{SbViewportRegion(kWidth, kHeight)};
    EXPECT_EQ(renderer.getDC(), nullptr);
    renderer.setBackgroundColor(SbColor(1, 0, 0));
    ASSERT_TRUE(renderer.render(root));
    HDC dc = renderer.getDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);

    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof section, &section),
              int(sizeof section));
    EXPECT_EQ(section.dsBmih.biWidth, kWidth);
    EXPECT_EQ(section.dsBmih.biHeight, kHeight); // bottom-up, like the GL image
    ASSERT_NE(section.dsBm.bmBits, nullptr);
    // GetPixel counts rows from the top; the picture is symmetric, the corners are background.
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, kWidth - 1, kHeight - 1), RGB(255, 0, 0));
    const COLORREF middle = GetPixel(dc, kWidth / 2, kHeight / 2);
    EXPECT_GT(GetBValue(middle), 200);
    EXPECT_LT(GetRValue(middle), 40);
    // The same pixels as Coin's own renderer draws.
    const RenderedImage reference(root, kWidth, kHeight, SbColor(1, 0, 0));
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const Rgb p = reference.at(x, kHeight - 1 - y);
            differing += GetPixel(dc, x, y) == RGB(p.r, p.g, p.b) ? 0 : 1;
        }
    EXPECT_EQ(differing, 0);

    // A later render of another size refreshes the context.
    renderer.setViewportRegion(SbViewportRegion(kWidth / 2, kHeight / 2));
    renderer.setBackgroundColor(SbColor(0, 1, 0));
    ASSERT_TRUE(renderer.render(root));
    EXPECT_EQ(GetPixel(renderer.getDC(), 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetDeviceCaps(renderer.getDC(), HORZRES), kWidth / 2);
}

TEST_F(OffscreenDCRendererTest, LuminanceImagesAreGrey) {
    SoOffscreenDCRenderer renderer{SbViewportRegion(kWidth, kHeight)};
    renderer.setComponents(SoOffscreenRenderer::LUMINANCE);
    renderer.setBackgroundColor(SbColor(1, 1, 1));
    ASSERT_TRUE(renderer.render(root));
    EXPECT_EQ(GetPixel(renderer.getDC(), 0, 0), RGB(255, 255, 255));
    const COLORREF middle = GetPixel(renderer.getDC(), kWidth / 2, kHeight / 2);
    EXPECT_EQ(GetRValue(middle), GetGValue(middle));
    EXPECT_EQ(GetRValue(middle), GetBValue(middle));
    EXPECT_LT(GetRValue(middle), 128);
}

} // namespace
