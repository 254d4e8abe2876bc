// The compass shows the heading of its viewer's camera, the horizon giro its pitch and roll;
// both sit in their corner of the overlay, on top of the scene, whatever camera is in force.
#include "support/RenderedImage.h"
#include "tav/OivCompass.h"

#include <Inventor/Win/viewers/SoWinExaminerViewer.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

bool isRed(const Rgb& c) {
    return c.r > 180 && c.g < 60 && c.b < 60;
}
bool isSky(const Rgb& c) {
    return c.b > 150 && c.r < 100;
}
bool isGround(const Rgb& c) {
    return c.r > 100 && c.g > 60 && c.g < 120 && c.b < 60;
}

struct Centroid {
    int count = 0;
    float x = 0.0f, y = 0.0f; // relative to the instrument's centre
};

template <class Test>
Centroid centroidOf(const RenderedImage& image, float centerX, float centerY, Test test) {
    Centroid c;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.at(x, y))) {
                ++c.count;
                c.x += x - centerX;
                c.y += y - centerY;
            }
    if (c.count > 0) {
        c.x /= c.count;
        c.y /= c.count;
    }
    return c;
}

// A viewer whose camera the instruments follow, and an overlay (its own camera) holding them.
class Compass : public ::testing::Test {
protected:
    void SetUp() override {
        m_Scene = new SoSeparator;
        m_Camera = new SoPerspectiveCamera;
        m_Scene->addChild(m_Camera);
        m_Scene->addChild(new SoCube);
        m_Viewer = new SoWinExaminerViewer();
        m_Viewer->setSceneGraph(m_Scene);
        ASSERT_EQ(m_Viewer->getCamera(), m_Camera);

        m_Overlay = new SoSeparator;
        m_Overlay->ref();
        m_Overlay->addChild(new SoOrthographicCamera);
        m_Compass = new OivCompass;
        m_Compass->setPosition(OivCompass::ScreenPosition(4), OivCompass::ScreenPosition(3));
        m_Compass->setViewer(m_Viewer);
        m_Overlay->addChild(m_Compass);
    }
    void TearDown() override {
        m_Overlay->unref();
        delete m_Viewer;
    }

    // Level, looking towards `heading` (radians clockwise from north), then pitched and rolled.
    void look(float heading, float pitch = 0.0f, float roll = 0.0f) {
        const SbVec3f view(std::sin(heading) * std::cos(pitch), std::cos(heading) * std::cos(pitch),
                           std::sin(pitch));
        m_Camera->position.setValue(0.0f, 0.0f, 0.0f);
        m_Camera->pointAt(view, SbVec3f(0.0f, 0.0f, 1.0f));
        m_Camera->orientation =
            m_Camera->orientation.getValue() * SbRotation(view, roll); // banked clockwise
    }

    RenderedImage render(SoNode* root = nullptr) {
        return RenderedImage(root ? root : m_Overlay, kWidth, kHeight);
    }

    void placement(float& x, float& y, float& radius) const {
        m_Compass->getPlacement(SbViewportRegion(kWidth, kHeight), x, y, radius);
    }

    SoSeparator* m_Scene = nullptr;
    SoPerspectiveCamera* m_Camera = nullptr;
    SoWinExaminerViewer* m_Viewer = nullptr;
    SoSeparator* m_Overlay = nullptr;
    OivCompass* m_Compass = nullptr;
};

TEST_F(Compass, NorthNeedlePointsUpLookingNorthAndLeftLookingEast) {
    float x, y, radius;
    placement(x, y, radius);
    look(0.0f);
    const RenderedImage north = render();
    ASSERT_TRUE(north.isValid());
    const Centroid needleNorth = centroidOf(north, x, y, isRed);
    ASSERT_GT(needleNorth.count, 20);
    EXPECT_GT(needleNorth.y, 0.2f * radius);
    EXPECT_NEAR(needleNorth.x, 0.0f, 2.0f);

    look(float(M_PI) / 2.0f);
    const RenderedImage east = render();
    const Centroid needleEast = centroidOf(east, x, y, isRed);
    EXPECT_LT(needleEast.x, -0.2f * radius);
    EXPECT_NEAR(needleEast.y, 0.0f, 2.0f);
    EXPECT_GT(north.countDiffering(east), 50);
}

TEST_F(Compass, PlacementsFourThreeAndOneThreeAreDifferentTopCorners) {
    look(0.3f);
    const RenderedImage compass = render();
    int minX, minY, maxX, maxY;
    ASSERT_TRUE(compass.findDrawn(Rgb{0, 0, 0}, minX, minY, maxX, maxY));
    EXPECT_GT(minX, kWidth / 2);
    EXPECT_GT(minY, kHeight / 2);
    EXPECT_LT(maxX, kWidth - 1);
    EXPECT_LT(maxY, kHeight - 1);

    m_Compass->setType(OivCompass::CompassType(2));
    m_Compass->setPosition(OivCompass::ScreenPosition(1), OivCompass::ScreenPosition(3));
    const RenderedImage giro = render();
    ASSERT_TRUE(giro.findDrawn(Rgb{0, 0, 0}, minX, minY, maxX, maxY));
    EXPECT_GT(minX, 0);
    EXPECT_LT(maxX, kWidth / 2);
    EXPECT_GT(minY, kHeight / 2);
}

TEST_F(Compass, HorizonGiroShowsPitchAndRoll) {
    m_Compass->setType(OivCompass::HORIZON_GIRO);
    float x, y, radius;
    placement(x, y, radius);

    look(0.0f);
    const RenderedImage level = render();
    const Centroid skyLevel = centroidOf(level, x, y, isSky);
    const Centroid groundLevel = centroidOf(level, x, y, isGround);
    ASSERT_GT(skyLevel.count, 50);
    EXPECT_NEAR(skyLevel.count, groundLevel.count, 0.15f * skyLevel.count);
    EXPECT_GT(skyLevel.y, 0.2f * radius);
    EXPECT_LT(groundLevel.y, -0.2f * radius);

    look(0.0f, 0.5f); // nose up: more sky
    const RenderedImage up = render();
    EXPECT_GT(centroidOf(up, x, y, isSky).count, 1.4f * centroidOf(up, x, y, isGround).count);
    look(0.0f, -0.5f); // nose down: more ground
    const RenderedImage down = render();
    EXPECT_GT(centroidOf(down, x, y, isGround).count, 1.4f * centroidOf(down, x, y, isSky).count);

    // Banked right, the horizon turns counter-clockwise: the sky moves to the left.
    look(0.0f, 0.0f, 0.6f);
    const RenderedImage banked = render();
    EXPECT_LT(centroidOf(banked, x, y, isSky).x, -0.1f * radius);
    // Heading does not move the horizon.
    look(1.0f);
    EXPECT_EQ(render().countDiffering(level), 0);
}

TEST_F(Compass, DrawsOverTheSceneUnderAnyCameraAndNothingWithoutAViewer) {
    // The overlay after a scene whose cube fills the frame, under a perspective camera.
    SoSeparator* root = new SoSeparator;
    root->ref();
    SoPerspectiveCamera* camera = new SoPerspectiveCamera;
    camera->position.setValue(0.0f, 0.0f, 1.5f);
    root->addChild(camera);
    SoLightModel* unlit = new SoLightModel;
    unlit->model = SoLightModel::BASE_COLOR;
    root->addChild(unlit);
    SoBaseColor* green = new SoBaseColor;
    green->rgb.setValue(0.0f, 1.0f, 0.0f);
    root->addChild(green);
    SoCube* wall = new SoCube;
    wall->width = wall->height = 10.0f;
    root->addChild(wall);
    root->addChild(m_Compass);

    look(0.0f);
    float x, y, radius;
    placement(x, y, radius);
    EXPECT_GT(centroidOf(render(root), x, y, isRed).count, 20);

    m_Compass->setViewer(nullptr);
    const RenderedImage without = render(root);
    EXPECT_EQ(centroidOf(without, x, y, isRed).count, 0);
    EXPECT_EQ(without.at(int(x), int(y)), (Rgb{0, 255, 0}));

    // A compass the host keeps after its viewer is deleted lets go of it and draws nothing.
    m_Compass->setViewer(m_Viewer);
    ASSERT_GT(centroidOf(render(root), x, y, isRed).count, 20);
    delete m_Viewer;
    m_Viewer = nullptr;
    EXPECT_EQ(nullptr, m_Compass->getViewer());
    EXPECT_EQ(render(root).countDiffering(without), 0);
    root->unref();
}

TEST_F(Compass, TypeOfNoKnownValueDrawsNothing) {
    look(0.0f);
    m_Compass->setViewer(nullptr);
    const RenderedImage nothing = render();
    m_Compass->setViewer(m_Viewer);
    // SO_SWITCH_ALL would show rose, arrow and giro on top of each other.
    for (int type : {SO_SWITCH_ALL, -1, 3, 1000}) {
        m_Compass->type.setValue(type);
        EXPECT_EQ(render().countDiffering(nothing), 0) << type;
    }
}

} // namespace

// Each part of the rose and of the giro in its own colour, and the ring closed all round the dial:
// parts drawn together must still each get their colour, face by face and line by line.
bool near(const Rgb& c, int r, int g, int b) {
    constexpr int kTolerance = 3;
    return std::abs(c.r - r) <= kTolerance && std::abs(c.g - g) <= kTolerance &&
           std::abs(c.b - b) <= kTolerance;
}

// Whether some pixel on the ray from (x, y) at `angle`, between 0.9 and 1.1 radii out, has the
// colour.
bool onRing(const RenderedImage& image, float x, float y, float radius, float angle, int r, int g,
            int b) {
    for (float t = 0.9f * radius; t <= 1.1f * radius; t += 0.5f)
        if (near(image.at(int(x + t * std::cos(angle)), int(y + t * std::sin(angle))), r, g, b))
            return true;
    return false;
}

TEST_F(Compass, EachPartInItsColourAndTheRingClosedAllRound) {
    constexpr int kDirections = 16;
    float x, y, radius;
    placement(x, y, radius);
    look(0.0f);
    const RenderedImage rose = render();
    ASSERT_TRUE(rose.isValid());
    auto at = [&](const RenderedImage& image, float dx, float dy) {
        return image.at(int(x + dx * radius), int(y + dy * radius));
    };
    EXPECT_TRUE(near(at(rose, 0.0f, 0.4f), 230, 26, 26));    // north needle
    EXPECT_TRUE(near(at(rose, 0.0f, -0.4f), 242, 242, 242)); // south needle
    EXPECT_TRUE(near(at(rose, 0.2f, 0.0f), 140, 140, 153));  // east and west points
    EXPECT_TRUE(near(at(rose, -0.2f, 0.0f), 140, 140, 153));
    EXPECT_TRUE(near(at(rose, 0.5f, 0.5f), 31, 31, 41)); // dial
    for (int i = 0; i < kDirections; ++i)
        EXPECT_TRUE(onRing(rose, x, y, radius, 2.0f * float(M_PI) * i / kDirections, 230, 230, 230))
            << "rose, direction " << i;

    m_Compass->setType(OivCompass::HORIZON_GIRO);
    const RenderedImage giro = render();
    EXPECT_TRUE(near(at(giro, 0.0f, 0.5f), 51, 115, 217)); // sky
    EXPECT_TRUE(near(at(giro, 0.0f, -0.5f), 140, 89, 38)); // ground
    auto lineAt = [&](float dx, int r, int g, int b) {
        return near(at(giro, dx, 0.0f), r, g, b) ||
               near(giro.at(int(x + dx * radius), int(y) - 1), r, g, b);
    };
    EXPECT_TRUE(lineAt(-0.35f, 255, 217, 0)); // aircraft
    EXPECT_TRUE(lineAt(0.8f, 255, 255, 255)); // horizon
    for (int i = 0; i < kDirections; ++i)
        EXPECT_TRUE(onRing(giro, x, y, radius, 2.0f * float(M_PI) * i / kDirections, 230, 230, 230))
            << "giro, direction " << i;
}
