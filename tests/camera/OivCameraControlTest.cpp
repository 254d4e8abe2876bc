// Camera alignment to axes and compass directions, and the camera under a new global Z scale.
#include "camera/OivCameraControl.h"

#include <Inventor/SoDB.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <tuple>

namespace {

using CC = OivCameraControl;

constexpr float kDirectionTolerance = 1e-5f;

SbVec3f axisVector(CC::WhichAxis axis) {
    const float sign = (axis % 2 == 0) ? 1.0f : -1.0f;
    SbVec3f v(0.0f, 0.0f, 0.0f);
    v[axis / 2] = sign;
    return v;
}

SbVec3f viewDirectionOf(const SoCamera& camera) {
    SbVec3f d;
    camera.orientation.getValue().multVec(SbVec3f(0.0f, 0.0f, -1.0f), d);
    return d;
}

SbVec3f upOf(const SoCamera& camera) {
    SbVec3f up;
    camera.orientation.getValue().multVec(SbVec3f(0.0f, 1.0f, 0.0f), up);
    return up;
}

SbVec3f focalPointOf(const SoCamera& camera) {
    return camera.position.getValue() + viewDirectionOf(camera) * camera.focalDistance.getValue();
}

::testing::AssertionResult near(const SbVec3f& expected, const SbVec3f& actual, float tolerance) {
    if ((expected - actual).length() <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "expected (" << expected[0] << ", " << expected[1] << ", " << expected[2] << ") got ("
           << actual[0] << ", " << actual[1] << ", " << actual[2] << ")";
}

// A camera somewhere in the scene, looking at a focal point away from the origin.
struct StartPose {
    const char* name;
    SbRotation orientation;
    SbVec3f position;
    float focalDistance;
};

std::ostream& operator<<(std::ostream& out, const StartPose& pose) {
    return out << pose.name;
}

const StartPose kStartPoses[] = {
    {"default", SbRotation::identity(), SbVec3f(0, 0, 1), 5.0f},
    {"oblique", SbRotation(SbVec3f(1, 2, 3), 0.7f), SbVec3f(120, -40, 300), 250.0f},
    {"looking_up", SbRotation(SbVec3f(1, 0, 0), 3.14159265f), SbVec3f(-5, 7, -900), 42.5f},
    {"tilted_west", SbRotation(SbVec3f(0, 1, 0.2f), -1.2f), SbVec3f(1e4f, 2e4f, -300), 1500.0f},
};

class CameraTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SoDB::init(); }

    void SetUp() override {
        camera = new SoPerspectiveCamera;
        camera->ref();
    }
    void TearDown() override { camera->unref(); }

    void pose(const StartPose& start) {
        camera->orientation.setValue(start.orientation);
        camera->position.setValue(start.position);
        camera->focalDistance.setValue(start.focalDistance);
    }

    SoPerspectiveCamera* camera = nullptr;
};

// --- alignment to an axis pair ------------------------------------------------------------------

class AxisPairTest : public CameraTest,
                     public ::testing::WithParamInterface<std::tuple<int, int, StartPose>> {};

TEST_P(AxisPairTest, LooksAlongNegatedViewAxisWithUpAxisUpAroundTheSameFocalPoint) {
    const auto viewAxis = static_cast<CC::WhichAxis>(std::get<0>(GetParam()));
    const auto upAxis = static_cast<CC::WhichAxis>(std::get<1>(GetParam()));
    pose(std::get<2>(GetParam()));
    const SbVec3f focus = focalPointOf(*camera);
    const float distance = camera->focalDistance.getValue();
    const float positionTolerance = 1e-5f * (focus.length() + distance) + 1e-4f;

    CC::alignCameraToAxis(camera, viewAxis, upAxis);

    EXPECT_TRUE(near(-axisVector(viewAxis), viewDirectionOf(*camera), kDirectionTolerance));
    EXPECT_TRUE(near(axisVector(upAxis), upOf(*camera), kDirectionTolerance));
    EXPECT_EQ(distance, camera->focalDistance.getValue());
    EXPECT_TRUE(near(focus, focalPointOf(*camera), positionTolerance));
    EXPECT_NEAR(distance, (camera->position.getValue() - focus).length(), positionTolerance);
}

std::vector<std::tuple<int, int>> validAxisPairs() {
    std::vector<std::tuple<int, int>> pairs;
    for (int view = CC::POSITIVE_X; view <= CC::NEGATIVE_Z; ++view)
        for (int up = CC::POSITIVE_X; up <= CC::NEGATIVE_Z; ++up)
            if (view / 2 != up / 2)
                pairs.emplace_back(view, up);
    return pairs;
}

std::vector<std::tuple<int, int, StartPose>> validPairsFromEveryPose() {
    std::vector<std::tuple<int, int, StartPose>> cases;
    for (const auto& [view, up] : validAxisPairs())
        for (const StartPose& start : kStartPoses)
            cases.emplace_back(view, up, start);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllValidPairs, AxisPairTest,
                         ::testing::ValuesIn(validPairsFromEveryPose()), [](const auto& info) {
                             return "view" + std::to_string(std::get<0>(info.param)) + "_up" +
                                    std::to_string(std::get<1>(info.param)) + "_" +
                                    std::get<2>(info.param).name;
                         });

TEST_F(CameraTest, PairsOnOneWorldAxisOrOutOfRangeKeepOrientationAndFocalPoint) {
    const int invalidPairs[][2] = {{0, 0}, {0, 1},  {1, 0}, {1, 1},  {2, 2},    {2, 3},
                                   {3, 2}, {3, 3},  {4, 4}, {4, 5},  {5, 4},    {5, 5},
                                   {6, 2}, {-1, 4}, {0, 6}, {2, -1}, {100, 100}};
    for (const auto& pair : invalidPairs) {
        SCOPED_TRACE(testing::Message() << "pair " << pair[0] << ", " << pair[1]);
        pose(kStartPoses[1]);
        const SbVec3f focus = focalPointOf(*camera);

        CC::alignCameraToAxis(camera, static_cast<CC::WhichAxis>(pair[0]),
                              static_cast<CC::WhichAxis>(pair[1]));

        EXPECT_TRUE(camera->orientation.getValue() == kStartPoses[1].orientation);
        EXPECT_TRUE(near(focus, focalPointOf(*camera), 1e-3f));
    }
}

TEST_F(CameraTest, NullCameraIsIgnored) {
    CC::alignCameraToAxis(nullptr, CC::POSITIVE_X, CC::POSITIVE_Y);
    CC::alignCameraToDirection(nullptr, CC::NORTH);
    CC::setCameraWithGlobalScales(nullptr, 1.0f, 2.0f);
    CC control;
    control.alignCamera(nullptr);
}

// --- compass directions -------------------------------------------------------------------------

struct DirectionCase {
    int direction;
    SbVec3f view;
    SbVec3f up;
};

TEST_F(CameraTest, EachDirectionLooksFromItsSideWithItsUpAndOutOfRangeMeansAbove) {
    const SbVec3f east(1, 0, 0), north(0, 1, 0), up(0, 0, 1);
    const DirectionCase cases[] = {
        {CC::ABOVE, -up, north}, {CC::BELOW, up, north}, {CC::WEST, east, up},
        {CC::EAST, -east, up},   {CC::SOUTH, north, up}, {CC::NORTH, -north, up},
        {6, -up, north},         {-1, -up, north},       {1000, -up, north},
    };
    for (const DirectionCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "direction " << c.direction);
        pose(kStartPoses[1]);
        const SbVec3f focus = focalPointOf(*camera);
        CC control;
        control.setDirection(static_cast<CC::Direction>(c.direction));

        control.alignCamera(camera);

        EXPECT_EQ(c.direction, control.getDirection());
        EXPECT_TRUE(near(c.view, viewDirectionOf(*camera), kDirectionTolerance));
        EXPECT_TRUE(near(c.up, upOf(*camera), kDirectionTolerance));
        EXPECT_TRUE(near(focus, focalPointOf(*camera), 1e-3f));
    }
}

TEST_F(CameraTest, FreshControlLooksDownNorthUpAndAligningTwiceChangesNothing) {
    CC control;
    EXPECT_TRUE(control.isKeepingFocus());
    EXPECT_EQ(CC::ABOVE, control.getDirection());
    EXPECT_EQ(nullptr, control.getDirectionLabels());
    pose(kStartPoses[3]);

    control.alignCamera(camera);
    const SbRotation orientation = camera->orientation.getValue();
    const SbVec3f position = camera->position.getValue();
    control.alignCamera(camera);

    EXPECT_TRUE(near(SbVec3f(0, 0, -1), viewDirectionOf(*camera), kDirectionTolerance));
    EXPECT_TRUE(near(SbVec3f(0, 1, 0), upOf(*camera), kDirectionTolerance));
    EXPECT_TRUE(orientation.equals(camera->orientation.getValue(), 1e-6f));
    EXPECT_TRUE(near(position, camera->position.getValue(), 1e-3f));
}

TEST_F(CameraTest, CopiesCarryDirectionAndKeepFocus) {
    CC control;
    control.setDirection(CC::SOUTH);
    control.enableKeepFocus(false);

    CC copy(control);
    CC assigned;
    assigned = control;

    for (const CC* c : {&copy, &assigned}) {
        EXPECT_EQ(CC::SOUTH, c->getDirection());
        EXPECT_FALSE(c->isKeepingFocus());
    }
}

// --- global Z scale -----------------------------------------------------------------------------

TEST_F(CameraTest, DoublingZScaleMovesCameraDownByTheFocalDepth) {
    camera->orientation.setValue(SbRotation::identity());
    camera->position.setValue(10, 20, 500);
    camera->focalDistance.setValue(1500); // focal point at z = -1000

    CC::setCameraWithGlobalScales(camera, 1.0f, 2.0f);

    EXPECT_TRUE(near(SbVec3f(10, 20, -500), camera->position.getValue(), 1e-3f));
    EXPECT_TRUE(camera->orientation.getValue() == SbRotation::identity());
    EXPECT_EQ(1500.0f, camera->focalDistance.getValue());
}

TEST_F(CameraTest, NewZScaleKeepsFocalXYAndViewOfAnObliqueCamera) {
    pose(kStartPoses[1]);
    const SbVec3f focus = focalPointOf(*camera);
    const SbRotation orientation = camera->orientation.getValue();

    CC::setCameraWithGlobalScales(camera, 2.0f, 5.0f);

    const SbVec3f moved = focalPointOf(*camera);
    EXPECT_NEAR(focus[0], moved[0], 1e-3f);
    EXPECT_NEAR(focus[1], moved[1], 1e-3f);
    EXPECT_NEAR(focus[2] * 2.5f, moved[2], 1e-3f);
    EXPECT_TRUE(camera->orientation.getValue() == orientation);
    EXPECT_EQ(kStartPoses[1].focalDistance, camera->focalDistance.getValue());
}

TEST_F(CameraTest, ZeroOrNonFiniteScalesLeaveTheCameraAsItWas) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float scales[][2] = {{0.0f, 2.0f}, {-0.0f, 2.0f}, {nan, 2.0f}, {inf, 2.0f},
                               {-inf, 1.0f}, {1.0f, nan},   {1.0f, inf}};
    for (const auto& s : scales) {
        SCOPED_TRACE(testing::Message() << "old " << s[0] << " new " << s[1]);
        pose(kStartPoses[1]);

        CC::setCameraWithGlobalScales(camera, s[0], s[1]);

        EXPECT_TRUE(camera->position.getValue() == kStartPoses[1].position);
        EXPECT_TRUE(camera->orientation.getValue() == kStartPoses[1].orientation);
    }
}

} // namespace
