// A pipe is a real shape: it draws, has a bounding box of its tube, is picked as the tail of a
// path, hands out its centre line, and derived classes are pipes too.
#include "support/RenderedImage.h"
#include "tav/OivPipe.h"

#include <Inventor/SbBox3f.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/actions/SoGetPrimitiveCountAction.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

// A pipe of another kind, as a host library might derive one.
class DerivedPipe : public OivPipe {
    typedef OivPipe inherited;
    SO_NODE_HEADER(DerivedPipe);

public:
    static void initClass(void) {
        if (getClassTypeId() == SoType::badType())
            SO_NODE_INIT_CLASS(DerivedPipe, OivPipe, "OivPipe");
    }
    DerivedPipe(void) { SO_NODE_CONSTRUCTOR(DerivedPipe); }

protected:
    virtual ~DerivedPipe() {}
};

SO_NODE_SOURCE(DerivedPipe);

namespace {

const SbVec3f kPath[] = {SbVec3f(0, 0, 0), SbVec3f(10, 0, 0), SbVec3f(10, 10, 0)};
constexpr float kRadius = 1.0f;

class Pipe : public ::testing::Test {
protected:
    void SetUp() override {
        m_Root = new SoSeparator;
        m_Root->ref();
        m_Pipe = new OivPipe;
        m_Pipe->points.setValues(0, 3, kPath);
        m_Pipe->radius = kRadius;
        m_Root->addChild(m_Pipe);
    }
    void TearDown() override { m_Root->unref(); }

    SbBox3f boundingBox() const {
        SoGetBoundingBoxAction action(m_Viewport);
        action.apply(m_Root);
        return action.getBoundingBox();
    }

    int triangleCount() const {
        SoGetPrimitiveCountAction count(m_Viewport);
        count.apply(m_Root);
        return count.getTriangleCount();
    }

    SbViewportRegion m_Viewport{100, 100};
    SoSeparator* m_Root = nullptr;
    OivPipe* m_Pipe = nullptr;
};

TEST_F(Pipe, HandsOutItsCentreLineInOrder) {
    ASSERT_EQ(m_Pipe->getNumPathPoints(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(m_Pipe->getPathPoints()[i], kPath[i]);
}

TEST_F(Pipe, BoundingBoxIsTheTubeAroundTheCentreLine) {
    const SbBox3f box = boundingBox();
    const float tolerance = 1.0e-4f;
    EXPECT_NEAR(box.getMin()[0], 0.0f, tolerance); // flat cap at the start
    EXPECT_NEAR(box.getMax()[0], 10.0f + kRadius, tolerance);
    EXPECT_NEAR(box.getMin()[1], -kRadius, tolerance);
    EXPECT_NEAR(box.getMax()[1], 10.0f, tolerance); // flat cap at the end
    EXPECT_NEAR(box.getMin()[2], -kRadius, 0.05f);  // a 12-sided ring reaches the radius
    EXPECT_NEAR(box.getMax()[2], kRadius, 0.05f);
}

TEST_F(Pipe, RayPickHitsTheWallAndEndsThePathWithThePipe) {
    SoRayPickAction action(m_Viewport);
    // Down onto the first segment, and onto the second after the bend.
    for (const SbVec3f& above : {SbVec3f(5, 0, 50), SbVec3f(10, 5, 50)}) {
        action.setRay(above, SbVec3f(0, 0, -1));
        action.apply(m_Root);
        const SoPickedPoint* point = action.getPickedPoint();
        ASSERT_NE(point, nullptr) << above[0] << ", " << above[1];
        EXPECT_EQ(point->getPath()->getTail(), m_Pipe);
        EXPECT_NEAR(point->getPoint()[2], kRadius, 0.05f);
        EXPECT_NEAR(point->getNormal()[2], 1.0f, 0.05f);
    }
    action.setRay(SbVec3f(5, 5, 50), SbVec3f(0, 0, -1)); // inside the bend: nothing
    action.apply(m_Root);
    EXPECT_EQ(action.getPickedPoint(), nullptr);
}

TEST_F(Pipe, FewerThanTwoDistinctPointsOrNoRadiusMakeNothing) {
    m_Pipe->points.setValues(0, 2, std::vector<SbVec3f>(2, SbVec3f(1, 1, 1)).data());
    m_Pipe->points.setNum(2);
    EXPECT_TRUE(boundingBox().isEmpty());
    m_Pipe->points.setValues(0, 3, kPath);
    m_Pipe->radius = 0.0f;
    EXPECT_TRUE(boundingBox().isEmpty());
    SoGetPrimitiveCountAction count(m_Viewport);
    count.apply(m_Root);
    EXPECT_EQ(count.getTriangleCount(), 0);
}

TEST_F(Pipe, RepeatedPointsAddNoTriangles) {
    SoGetPrimitiveCountAction count(m_Viewport);
    count.apply(m_Root);
    const int triangles = count.getTriangleCount();
    // Two segments of 12 sides (2 triangles each) and two caps of 12 triangles.
    EXPECT_EQ(triangles, 2 * 12 * 2 + 2 * 12);
    const SbVec3f repeated[] = {kPath[0], kPath[1], kPath[1], kPath[2], kPath[2]};
    m_Pipe->points.setValues(0, 5, repeated);
    count.apply(m_Root);
    EXPECT_EQ(count.getTriangleCount(), triangles);
}

// Coin's reader turns numbers it cannot read into zeros, but a host sets fields from its own
// data.
TEST_F(Pipe, PointsAndRadiiThatAreNoNumbersOrOverflowNeverReachTheBoundingBox) {
    const SbBox3f tube = boundingBox();
    const float nan = NAN, inf = INFINITY;
    // Such points are passed over: the tube runs through the others.
    const SbVec3f holes[] = {{nan, 0, 0}, kPath[0],       {inf, inf, 0},
                             kPath[1],    {0, -inf, nan}, kPath[2]};
    m_Pipe->points.setValues(0, 6, holes);
    ASSERT_EQ(m_Pipe->getNumPathPoints(), 6) << "the centre line is handed out as it is";
    EXPECT_EQ(boundingBox().getMin(), tube.getMin());
    EXPECT_EQ(boundingBox().getMax(), tube.getMax());

    for (float radius : {nan, inf}) {
        m_Pipe->radius = radius;
        EXPECT_TRUE(boundingBox().isEmpty()) << radius;
        EXPECT_EQ(triangleCount(), 0) << radius;
    }
    // Numbers whose differences overflow.
    m_Pipe->radius = kRadius;
    const SbVec3f far[] = {{-3.0e38f, 0, 0}, {3.0e38f, 0, 0}};
    m_Pipe->points.setValues(0, 2, far);
    m_Pipe->points.setNum(2);
    EXPECT_TRUE(boundingBox().isEmpty());
    EXPECT_EQ(triangleCount(), 0);
}

TEST_F(Pipe, SideCountIsHeldBetweenThreeAndTwoHundredFiftySix) {
    // Two segments of `sides` sides (2 triangles each) and two caps of `sides` triangles.
    const auto trianglesFor = [](int sides) { return 2 * sides * 2 + 2 * sides; };
    m_Pipe->numSides = INT_MAX; // without a bound: tens of gigabytes of rings
    EXPECT_EQ(triangleCount(), trianglesFor(256));
    m_Pipe->numSides = INT_MIN;
    EXPECT_EQ(triangleCount(), trianglesFor(3));
}

TEST_F(Pipe, DrawsWhereItRuns) {
    SoSeparator* scene = new SoSeparator;
    scene->ref();
    SoOrthographicCamera* camera = new SoOrthographicCamera;
    camera->position.setValue(5, 5, 20);
    camera->height = 14;
    camera->farDistance = 40;
    scene->addChild(camera);
    SoLightModel* unlit = new SoLightModel;
    unlit->model = SoLightModel::BASE_COLOR;
    scene->addChild(unlit);
    SoBaseColor* white = new SoBaseColor;
    white->rgb.setValue(1, 1, 1);
    scene->addChild(white);
    scene->addChild(m_Root);
    const RenderedImage image(scene, 140, 140);
    ASSERT_TRUE(image.isValid());
    // 10 pixels per unit, origin at (20, 20): on the first segment, on the second, in the bend.
    EXPECT_EQ(image.at(70, 20), (Rgb{255, 255, 255}));
    EXPECT_EQ(image.at(120, 70), (Rgb{255, 255, 255}));
    EXPECT_EQ(image.at(70, 70), (Rgb{0, 0, 0}));
    scene->unref();
}

TEST(PipeType, DerivedClassesArePipes) {
    DerivedPipe::initClass();
    DerivedPipe* derived = new DerivedPipe;
    derived->ref();
    EXPECT_TRUE(derived->isOfType(OivPipe::getClassTypeId()));
    EXPECT_FALSE(OivPipe::getClassTypeId().isDerivedFrom(DerivedPipe::getClassTypeId()));
    derived->unref();
}

} // namespace
