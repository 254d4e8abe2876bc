// Text placed by an OivScreenPosition lands at its anchored place of the frame, whatever the
// frame's size and the camera.
#include "support/RenderedImage.h"
#include "tav/OivScreenPosition.h"

#include <Inventor/SbBox3f.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoResetTransform.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoText2.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

const Rgb kBlack{0, 0, 0};

enum class Quarter { TopRight, BottomLeft };

struct PlacementCase {
    const char* name;
    bool perspective;
    int width, height;
};

const PlacementCase kPlacementCases[] = {
    {"Overlay320x240", false, 320, 240},
    {"Overlay640x200", false, 640, 200},
    {"Perspective320x240", true, 320, 240},
    {"Perspective400x640", true, 400, 640},
};

// The overlay of a managed scene: its own camera, no transformation, unlit white text in
// Arial 16 placed by a screen position.
SoSeparator* overlay(bool perspective, OivScreenPosition* position, SoText2* text) {
    SoSeparator* root = new SoSeparator;
    if (perspective) {
        SoPerspectiveCamera* camera = new SoPerspectiveCamera;
        camera->position.setValue(3.0f, -7.0f, 12.0f);
        camera->pointAt(SbVec3f(1.0f, 1.0f, 0.0f), SbVec3f(0.0f, 0.0f, 1.0f));
        root->addChild(camera);
    } else {
        root->addChild(new SoOrthographicCamera);
    }
    root->addChild(new SoResetTransform);
    SoLightModel* lightModel = new SoLightModel;
    lightModel->model = SoLightModel::BASE_COLOR;
    root->addChild(lightModel);
    SoSeparator* item = new SoSeparator;
    item->addChild(position);
    SoBaseColor* white = new SoBaseColor;
    white->rgb.setValue(1.0f, 1.0f, 1.0f);
    item->addChild(white);
    SoFont* font = new SoFont;
    font->name = "Arial";
    font->size = 16.0f;
    item->addChild(font);
    item->addChild(text);
    root->addChild(item);
    return root;
}

// The frame-rate display of the managed scene: right-justified, right 12 %, 21 pixels below the
// top. The values are passed as plain numbers, as the scene manager does.
SoSeparator* frameRateText(bool perspective) {
    OivScreenPosition* position = new OivScreenPosition;
    position->setHorizontalPosition(OivScreenPosition::AnchorType(3),
                                    OivScreenPosition::MarginType(0), 0.12f);
    position->setVerticalPosition(OivScreenPosition::AnchorType(0),
                                  OivScreenPosition::MarginType(1), 21.0f);
    SoText2* text = new SoText2;
    text->string = "59.94 FPS";
    text->justification = SoText2::RIGHT;
    return overlay(perspective, position, text);
}

// The message of the managed scene: left 12 %, 10 pixels above the bottom.
SoSeparator* messageText(bool perspective) {
    OivScreenPosition* position = new OivScreenPosition;
    position->setHorizontalPosition(OivScreenPosition::AnchorType(2),
                                    OivScreenPosition::MarginType(0), 0.12f);
    position->setVerticalPosition(OivScreenPosition::AnchorType(1),
                                  OivScreenPosition::MarginType(1), 10.0f);
    SoText2* text = new SoText2;
    text->string = "Loading terrain";
    return overlay(perspective, position, text);
}

void expectWithinQuarter(SoSeparator* root, const PlacementCase& c, Quarter quarter) {
    root->ref();
    const RenderedImage image(root, c.width, c.height);
    root->unref();
    ASSERT_TRUE(image.isValid());
    int minX, minY, maxX, maxY;
    ASSERT_TRUE(image.findDrawn(kBlack, minX, minY, maxX, maxY)) << "no text drawn";
    const int halfX = c.width / 2, halfY = c.height / 2;
    // Inside the quarter and not touching the frame's edges (not clipped).
    if (quarter == Quarter::TopRight) {
        EXPECT_GE(minX, halfX);
        EXPECT_GE(minY, halfY);
        EXPECT_LT(maxX, c.width - 1);
        EXPECT_LT(maxY, c.height - 1);
    } else {
        EXPECT_GT(minX, 0);
        EXPECT_GT(minY, 0);
        EXPECT_LT(maxX, halfX);
        EXPECT_LT(maxY, halfY);
    }
}

class ScreenPositionPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(ScreenPositionPlacement, FrameRateTextStaysInTheTopRightQuarter) {
    expectWithinQuarter(frameRateText(GetParam().perspective), GetParam(), Quarter::TopRight);
}

TEST_P(ScreenPositionPlacement, MessageStaysInTheBottomLeftQuarter) {
    expectWithinQuarter(messageText(GetParam().perspective), GetParam(), Quarter::BottomLeft);
}

INSTANTIATE_TEST_SUITE_P(Frames, ScreenPositionPlacement, ::testing::ValuesIn(kPlacementCases),
                         [](const ::testing::TestParamInfo<PlacementCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ScreenPosition, AnchorsAndMarginsGivePixelPositions) {
    OivScreenPosition* position = new OivScreenPosition;
    position->ref();
    const SbViewportRegion viewport(400, 300);
    EXPECT_EQ(position->getPixelPosition(viewport), SbVec2f(0.0f, 0.0f));
    position->setHorizontalPosition(OivScreenPosition::RIGHT, OivScreenPosition::FRACTION, 0.25f);
    position->setVerticalPosition(OivScreenPosition::TOP, OivScreenPosition::PIXELS, 20.0f);
    EXPECT_EQ(position->getPixelPosition(viewport), SbVec2f(300.0f, 280.0f));
    position->setHorizontalPosition(OivScreenPosition::CENTER, OivScreenPosition::PIXELS, -10.0f);
    position->setVerticalPosition(OivScreenPosition::LEFT, OivScreenPosition::FRACTION, 0.1f);
    EXPECT_EQ(position->getPixelPosition(viewport), SbVec2f(190.0f, 180.0f));
    position->unref();
}

} // namespace

namespace {

// In the managed scene the overlay is drawn after the 3D content, without clearing depth: the
// text must still show over a surface that fills the frame.
// Margins a host or an engine can set: the anchor alone places what follows, and nothing that is no
// number reaches the bounding box of the scene.
TEST(ScreenPosition, MarginsThatAreNoNumbersCountAsNone) {
    const SbViewportRegion viewport(320, 240);
    OivScreenPosition* position = new OivScreenPosition;
    SoSeparator* root = new SoSeparator;
    root->ref();
    root->addChild(new SoPerspectiveCamera);
    root->addChild(position);
    root->addChild(new SoCube);
    position->setHorizontalPosition(OivScreenPosition::RIGHT, OivScreenPosition::PIXELS, 0.0f);
    position->setVerticalPosition(OivScreenPosition::TOP, OivScreenPosition::PIXELS, 0.0f);
    const SbVec2f corner = position->getPixelPosition(viewport);
    SoGetBoundingBoxAction action(viewport);
    action.apply(root);
    const SbBox3f atCorner = action.getBoundingBox();

    // An overflowing fraction, an infinity, no number.
    position->setHorizontalPosition(OivScreenPosition::RIGHT, OivScreenPosition::FRACTION, 3.0e38f);
    position->setVerticalPosition(OivScreenPosition::TOP, OivScreenPosition::PIXELS, NAN);
    EXPECT_EQ(position->getPixelPosition(viewport), corner);
    action.apply(root);
    EXPECT_EQ(action.getBoundingBox().getMin(), atCorner.getMin());
    EXPECT_EQ(action.getBoundingBox().getMax(), atCorner.getMax());
    position->horizontalMargin = -INFINITY;
    EXPECT_EQ(position->getPixelPosition(viewport), corner);
    root->unref();
}

TEST(ScreenPosition, OverlayTextShowsOverTheSceneDrawnBeforeIt) {
    SoSeparator* root = new SoSeparator;
    root->ref();
    SoSeparator* scene = new SoSeparator;
    SoPerspectiveCamera* camera = new SoPerspectiveCamera;
    camera->position.setValue(0.0f, 0.0f, 1.2f);
    camera->nearDistance = 0.1f;
    scene->addChild(camera);
    SoLightModel* unlit = new SoLightModel;
    unlit->model = SoLightModel::BASE_COLOR;
    scene->addChild(unlit);
    SoBaseColor* blue = new SoBaseColor;
    blue->rgb.setValue(0.0f, 0.0f, 1.0f);
    scene->addChild(blue);
    SoCube* wall = new SoCube;
    wall->width = wall->height = 20.0f;
    scene->addChild(wall);
    root->addChild(scene);
    root->addChild(frameRateText(false));

    const RenderedImage image(root, 320, 240);
    root->unref();
    ASSERT_TRUE(image.isValid());
    int white = 0;
    for (int y = 120; y < 240; ++y)
        for (int x = 160; x < 320; ++x)
            white += image.at(x, y) == Rgb{255, 255, 255} ? 1 : 0;
    EXPECT_GT(white, 20);
}

} // namespace
