// The off-screen renderer's device context for pictures of one component: the canvas prints in
// colour (its tests compare the page with the view pixel for pixel), a host may ask for grey.
#include <Inventor/SoOffscreenDCRenderer.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

constexpr short kWidth = 40, kHeight = 30;

// A blue square in the middle of the picture.
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

TEST_F(OffscreenDCRendererTest, LuminanceImagesAreGrey) {
    SoOffscreenDCRenderer renderer{SbViewportRegion(kWidth, kHeight)};
    EXPECT_EQ(renderer.getDC(), nullptr); // nothing rendered yet
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
