// The background nodes draw behind the scene, fill the viewport as their fields say and leave
// depth, bounding boxes and picks alone.
#include "support/RenderedImage.h"

#include <Inventor/SbBox3f.h>
#include <Inventor/SoOffscreenRenderer.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoGradientBackground.h>
#include <Inventor/nodes/SoImageBackground.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTranslation.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0};
const Rgb kGrey{128, 128, 128}, kBlack{0, 0, 0};
// tests/data/corners.png: 8 × 6 grey pixels with a red lower left, green lower right, blue upper
// left and yellow upper right corner.
const std::string kCornersImage = std::string(OIVWINTAV_TEST_DATA_DIR) + "/corners.png";
constexpr int kImageWidth = 8;
constexpr int kImageHeight = 6;

class Scene {
public:
    Scene() {
        m_Root = new SoSeparator;
        m_Root->ref();
    }
    ~Scene() { m_Root->unref(); }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    SoSeparator* root() const { return m_Root; }
    // An unlit green cube covering the middle of the frame, drawn after the background.
    void addCube() {
        SoOrthographicCamera* camera = new SoOrthographicCamera;
        camera->height = 4.0f;
        m_Root->addChild(camera);
        SoLightModel* lightModel = new SoLightModel;
        lightModel->model = SoLightModel::BASE_COLOR;
        m_Root->addChild(lightModel);
        SoBaseColor* colour = new SoBaseColor;
        colour->rgb.setValue(0.0f, 1.0f, 0.0f);
        m_Root->addChild(colour);
        m_Root->addChild(new SoCube);
    }

private:
    SoSeparator* m_Root;
};

SoGradientBackground* redToBlue() {
    SoGradientBackground* gradient = new SoGradientBackground;
    gradient->color0.setValue(1.0f, 0.0f, 0.0f);
    gradient->color1.setValue(0.0f, 0.0f, 1.0f);
    return gradient;
}

TEST(GradientBackground, Color0AtTheBottomAndColor1AtTheTop) {
    Scene scene;
    scene.root()->addChild(redToBlue());
    const RenderedImage image(scene.root(), kWidth, kHeight);
    ASSERT_TRUE(image.isValid());
    for (int x : {0, kWidth / 2, kWidth - 1}) {
        const Rgb bottom = image.at(x, 0), top = image.at(x, kHeight - 1);
        EXPECT_GT(bottom.r, 240) << bottom;
        EXPECT_LT(bottom.b, 15) << bottom;
        EXPECT_LT(top.r, 15) << top;
        EXPECT_GT(top.b, 240) << top;
    }
    const Rgb middle = image.at(kWidth / 2, kHeight / 2);
    EXPECT_NEAR(middle.r, 128, 12) << middle;
    EXPECT_NEAR(middle.b, 128, 12) << middle;
}

TEST(GradientBackground, SceneDrawnAfterItIsNotHiddenByIt) {
    Scene scene;
    scene.root()->addChild(redToBlue());
    scene.addCube();
    const RenderedImage image(scene.root(), kWidth, kHeight);
    ASSERT_TRUE(image.isValid());
    EXPECT_EQ(image.at(kWidth / 2, kHeight / 2), kGreen);
    EXPECT_GT(image.at(0, 0).r, 240);
}

// Coin walks the background again when it draws sorted transparent objects in a later pass;
// the background must stay behind the opaque scene drawn in the first one.
TEST(GradientBackground, StaysBehindTheSceneWhenTransparentObjectsAreSorted) {
    Scene scene;
    scene.root()->addChild(redToBlue());
    scene.addCube();
    SoSeparator* glass = new SoSeparator;
    SoTranslation* beside = new SoTranslation;
    beside->translation.setValue(1.8f, 0.0f, 0.0f);
    SoMaterial* halfClear = new SoMaterial;
    halfClear->transparency = 0.5f;
    glass->addChild(beside);
    glass->addChild(halfClear);
    glass->addChild(new SoCube);
    scene.root()->addChild(glass);

    SoOffscreenRenderer renderer{SbViewportRegion(kWidth, kHeight)};
    renderer.setComponents(SoOffscreenRenderer::RGB);
    renderer.getGLRenderAction()->setTransparencyType(SoGLRenderAction::SORTED_OBJECT_BLEND);
    ASSERT_TRUE(renderer.render(scene.root()));
    const unsigned char* centre = renderer.getBuffer() + ((kHeight / 2) * kWidth + kWidth / 2) * 3;
    EXPECT_EQ((Rgb{centre[0], centre[1], centre[2]}), kGreen);
}

TEST(Backgrounds, ContributeNothingToBoundingBoxesAndPicks) {
    Scene scene;
    scene.root()->addChild(redToBlue());
    SoImageBackground* image = new SoImageBackground;
    image->filename = kCornersImage.c_str();
    scene.root()->addChild(image);
    const SbViewportRegion viewport(kWidth, kHeight);
    SoGetBoundingBoxAction bbox(viewport);
    bbox.apply(scene.root());
    EXPECT_TRUE(bbox.getBoundingBox().isEmpty());

    scene.addCube();
    bbox.apply(scene.root());
    EXPECT_EQ(bbox.getBoundingBox().getMin(), SbVec3f(-1.0f, -1.0f, -1.0f));
    EXPECT_EQ(bbox.getBoundingBox().getMax(), SbVec3f(1.0f, 1.0f, 1.0f));
    SoRayPickAction pick(viewport);
    pick.setPoint(SbVec2s(2, 2)); // outside the cube, inside the backgrounds
    pick.apply(scene.root());
    EXPECT_EQ(pick.getPickedPoint(), nullptr);
}

struct StyleCase {
    const char* name;
    SoImageBackground::Style style;
    // Frame pixels and the colour each must show.
    struct Probe {
        int x, y;
        Rgb colour;
    } probes[4];
};

constexpr int kRight = kWidth - 1, kTop = kHeight - 1;
const StyleCase kStyleCases[] = {
    {"Stretch",
     SoImageBackground::STRETCH,
     {{0, 0, kRed}, {kRight, 0, kGreen}, {0, kTop, kBlue}, {kRight, kTop, kYellow}}},
    {"LowerLeft",
     SoImageBackground::LOWER_LEFT,
     {{0, 0, kRed},
      {kImageWidth - 1, 0, kGreen},
      {0, kImageHeight - 1, kBlue},
      {kImageWidth, kImageHeight, kBlack}}},
    {"UpperRight",
     SoImageBackground::UPPER_RIGHT,
     {{kRight, kTop, kYellow},
      {kWidth - kImageWidth, kTop, kBlue},
      {kRight, kHeight - kImageHeight, kGreen},
      {0, 0, kBlack}}},
    {"UpperLeft",
     SoImageBackground::UPPER_LEFT,
     {{0, kTop, kBlue},
      {kImageWidth - 1, kTop, kYellow},
      {0, kHeight - kImageHeight, kRed},
      {kRight, 0, kBlack}}},
    {"LowerRight",
     SoImageBackground::LOWER_RIGHT,
     {{kRight, 0, kGreen},
      {kWidth - kImageWidth, 0, kRed},
      {kRight, kImageHeight - 1, kYellow},
      {0, kTop, kBlack}}},
    {"Center",
     SoImageBackground::CENTER,
     {{(kWidth - kImageWidth) / 2, (kHeight - kImageHeight) / 2, kRed},
      {(kWidth + kImageWidth) / 2 - 1, (kHeight + kImageHeight) / 2 - 1, kYellow},
      {kWidth / 2, kHeight / 2, kGrey},
      {0, 0, kBlack}}},
    // Tiles start at the upper left corner: 8 × 6 tiles fit the 64 × 48 frame exactly.
    {"Tile",
     SoImageBackground::TILE,
     {{0, kTop, kBlue}, {kImageWidth, kTop, kBlue}, {kRight, 0, kGreen}, {kImageWidth, 0, kRed}}},
    {"None",
     SoImageBackground::NONE,
     {{0, 0, kBlack}, {kRight, 0, kBlack}, {0, kTop, kBlack}, {kRight, kTop, kBlack}}},
};

class ImageBackgroundStyle : public ::testing::TestWithParam<StyleCase> {};

TEST_P(ImageBackgroundStyle, PlacesTheImageAsNamed) {
    const StyleCase& c = GetParam();
    Scene scene;
    SoImageBackground* background = new SoImageBackground;
    background->filename = kCornersImage.c_str();
    background->style = c.style;
    scene.root()->addChild(background);
    const RenderedImage image(scene.root(), kWidth, kHeight);
    ASSERT_TRUE(image.isValid());
    for (const StyleCase::Probe& probe : c.probes)
        EXPECT_EQ(image.at(probe.x, probe.y), probe.colour)
            << "at (" << probe.x << ", " << probe.y << ")";
}

INSTANTIATE_TEST_SUITE_P(Styles, ImageBackgroundStyle, ::testing::ValuesIn(kStyleCases),
                         [](const ::testing::TestParamInfo<StyleCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ImageBackground, UnreadableFileDrawsNothingSilentlyAndAValidNameIsReadAgain) {
    Scene scene;
    SoImageBackground* background = new SoImageBackground;
    scene.root()->addChild(background);
    EXPECT_FALSE(background->hasImage());

    background->filename = "/nonexistent/background.jpg";
    ::testing::internal::CaptureStderr();
    const RenderedImage missing(scene.root(), kWidth, kHeight, SbColor(0.0f, 0.0f, 1.0f));
    const std::string messages = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(missing.isValid());
    EXPECT_FALSE(background->hasImage());
    EXPECT_EQ(missing.at(0, 0), kBlue);
    EXPECT_EQ(missing.at(kRight, kTop), kBlue);
    EXPECT_EQ(messages.find("background.jpg"), std::string::npos) << messages;

    background->filename = kCornersImage.c_str();
    const RenderedImage found(scene.root(), kWidth, kHeight, SbColor(0.0f, 0.0f, 1.0f));
    EXPECT_TRUE(background->hasImage());
    EXPECT_EQ(found.at(0, 0), kRed);

    background->filename = "";
    EXPECT_FALSE(background->hasImage());
}

} // namespace
