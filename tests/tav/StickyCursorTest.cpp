// The sticky cursor follows the mouse over the scene's surfaces: it lands where a ray pick with
// the camera it was drawn with lands, stands along the surface normal when asked to, hides over
// nothing, never picks itself and notices when the scene changes.
#include "support/RenderedImage.h"
#include "tav/OivStickyCursor.h"

#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoIndexedFaceSet.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoQuadMesh.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShapeHints.h>
#include <Inventor/nodes/SoSwitch.h>
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
    // The picked shape's normal turned to world space as normals turn (with the inverse
    // transpose): perpendicular to the surface seen, also under a non-uniform scale, where the
    // pick's own normal is the object normal turned like a direction.
    SbVec3f surfaceNormal;
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
            return {false, SbVec3f(), SbVec3f(), SbVec3f()};
        SbVec3f surfaceNormal;
        point->getObjectToWorld().inverse().transpose().multDirMatrix(point->getObjectNormal(),
                                                                      surfaceNormal);
        surfaceNormal.normalize();
        return {true, point->getPoint(), point->getNormal(), surfaceNormal};
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

// A quad mesh of columns × rows vertices over [-halfX, halfX] × [-halfY, halfY], its heights
// waving by `amplitude` around zero.
SoQuadMesh* wavyTerrain(int columns, int rows, float halfX, float halfY, float amplitude) {
    std::vector<SbVec3f> points;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const float x = halfX * (2.0f * column / (columns - 1) - 1.0f);
            const float y = halfY * (2.0f * row / (rows - 1) - 1.0f);
            points.emplace_back(x, y, amplitude * std::sin(3.0f * x) * std::cos(2.0f * y));
        }
    SoVertexProperty* vertices = new SoVertexProperty;
    vertices->vertex.setValues(0, int(points.size()), points.data());
    SoQuadMesh* mesh = new SoQuadMesh;
    mesh->vertexProperty = vertices;
    mesh->verticesPerRow = columns;
    mesh->verticesPerColumn = rows;
    return mesh;
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
    SoQuadMesh* terrain = wavyTerrain(150, 150, 6.0f, 6.0f, 0.3f);
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

// A terrain (a quad mesh read straight from its coordinates) beside shapes that go through
// Coin's own triangle generation, under a Z exaggeration and a switch: after each kind of edit
// the cursor lands where a ray pick lands, stands along the normal the pick reports, and the
// index is rebuilt exactly when the edit could move a surface.
class StickyCursorAfterEdits : public StickyCursor {
protected:
    void SetUp() override {
        StickyCursor::SetUp();
        m_Cursor->useNormalOrientation(true);
        m_Move->translation.setValue(1.5f, -1.0f, 0.0f);
        SoScale* exaggeration = new SoScale;
        exaggeration->scaleFactor.setValue(1.0f, 1.0f, 2.5f);
        m_Content->insertChild(exaggeration, 0);
        m_Terrain = wavyTerrain(40, 30, 3.0f, 2.5f, 0.15f);
        m_Content->insertChild(m_Terrain, 1);
        m_Material = new SoMaterial;
        m_Content->insertChild(m_Material, 1);
        m_Switch = new SoSwitch;
        m_Switch->whichChild = 0;
        SoSeparator* raised = new SoSeparator;
        SoTranslation* up = new SoTranslation;
        up->translation.setValue(-1.0f, 1.0f, 0.6f);
        raised->addChild(up);
        // Not a sphere: a ray pick meets Coin's round shapes exactly, the index their facets.
        SoCube* block = new SoCube;
        block->width = block->height = block->depth = 0.8f;
        raised->addChild(block);
        m_Switch->addChild(raised);
        m_Content->addChild(m_Switch);
        render();
    }

    // Every probed pixel: the cursor shows exactly where the pick hits, at the pick's point,
    // its axis along the pick's normal turned to the viewer. Returns the number of hits.
    int expectLikeTheRayPick(const char* after) {
        return expectLikeTheRayPick(after, m_Camera->position.getValue());
    }
    int expectLikeTheRayPick(const char* after, const SbVec3f& eye) {
        int hits = 0;
        for (int y = 4; y < kHeight; y += 9)
            for (int x = 3; x < kWidth; x += 11) {
                const Pick expected = plainPick(x, y);
                m_Cursor->onMouseMove(x, y);
                EXPECT_EQ(m_Cursor->isOnSurface(), expected.hit)
                    << after << " at " << x << ", " << y;
                if (!expected.hit || !m_Cursor->isOnSurface())
                    continue;
                ++hits;
                SbVec3f normal = expected.surfaceNormal;
                if (normal.dot(expected.point - eye) > 0.0f)
                    normal.negate();
                const SbVec3f offPoint = cursorPosition() - expected.point;
                const SbVec3f offAxis = cursorAxis() - normal;
                EXPECT_LT(offPoint.length(), 1.0e-3f) << after << " at " << x << ", " << y;
                EXPECT_LT(offAxis.length(), 1.0e-3f) << after << " at " << x << ", " << y;
            }
        return hits;
    }

    // The edit made by `edit` is followed by `rebuilds` index builds at the next moves.
    template <typename Edit> void expectAfter(const char* name, unsigned long rebuilds, Edit edit) {
        const unsigned long before = m_Cursor->getIndexBuildCount();
        edit();
        EXPECT_GT(expectLikeTheRayPick(name), 50) << name;
        EXPECT_EQ(m_Cursor->getIndexBuildCount() - before, rebuilds) << name;
    }

    SoQuadMesh* m_Terrain = nullptr;
    SoMaterial* m_Material = nullptr;
    SoSwitch* m_Switch = nullptr;
};

TEST_F(StickyCursorAfterEdits, LandsLikeTheRayPickAndRebuildsOnlyForSurfaceEdits) {
    EXPECT_GT(expectLikeTheRayPick("first moves"), 50);
    EXPECT_EQ(m_Cursor->getIndexBuildCount(), 1u);

    expectAfter("terrain vertices edited", 1, [&] {
        SoVertexProperty* vertices =
            static_cast<SoVertexProperty*>(m_Terrain->vertexProperty.getValue());
        for (int i = 0; i < vertices->vertex.getNum(); i += 7)
            vertices->vertex.set1Value(i, vertices->vertex[i] + SbVec3f(0.0f, 0.0f, 0.2f));
    });
    expectAfter("material edited", 0, [&] { m_Material->diffuseColor.setValue(0.2f, 0.9f, 0.1f); });
    expectAfter("light and camera edited", 0, [&] {
        m_Camera->focalDistance = 3.0f;
        static_cast<SoDirectionalLight*>(m_Root->getChild(1))->intensity = 0.5f;
    });
    expectAfter("cursor reshaped", 0, [&] {
        m_Cursor->setPredefinedShape(OivStickyCursor::CROSS);
        m_Cursor->setPredefinedShape(OivStickyCursor::ARROW);
    });
    expectAfter("node added", 1, [&] {
        SoSeparator* block = new SoSeparator;
        SoTranslation* place = new SoTranslation;
        place->translation.setValue(0.5f, 0.5f, 0.4f);
        block->addChild(place);
        block->addChild(new SoCube);
        m_Content->addChild(block);
    });
    expectAfter("node removed", 1,
                [&] { m_Content->removeChild(m_Content->getNumChildren() - 1); });
    expectAfter("switch flipped", 1, [&] { m_Switch->whichChild = SO_SWITCH_NONE; });
    expectAfter("transformation edited", 1,
                [&] { m_Move->translation.setValue(1.0f, -1.5f, 0.2f); });
}

// The switch that shows or hides the cursor lies in the picked scene but holds nothing else:
// flipping it leaves the surfaces where they are.
TEST_F(StickyCursorAfterEdits, ASwitchHoldingOnlyTheCursorIsNoSurfaceEdit) {
    SoSeparator* branch = static_cast<SoSeparator*>(m_Root->getChild(3));
    SoSwitch* show = new SoSwitch;
    show->whichChild = SO_SWITCH_ALL;
    show->addChild(m_Cursor);
    branch->replaceChild(m_Cursor, show);
    render();
    m_Cursor->onMouseMove(100, 75);
    const unsigned long built = m_Cursor->getIndexBuildCount();
    show->whichChild = SO_SWITCH_NONE;
    show->whichChild = SO_SWITCH_ALL;
    EXPECT_GT(expectLikeTheRayPick("cursor switch flipped"), 50);
    EXPECT_EQ(m_Cursor->getIndexBuildCount(), built);
}

// Straight down through an orthographic camera every ray runs along the X and Y slabs of the
// index's boxes (zero direction components), along the cube's side faces and the terrain's
// rows and columns.
TEST_F(StickyCursorAfterEdits, StraightDownRaysAlongTheAxes) {
    SoOrthographicCamera* above = new SoOrthographicCamera;
    above->position.setValue(0.0f, 0.0f, 10.0f);
    above->height = 7.0f;
    above->nearDistance = 1.0f;
    above->farDistance = 20.0f;
    m_Root->replaceChild(m_Camera, above);
    m_Camera = nullptr;
    render();
    EXPECT_GT(expectLikeTheRayPick("seen from straight above", above->position.getValue()), 50);
}

// The cursor's branch held a surface beside the cursor; once it is taken away the branch holds
// only the cursor, yet the index must lose the surface.
TEST_F(StickyCursorAfterEdits, ASurfaceTakenFromTheCursorsBranchIsGoneFromTheIndex) {
    SoSeparator* branch = static_cast<SoSeparator*>(m_Root->getChild(3));
    SoSeparator* beside = new SoSeparator;
    SoTranslation* place = new SoTranslation;
    place->translation.setValue(0.0f, 0.0f, 1.0f);
    beside->addChild(place);
    beside->addChild(new SoCube);
    branch->insertChild(beside, 0);
    render();
    EXPECT_GT(expectLikeTheRayPick("a surface beside the cursor"), 50);
    expectAfter("the surface beside the cursor removed", 1, [&] { branch->removeChild(beside); });
}

// A terrain whose points come from a coordinate node, starting part way into it: the same rows
// and columns, the same diagonals and the same normals as Coin's pick.
TEST_F(StickyCursorAfterEdits, ATerrainOfCoordinateNodePointsFromAStartIndex) {
    SoVertexProperty* vertices =
        static_cast<SoVertexProperty*>(m_Terrain->vertexProperty.getValue());
    SoCoordinate3* coordinates = new SoCoordinate3;
    constexpr int kSkipped = 5;
    coordinates->point.setNum(kSkipped);
    for (int i = 0; i < kSkipped; ++i)
        coordinates->point.set1Value(i, SbVec3f(9.0f, 9.0f, 9.0f));
    coordinates->point.setValues(kSkipped, vertices->vertex.getNum(),
                                 vertices->vertex.getValues(0));
    m_Terrain->vertexProperty = nullptr;
    m_Terrain->startIndex = kSkipped;
    m_Content->insertChild(coordinates, m_Content->findChild(m_Terrain));
    EXPECT_GT(expectLikeTheRayPick("coordinates from a node"), 50);
}

// The terrain as an indexed face set of triangles, split along the other diagonal than a quad
// mesh's: flat faces read from their coordinates, and with a crease angle the smooth normals of
// Coin's own triangle generation.
TEST_F(StickyCursorAfterEdits, ATerrainOfIndexedTrianglesFlatAndSmooth) {
    const SoVertexProperty* vertices =
        static_cast<const SoVertexProperty*>(m_Terrain->vertexProperty.getValue());
    const int columns = m_Terrain->verticesPerRow.getValue();
    const int rows = m_Terrain->verticesPerColumn.getValue();
    std::vector<int32_t> corners;
    for (int row = 0; row + 1 < rows; ++row)
        for (int column = 0; column + 1 < columns; ++column) {
            const int32_t a = row * columns + column, b = a + 1, c = a + columns, d = c + 1;
            corners.insert(corners.end(), {a, b, c, -1, b, d, c, -1});
        }
    SoCoordinate3* coordinates = new SoCoordinate3;
    coordinates->point.setValues(0, vertices->vertex.getNum(), vertices->vertex.getValues(0));
    SoIndexedFaceSet* faces = new SoIndexedFaceSet;
    faces->coordIndex.setValues(0, int(corners.size()), corners.data());
    SoSeparator* surface = new SoSeparator;
    SoShapeHints* hints = new SoShapeHints;
    surface->addChild(hints);
    surface->addChild(coordinates);
    surface->addChild(faces);
    m_Content->replaceChild(m_Terrain, surface);
    EXPECT_GT(expectLikeTheRayPick("flat triangles"), 50);
    hints->creaseAngle = 1.0f;
    EXPECT_GT(expectLikeTheRayPick("smooth triangles"), 50);
}
