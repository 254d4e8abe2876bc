// The sticky cursor follows the mouse over the scene's surfaces: it lands where a ray pick with
// the camera it was drawn with lands, stands along the surface normal when asked to, hides over
// nothing, never picks itself and notices when the scene changes.
#include "support/RenderedImage.h"
#include "tav/OivStickyCursor.h"

#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoQuadMesh.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/nodes/SoTranslation.h>
#include <Inventor/nodes/SoVertexProperty.h>

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;
constexpr float kTolerance = 1.0e-4f;

struct Pick {
    bool hit;
    SbVec3f point, normal;
};

// Camera, light, the content and the cursor after it, as the managed scene has them; the camera
// looks at the origin from above the north-east.
class StickyCursor : public ::testing::Test {
protected:
    void SetUp() override {
        m_Root = new SoSeparator;
        m_Root->ref();
        m_Camera = new SoPerspectiveCamera;
        m_Camera->position.setValue(4.0f, 3.0f, 5.0f);
        m_Camera->pointAt(SbVec3f(0.0f, 0.0f, 0.0f), SbVec3f(0.0f, 0.0f, 1.0f));
        m_Camera->nearDistance = 1.0f;
        m_Camera->farDistance = 20.0f;
        m_Root->addChild(m_Camera);
        m_Root->addChild(new SoDirectionalLight);
        m_Content = new SoSeparator;
        m_Move = new SoTranslation;
        m_Content->addChild(m_Move);
        m_Content->addChild(new SoCube);
        m_Root->addChild(m_Content);
        SoSeparator* cursorBranch = new SoSeparator;
        m_Cursor = new OivStickyCursor;
        cursorBranch->addChild(m_Cursor);
        m_Root->addChild(cursorBranch);
    }
    void TearDown() override { m_Root->unref(); }

    void render() { ASSERT_TRUE(RenderedImage(m_Root, kWidth, kHeight).isValid()); }

    // A ray pick at the same pixel, given in client coordinates (top left origin).
    Pick plainPick(int x, int y) const {
        SoRayPickAction action{SbViewportRegion(kWidth, kHeight)};
        action.setPoint(SbVec2s(short(x), short(kHeight - 1 - y)));
        action.apply(m_Root);
        const SoPickedPoint* point = action.getPickedPoint();
        if (!point)
            return {false, SbVec3f(), SbVec3f()};
        return {true, point->getPoint(), point->getNormal()};
    }

    SoTransform* cursorTransform() const {
        return static_cast<SoTransform*>(m_Cursor->getPart("transform", FALSE));
    }
    SbVec3f cursorPosition() const { return cursorTransform()->translation.getValue(); }
    SbVec3f cursorAxis() const {
        SbVec3f axis;
        cursorTransform()->rotation.getValue().multVec(SbVec3f(0.0f, 0.0f, 1.0f), axis);
        return axis;
    }

    SoSeparator* m_Root = nullptr;
    SoPerspectiveCamera* m_Camera = nullptr;
    SoSeparator* m_Content = nullptr;
    SoTranslation* m_Move = nullptr;
    OivStickyCursor* m_Cursor = nullptr;
};

void expectNear(const SbVec3f& actual, const SbVec3f& expected, float tolerance) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

// Pixels spread over the cube's three visible faces (client coordinates).
const int kCubePixels[][2] = {{100, 75}, {90, 60}, {110, 95}, {80, 85}, {118, 70}, {95, 100}};

TEST_F(StickyCursor, LandsWhereARayPickLands) {
    render();
    for (const auto& pixel : kCubePixels) {
        const Pick expected = plainPick(pixel[0], pixel[1]);
        ASSERT_TRUE(expected.hit) << pixel[0] << ", " << pixel[1];
        m_Cursor->onMouseMove(pixel[0], pixel[1]);
        EXPECT_TRUE(m_Cursor->isOnSurface());
        expectNear(cursorPosition(), expected.point, kTolerance);
    }
}

TEST_F(StickyCursor, WithNormalOrientationItsAxisFollowsTheFaceNormal) {
    m_Cursor->useNormalOrientation(true);
    EXPECT_TRUE(m_Cursor->isUsingNormalOrientation());
    render();
    std::set<int> faces;
    for (const auto& pixel : kCubePixels) {
        const Pick expected = plainPick(pixel[0], pixel[1]);
        ASSERT_TRUE(expected.hit);
        m_Cursor->onMouseMove(pixel[0], pixel[1]);
        expectNear(cursorAxis(), expected.normal, kTolerance);
        for (int axis = 0; axis < 3; ++axis)
            if (expected.normal[axis] > 0.5f)
                faces.insert(axis);
    }
    EXPECT_EQ(faces.size(), 3u) << "the probes should cover three faces";

    m_Cursor->useNormalOrientation(false);
    m_Cursor->onMouseMove(kCubePixels[0][0], kCubePixels[0][1]);
    expectNear(cursorAxis(), SbVec3f(0.0f, 0.0f, 1.0f), kTolerance);
}

TEST_F(StickyCursor, HiddenBeforeItWasDrawnAndOverNothing) {
    m_Cursor->onMouseMove(100, 75);
    EXPECT_FALSE(m_Cursor->isOnSurface());
    render();
    m_Cursor->onMouseMove(100, 75);
    EXPECT_TRUE(m_Cursor->isOnSurface());
    m_Cursor->onMouseMove(5, 5);
    EXPECT_FALSE(m_Cursor->isOnSurface());
    // Hidden means not drawn: the frame is the one without a cursor.
    const RenderedImage hidden(m_Root, kWidth, kHeight);
    m_Root->removeChild(3);
    EXPECT_EQ(hidden.countDiffering(RenderedImage(m_Root, kWidth, kHeight)), 0);
}

TEST_F(StickyCursor, NeverPicksItselfNorIsPicked) {
    m_Cursor->useNormalOrientation(true);
    render();
    const Pick surface = plainPick(100, 75);
    m_Cursor->onMouseMove(100, 75);
    render(); // the cursor now stands where the next pick passes
    const Pick again = plainPick(100, 75);
    ASSERT_TRUE(again.hit);
    expectNear(again.point, surface.point, kTolerance);
    m_Cursor->onMouseMove(100, 75);
    expectNear(cursorPosition(), surface.point, kTolerance);
}

TEST_F(StickyCursor, FollowsSceneChangesButNotCameraChangesUntilRedrawn) {
    render();
    m_Cursor->onMouseMove(100, 75);
    m_Move->translation.setValue(0.3f, -0.2f, 0.5f); // the scene changes: the cube moves
    const Pick moved = plainPick(100, 75);
    m_Cursor->onMouseMove(100, 75);
    expectNear(cursorPosition(), moved.point, kTolerance);

    // The camera moves: the cursor keeps picking with the view it was drawn with until the
    // next frame shows the new view.
    const SbVec3f before = cursorPosition();
    m_Camera->position.setValue(4.5f, 2.0f, 5.5f);
    m_Camera->pointAt(SbVec3f(0.0f, 0.0f, 0.0f), SbVec3f(0.0f, 0.0f, 1.0f));
    m_Cursor->onMouseMove(100, 75);
    expectNear(cursorPosition(), before, kTolerance);
    render();
    m_Cursor->onMouseMove(100, 75);
    expectNear(cursorPosition(), plainPick(100, 75).point, kTolerance);
}

TEST_F(StickyCursor, ShapesDiffer) {
    EXPECT_EQ(m_Cursor->getPredefinedShape(), OivStickyCursor::ARROW);
    SoNode* arrow = m_Cursor->getPart("shape", FALSE);
    m_Cursor->setPredefinedShape(OivStickyCursor::PredefinedShape(1));
    EXPECT_EQ(m_Cursor->getPredefinedShape(), OivStickyCursor::CROSS);
    EXPECT_NE(m_Cursor->getPart("shape", FALSE), arrow);

    render();
    m_Cursor->onMouseMove(100, 75);
    const RenderedImage cross(m_Root, kWidth, kHeight);
    m_Cursor->setPredefinedShape(OivStickyCursor::PredefinedShape(0));
    const RenderedImage needle(m_Root, kWidth, kHeight);
    EXPECT_GT(cross.countDiffering(needle), 20);
}

// A wavy terrain of about 45 000 triangles, looked at obliquely: the cursor's indexed pick
// finds the ray pick's point at every probed pixel.
TEST_F(StickyCursor, MatchesTheRayPickOnALargeSurface) {
    constexpr int kGrid = 150;
    std::vector<SbVec3f> points;
    for (int row = 0; row < kGrid; ++row)
        for (int column = 0; column < kGrid; ++column) {
            const float x = -6.0f + 12.0f * column / (kGrid - 1);
            const float y = -6.0f + 12.0f * row / (kGrid - 1);
            points.emplace_back(x, y, 0.3f * std::sin(3.0f * x) * std::cos(2.0f * y));
        }
    SoVertexProperty* vertices = new SoVertexProperty;
    vertices->vertex.setValues(0, int(points.size()), points.data());
    SoQuadMesh* terrain = new SoQuadMesh;
    terrain->vertexProperty = vertices;
    terrain->verticesPerRow = kGrid;
    terrain->verticesPerColumn = kGrid;
    m_Content->replaceChild(1, terrain);
    render();

    int hits = 0;
    for (int y = 10; y < kHeight; y += 23)
        for (int x = 7; x < kWidth; x += 31) {
            const Pick expected = plainPick(x, y);
            m_Cursor->onMouseMove(x, y);
            ASSERT_EQ(m_Cursor->isOnSurface(), expected.hit) << x << ", " << y;
            if (!expected.hit)
                continue;
            ++hits;
            expectNear(cursorPosition(), expected.point, 1.0e-3f);
        }
    EXPECT_GT(hits, 20);
}

} // namespace
