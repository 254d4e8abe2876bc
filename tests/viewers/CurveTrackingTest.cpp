// The tracking curve of a curve viewer: what the resampling gives, where the points live (world
// or object space), buffers that must grow instead of overflowing, and when each notification
// list speaks.
#include "CurveViewerTestSupport.h"

#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoTranslation.h>

#include <cmath>
#include <limits>

using namespace curvetest;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

// Segments of 3.5, 1.5 and 95 units: 100 in all, so the plain form's step is exactly 1.
const SbVec3f kA(0, 0, 0), kB(3.5f, 0, 0), kC(3.5f, 1.5f, 0), kD(3.5f, 1.5f, 95);

// A zigzag of `count` points, each segment `length` long.
std::vector<SbVec3f> zigzag(int count, float length) {
    std::vector<SbVec3f> points;
    for (int i = 0; i < count; ++i)
        points.emplace_back(float(i) * length, (i % 2) * length, 0.0f);
    return points;
}

SbMatrix translation(const SbVec3f& by) {
    SbMatrix matrix;
    matrix.setTranslate(by);
    return matrix;
}

} // namespace

TEST_F(CurveViewerTest, ResamplingCutsLongSegmentsAndKeepsShortOnes) {
    // Only points 5 to 8 belong to the curve; reading any other would spoil it.
    const SbVec3f points[] = {{kNaN, 0, 0}, {kNaN, 0, 0}, {kNaN, 0, 0}, {kNaN, 0, 0}, {kNaN, 0, 0},
                              kA,           kB,           kC,           kD,           {kNaN, 0, 0}};
    viewer->setTrackingCurve(5, 4, points, kC, false);

    ASSERT_EQ(viewer->getNumPointsOfInputTrackingCurve(), 4);
    EXPECT_EQ(viewer->getNthPointOnInputTrackingCurve(0), kA);
    const SbVec3f* resampled = viewer->getResampledTrackingCurve();
    // A, the middle and end of the 3.5 segment, the end of the 1.5 one, 94 points along the last.
    ASSERT_EQ(viewer->getNumResampledPoints(), 1 + 2 + 1 + 94);
    EXPECT_EQ(resampled[0], kA);
    EXPECT_TRUE(near(resampled[1], SbVec3f(1.75f, 0, 0)));
    EXPECT_TRUE(near(resampled[2], kB));
    EXPECT_TRUE(near(resampled[3], kC));
    EXPECT_TRUE(near(resampled[97], kD));
    for (int i = 4; i < 97; ++i)
        ASSERT_TRUE(near(resampled[i], SbVec3f(3.5f, 1.5f, 95.0f * (i - 3) / 94)));
    // The initial point is taken as given, not snapped.
    EXPECT_EQ(viewer->getTrackingPoint(), kC);
}

TEST_F(CurveViewerTest, MatrixFormKeepsWorldPointsAndPlainFormTheInput) {
    const SbVec3f points[] = {kA, kB, kC, kD};
    const SbVec3f offset(10, 20, 30);
    viewer->setTrackingCurve(0, 4, points, kB, translation(offset), false);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(viewer->getNthPointOnInputTrackingCurve(i), points[i] + offset);
    const int n = viewer->getNumResampledPoints();
    // Cut ten times finer than the plain form, and transformed.
    EXPECT_GT(n, 900);
    EXPECT_LE(n, 4 + 1000);
    EXPECT_EQ(viewer->getResampledTrackingCurve()[0], kA + offset);
    EXPECT_TRUE(near(viewer->getResampledTrackingCurve()[n - 1], kD + offset, 1e-3f));
    EXPECT_EQ(viewer->getTrackingPoint(), kB + offset);

    viewer->setTrackingCurve(0, 4, points, kB, false);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(viewer->getNthPointOnInputTrackingCurve(i), points[i]);
    EXPECT_EQ(viewer->getTrackingPoint(), kB);
}

TEST_F(CurveViewerTest, EqualPointsAndSinglePointsAreTheirOwnResampling) {
    const SbVec3f same[] = {kB, kB, kB};
    viewer->setTrackingCurve(0, 3, same, kA, false);
    ASSERT_EQ(viewer->getNumResampledPoints(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(viewer->getResampledTrackingCurve()[i], kB);

    viewer->setTrackingCurve(0, 1, same, kD, false);
    EXPECT_EQ(viewer->getNumResampledPoints(), 1);
    EXPECT_EQ(viewer->getTrackingPoint(), kD);
}

TEST_F(CurveViewerTest, CurvesLongerThanTheBufferGrowIt) {
    // The plain form's first buffer holds 10 000 points; this curve resamples to its own 20 000.
    const std::vector<SbVec3f> plain = zigzag(20000, 1.0f);
    viewer->setTrackingCurve(0, int(plain.size()), plain.data(), plain[0], false);
    ASSERT_EQ(viewer->getNumResampledPoints(), 20000);
    EXPECT_EQ(viewer->getResampledTrackingCurve()[viewer->getNumResampledPoints() - 1],
              plain.back());

    // A matrix-form curve after a plain-form buffer: 12 000 points, more than it first held.
    const std::vector<SbVec3f> fine = zigzag(12000, 1.0f);
    const SbVec3f offset(0, 0, 5);
    viewer->setTrackingCurve(0, int(fine.size()), fine.data(), fine[0], translation(offset), false);
    ASSERT_EQ(viewer->getNumResampledPoints(), 12000);
    EXPECT_TRUE(near(viewer->getResampledTrackingCurve()[viewer->getNumResampledPoints() - 1],
                     fine.back() + offset, 1e-2f));

    // A curve with no points changes nothing.
    const int before = viewer->getNumResampledPoints();
    viewer->setTrackingCurve(0, 0, fine.data(), kA, false);
    viewer->setTrackingCurve(0, 3, nullptr, kA, false);
    EXPECT_EQ(viewer->getNumResampledPoints(), before);
    EXPECT_EQ(viewer->getNumPointsOfInputTrackingCurve(), int(fine.size()));

    // A forgotten curve leaves no count behind: a host walking the counts would read freed points.
    viewer->disableTracking(true);
    EXPECT_EQ(viewer->getResampledTrackingCurve(), nullptr);
    EXPECT_EQ(viewer->getNumResampledPoints(), 0);
    EXPECT_EQ(viewer->getNumPointsOfInputTrackingCurve(), 0);
}

TEST_F(CurveViewerTest, NotificationsComeCurveFirstThenPointThenTheCameraMoves) {
    showScene(new SoCube);
    const SbVec3f points[] = {kA, kB, kC};
    const SbVec3f before = focalPointOf(*camera());
    viewer->setTrackingCurve(0, 3, points, kC, true);
    ASSERT_EQ(heard.said, (std::vector<std::string>{"curve", "point"}));
    // Both heard before the camera moved; it moved afterwards.
    EXPECT_TRUE(near(heard.focalPoints[1], before));
    EXPECT_TRUE(near(focalPointOf(*camera()), kC));

    heard = {};
    viewer->disableTrackingPointChangedCallback();
    viewer->setTrackingCurve(0, 3, points, kB, false);
    EXPECT_EQ(heard.said, (std::vector<std::string>{"curve"}));

    heard = {};
    viewer->enableTrackingPointChangedCallback();
    viewer->disableTrackingCurveChangedCallback();
    viewer->setTrackingCurve(0, 3, points, kB, false);
    viewer->updateTrackingPoint(kB, false, false); // the same point still speaks
    EXPECT_EQ(heard.said, (std::vector<std::string>{"point", "point"}));

    // Switching tracking on (which moves the camera) and off (which forgets the point) is silent.
    heard = {};
    viewer->enableTracking();
    viewer->disableTracking(true);
    viewer->enableTracking();
    EXPECT_TRUE(heard.said.empty());

    viewer->removeTrackingPointChangedCallback(Notifications::pointCB, &heard);
    viewer->updateTrackingPoint(kA, false, true);
    EXPECT_TRUE(heard.said.empty()); // the curve gate is still off
}

// A point that is not finite, given directly, through a matrix or as the start of a curve, would
// have carried the camera off to an undefined position for good.
TEST_F(CurveViewerTest, APointThatIsNotFiniteLeavesTheTrackingPointAndTheCamera) {
    showScene(new SoCube);
    const SbVec3f points[] = {kA, kB, kC};
    viewer->setTrackingCurve(0, 3, points, kB, true);
    const SbVec3f position = camera()->position.getValue();
    heard = {};

    viewer->updateTrackingPoint(SbVec3f(kNaN, 0, 0), true, false);
    SbMatrix infinite;
    infinite.setScale(std::numeric_limits<float>::infinity());
    viewer->updateTrackingPoint(kC, infinite, true);
    viewer->setTrackingCurve(0, 3, points, SbVec3f(0, kNaN, 0), true);

    EXPECT_EQ(viewer->getTrackingPoint(), kB);
    EXPECT_EQ(camera()->position.getValue(), position);
    EXPECT_EQ(heard.said, (std::vector<std::string>{"point", "point", "curve", "point"}));
    viewer->resetToHomePosition();
    const SbVec3f home = camera()->position.getValue();
    EXPECT_TRUE(std::isfinite(home[0]) && std::isfinite(home[1]) && std::isfinite(home[2]));
}

TEST_F(CurveViewerTest, SpaceConversionsUseTheNodesPlaceInTheScene) {
    auto* content = new SoSeparator;
    auto* move = new SoTranslation;
    move->translation.setValue(5, 0, 0);
    auto* cube = new SoCube;
    content->addChild(move);
    content->addChild(cube);
    showScene(content);
    viewer->updateTrackingPoint(SbVec3f(7, 1, 0), false, false);

    SbVec3f& inCube = viewer->getTrackingPointInObjectSpace(cube);
    EXPECT_TRUE(near(inCube, SbVec3f(2, 1, 0)));
    auto* outside = new SoCube;
    outside->ref();
    SbVec3f& notFound = viewer->getTrackingPointInObjectSpace(outside);
    // The viewer's own vector, refilled by each call.
    EXPECT_EQ(&notFound, &inCube);
    EXPECT_EQ(notFound, SbVec3f(-999.25f, -999.25f, -999.25f));
    outside->unref();

    const SbVec3f points[] = {kA, kB};
    viewer->setTrackingCurve(0, 2, points, kB, translation(SbVec3f(0, 0, 10)), false);
    EXPECT_TRUE(near(viewer->getTrackingPoint(), SbVec3f(3.5f, 0, 10)));
}
