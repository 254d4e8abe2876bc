// Curves taken from the scene: clicks in picking mode on pipes and line sets, the polyline that
// a click or a node names, recording without installing when auto-picking is off, and shapes
// inside a wrapper kit.
#include "CurveViewerTestSupport.h"

#include "tav/OivPipe.h"

#include <Inventor/SoSceneManager.h>
#include <Inventor/nodekits/SoWrapperKit.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoIndexedLineSet.h>
#include <Inventor/nodes/SoLineSet.h>
#include <Inventor/nodes/SoTranslation.h>
#include <Inventor/nodes/SoVertexProperty.h>

#include <iterator>

using namespace curvetest;

// Shapes of classes derived from the trackable ones (outside an anonymous namespace: the node
// macros define functions that Coin's type system calls, not this file).
namespace curvepicking {

class DerivedLineSet : public SoLineSet {
    SO_NODE_HEADER(DerivedLineSet);

public:
    static void initClass() { SO_NODE_INIT_CLASS(DerivedLineSet, SoLineSet, "SoLineSet"); }
    DerivedLineSet() { SO_NODE_CONSTRUCTOR(DerivedLineSet); }
};
SO_NODE_SOURCE(DerivedLineSet);

class DerivedPipe : public OivPipe {
    SO_NODE_HEADER(DerivedPipe);

public:
    static void initClass() { SO_NODE_INIT_CLASS(DerivedPipe, OivPipe, "OivPipe"); }
    DerivedPipe() { SO_NODE_CONSTRUCTOR(DerivedPipe); }
};
SO_NODE_SOURCE(DerivedPipe);

} // namespace curvepicking

using curvepicking::DerivedLineSet;
using curvepicking::DerivedPipe;

namespace {

// Three horizontal polylines at y = 10, 0 and -10, the last with a middle vertex.
const SbVec3f kStacked[] = {{-10, 10, 0},  {10, 10, 0}, {-10, 0, 0}, {10, 0, 0},
                            {-10, -10, 0}, {0, -10, 0}, {10, -10, 0}};

SoCoordinate3* coordinates(const SbVec3f* points, int count) {
    auto* node = new SoCoordinate3;
    node->point.setValues(0, count, points);
    return node;
}

SoIndexedLineSet* stackedIndexedLines() {
    auto* lines = new SoIndexedLineSet;
    const int32_t index[] = {0, 1, -1, 2, 3, -1, 4, 5, 6, -1};
    lines->coordIndex.setValues(0, int(std::size(index)), index);
    return lines;
}

// A line set whose vertices are in its own property node.
template <class LineSet = SoLineSet>
LineSet* lineSetWith(const std::vector<int32_t>& numVertices, const SbVec3f* points, int count) {
    auto* lines = new LineSet;
    lines->numVertices.setValues(0, int(numVertices.size()), numVertices.data());
    auto* property = new SoVertexProperty;
    property->vertex.setValues(0, count, points);
    lines->vertexProperty.setValue(property);
    return lines;
}

std::vector<SbVec3f> inputCurve(OivWinCurveViewer* viewer) {
    if (!viewer->isTrackingCurveDefined())
        return {};
    return std::vector<SbVec3f>(viewer->getTrackingCurve(),
                                viewer->getTrackingCurve() +
                                    viewer->getNumPointsOfInputTrackingCurve());
}

} // namespace

class CurvePickingTest : public CurveViewerTest {
protected:
    void SetUp() override {
        CurveViewerTest::SetUp();
        static const bool registered =
            (DerivedLineSet::initClass(), DerivedPipe::initClass(), true);
        (void)registered;
    }

    // Shows `content`, switches tracking on and the viewer to picking mode.
    void pickIn(SoNode* content) {
        showScene(content);
        viewer->enableTracking();
        viewer->setViewing(FALSE);
        heard = {};
    }

    // Asks the viewer to pick at `world` as its click handling does, without a camera move.
    bool pickAt(const SbVec3f& world) {
        const POINT at = pixelOf(world);
        SoSceneManager* manager = viewer->getSceneManager();
        return viewer->getTrackingInfoFromPickedNode(
            manager->getSceneGraph(), manager->getGLRenderAction()->getViewportRegion(),
            SbVec2s(short(at.x), short(kHeight - 1 - at.y)), false);
    }
};

TEST_F(CurvePickingTest, ClickOnAnIndexedPolylineInstallsItsRunAtTheHitPoint) {
    auto* content = new SoSeparator;
    content->addChild(coordinates(kStacked, 7));
    SoIndexedLineSet* lines = stackedIndexedLines();
    content->addChild(lines);
    pickIn(content);

    click(SbVec3f(5, -10, 0));
    EXPECT_EQ(inputCurve(viewer), (std::vector<SbVec3f>{kStacked[4], kStacked[5], kStacked[6]}));
    EXPECT_EQ(viewer->getTrackingNode(), lines);
    EXPECT_EQ(heard.said, (std::vector<std::string>{"pre", "curve", "point"}));
    // The tracking point is where the ray met the line, and the camera looks at it.
    EXPECT_TRUE(near(viewer->getTrackingPoint(), SbVec3f(5, -10, 0), 0.5f));
    EXPECT_NEAR(viewer->getTrackingPoint()[1], -10.0f, 1e-4f);
    EXPECT_TRUE(near(focalPointOf(*camera()), viewer->getTrackingPoint()));
}

// A null function in any list is not called when the list fires; the other listeners still are.
TEST_F(CurvePickingTest, ANullListenerIsNotAdded) {
    const SbVec3f points[] = {{-10, 0, 0}, {0, 0, 0}, {10, 0, 0}};
    pickIn(lineSetWith({3}, points, 3));
    viewer->addPreTrackingCurveChangedCallback(nullptr, &heard);
    viewer->addTrackingCurveChangedCallback(nullptr, &heard);
    viewer->addTrackingPointChangedCallback(nullptr, &heard);
    click(SbVec3f(5, 0, 0));
    EXPECT_EQ(heard.said, (std::vector<std::string>{"pre", "curve", "point"}));
}

TEST_F(CurvePickingTest, ClickOnALineSetTakesTheVerticesOfThatPolyline) {
    const SbVec3f points[] = {{-10, 10, 0}, {0, 10, 0}, {10, 10, 0}, {-10, -5, 0},
                              {-3, -5, 0},  {3, -5, 0}, {10, -5, 0}};
    pickIn(lineSetWith({3, 4}, points, 7));
    click(SbVec3f(6, -5, 0));
    EXPECT_EQ(inputCurve(viewer), std::vector<SbVec3f>(points + 3, points + 7));
}

TEST_F(CurvePickingTest, MinusOneTakesEveryVertexByClickAndByNode) {
    const SbVec3f points[] = {{-10, 0, 0}, {0, 5, 0}, {10, 0, 0}};
    SoLineSet* lines = lineSetWith({-1}, points, 3);
    pickIn(lines);
    click(SbVec3f(-5, 2.5f, 0));
    EXPECT_EQ(inputCurve(viewer), std::vector<SbVec3f>(points, points + 3));

    viewer->disableTracking(true);
    viewer->setTrackingNode(lines, 0);
    EXPECT_EQ(inputCurve(viewer), std::vector<SbVec3f>(points, points + 3));
    // A node's curve starts at its first point, and the camera goes there.
    EXPECT_EQ(viewer->getTrackingPoint(), points[0]);
    EXPECT_TRUE(near(focalPointOf(*camera()), points[0]));
}

TEST_F(CurvePickingTest, OnlyExactLineSetClassesButDerivedPipesAreTracked) {
    const SbVec3f points[] = {{-10, 5, 0}, {10, 5, 0}};
    auto* content = new SoSeparator;
    content->addChild(lineSetWith<DerivedLineSet>({2}, points, 2));
    auto* pipe = new DerivedPipe;
    const SbVec3f path[] = {{-10, -5, 0}, {0, -5, 0}, {10, -5, 0}};
    pipe->points.setValues(0, 3, path);
    pipe->radius = 1.0f;
    content->addChild(pipe);
    pickIn(content);

    click(SbVec3f(0, 5, 0));
    EXPECT_FALSE(viewer->isTrackingCurveDefined());
    EXPECT_TRUE(heard.said.empty());

    click(SbVec3f(5, -5, 0));
    EXPECT_EQ(inputCurve(viewer), std::vector<SbVec3f>(path, path + 3));
    EXPECT_EQ(viewer->getTrackingNode(), pipe);
    // The hit is on the pipe's surface, about its radius off the centre line.
    EXPECT_TRUE(near(viewer->getTrackingPoint(), SbVec3f(5, -5, 1), 0.5f));
}

TEST_F(CurvePickingTest, WithoutAutoPickingAPickIsOnlyRecordedUntilValidated) {
    auto* content = new SoSeparator;
    content->addChild(coordinates(kStacked, 7));
    SoIndexedLineSet* lines = stackedIndexedLines();
    content->addChild(lines);
    pickIn(content);
    viewer->setAutoPickingTrackingNode(false);

    EXPECT_FALSE(pickAt(SbVec3f(5, -10, 0)));
    EXPECT_EQ(heard.said, (std::vector<std::string>{"pre"}));
    EXPECT_FALSE(viewer->isTrackingCurveDefined());
    EXPECT_EQ(viewer->getPreTrackingNode(), lines);

    viewer->validatePreTrackingNode();
    // Polyline 0, whatever was clicked, and the point that was clicked.
    EXPECT_EQ(inputCurve(viewer), (std::vector<SbVec3f>{kStacked[0], kStacked[1]}));
    EXPECT_TRUE(near(viewer->getTrackingPoint(), SbVec3f(5, -10, 0), 0.5f));
    EXPECT_TRUE(near(focalPointOf(*camera()), viewer->getTrackingPoint()));
    EXPECT_EQ(viewer->getPreTrackingNode(), nullptr);

    // The curve gate silences the pre-tracking list too.
    heard = {};
    viewer->disableTrackingCurveChangedCallback();
    EXPECT_FALSE(pickAt(SbVec3f(5, 0, 0)));
    EXPECT_TRUE(heard.said.empty());
    EXPECT_EQ(viewer->getPreTrackingNode(), lines);
}

// The picked nodes belong to the scene: once it lets them go (the node is deleted, or the viewer
// is given another scene) the viewer forgets them, and validating a pick does nothing.
TEST_F(CurvePickingTest, PickedNodesAreForgottenWhenTheSceneLetsThemGo) {
    enum class Release { DeleteNode, ReplaceScene };
    for (Release release : {Release::DeleteNode, Release::ReplaceScene}) {
        auto* content = new SoSeparator;
        content->addChild(coordinates(kStacked, 7));
        SoIndexedLineSet* lines = stackedIndexedLines();
        content->addChild(lines);
        pickIn(content);
        EXPECT_TRUE(pickAt(SbVec3f(5, 10, 0)));
        viewer->setAutoPickingTrackingNode(false);
        EXPECT_FALSE(pickAt(SbVec3f(5, -10, 0)));
        ASSERT_EQ(viewer->getTrackingNode(), lines);
        ASSERT_EQ(viewer->getPreTrackingNode(), lines);
        const std::vector<SbVec3f> curve = inputCurve(viewer);
        const SbVec3f point = viewer->getTrackingPoint();

        if (release == Release::DeleteNode) {
            content->removeChild(lines);
        } else {
            auto* other = new SoSeparator;
            other->ref();
            viewer->setSceneGraph(other);
            root->unref();
            root = other;
        }
        EXPECT_EQ(viewer->getTrackingNode(), nullptr);
        EXPECT_FALSE(viewer->isTrackingNodeDefined());
        EXPECT_EQ(viewer->getPreTrackingNode(), nullptr);
        viewer->validatePreTrackingNode();
        EXPECT_EQ(inputCurve(viewer), curve);
        EXPECT_EQ(viewer->getTrackingPoint(), point);
        root->unref();
        root = nullptr;
        viewer->setAutoPickingTrackingNode(true);
    }
}

TEST_F(CurvePickingTest, ALineSetInAWrapperKitUsesTheKitsLastCoordinatesAndItsPlace) {
    const SbVec3f decoy[] = {{0, 40, 0}, {1, 40, 0}};
    const SbVec3f drawn[] = {{-10, 0, 0}, {10, 0, 0}, {10, 3, 0}};
    auto* contents = new SoSeparator;
    contents->addChild(coordinates(decoy, 2));
    contents->addChild(coordinates(drawn, 3));
    auto* lines = new SoLineSet;
    contents->addChild(lines);
    auto* kit = new SoWrapperKit;
    kit->setPart("contents", contents);
    kit->set("transform { translation 0 -8 0 }");
    pickIn(kit);

    click(SbVec3f(5, -8, 0));
    const SbVec3f offset(0, -8, 0);
    EXPECT_EQ(inputCurve(viewer),
              (std::vector<SbVec3f>{drawn[0] + offset, drawn[1] + offset, drawn[2] + offset}));
    EXPECT_EQ(viewer->getTrackingNode(), lines);
    // The node's own space is the kit's: the tracking point converts back without the offset.
    EXPECT_TRUE(near(viewer->getTrackingPointInTrackingNodeSpace(), SbVec3f(5, 0, 0), 0.5f));
}

TEST_F(CurvePickingTest, ANamedGroupIsTheTrackingNodeAClickedShapeItself) {
    auto* group = new SoSeparator;
    group->addChild(new SoTranslation);
    static_cast<SoTranslation*>(group->getChild(0))->translation.setValue(0, 2, 0);
    group->addChild(coordinates(kStacked, 7));
    SoIndexedLineSet* lines = stackedIndexedLines();
    group->addChild(lines);
    pickIn(group);

    viewer->setTrackingNode(group, 1);
    const SbVec3f up(0, 2, 0);
    EXPECT_EQ(viewer->getTrackingNode(), group);
    EXPECT_EQ(inputCurve(viewer), (std::vector<SbVec3f>{kStacked[2] + up, kStacked[3] + up}));
    EXPECT_EQ(viewer->getTrackingPoint(), kStacked[2] + up);

    click(SbVec3f(5, 12, 0));
    EXPECT_EQ(viewer->getTrackingNode(), lines);
    EXPECT_EQ(inputCurve(viewer), (std::vector<SbVec3f>{kStacked[0] + up, kStacked[1] + up}));

    // A node that is not in the scene installs nothing.
    auto* stray = new SoSeparator;
    stray->ref();
    stray->addChild(coordinates(kStacked, 7));
    stray->addChild(stackedIndexedLines());
    viewer->setTrackingNode(stray, 0);
    EXPECT_EQ(viewer->getTrackingNode(), lines);
    stray->unref();
}
