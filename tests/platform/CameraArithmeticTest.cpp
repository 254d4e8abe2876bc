// The camera arithmetic of the viewers, checked on bare Coin cameras.
#include <Inventor/SoDB.h>
#include <Inventor/Win/viewers/SoWinCameraDolly.h>
#include <Inventor/Win/viewers/SoWinCameraPan.h>
#include <Inventor/Win/viewers/SoWinCameraSeek.h>
#include <Inventor/Win/viewers/SoWinCameraState.h>
#include <Inventor/Win/viewers/SoWinCameraTrackball.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kTolerance = 1e-4f;

void expectNear(const SbVec3f& actual, const SbVec3f& expected, float tolerance = kTolerance) {
    EXPECT_LT((actual - expected).length(), tolerance)
        << "actual (" << actual[0] << ", " << actual[1] << ", " << actual[2] << "), expected ("
        << expected[0] << ", " << expected[1] << ", " << expected[2] << ")";
}

SbVec3f focalPoint(const SoCamera& camera) {
    return SoWinCameraState::of(camera).getFocalPoint();
}

// A camera at (1, 2, 10) looking down -Z at a focal point 10 units away, off the axes enough
// that sign slips show.
template <class Camera> Camera* makeCamera() {
    SoDB::init();
    auto* camera = new Camera;
    camera->ref();
    camera->position.setValue(1.0f, 2.0f, 10.0f);
    camera->focalDistance.setValue(10.0f);
    return camera;
}

} // namespace

TEST(CameraTrackball, DragTurnsAboutTheFocalPoint) {
    SoPerspectiveCamera* camera = makeCamera<SoPerspectiveCamera>();
    const SbVec3f before = focalPoint(*camera);
    SoWinCameraTrackball ball;
    ball.begin(SbVec2f(0.5f, 0.5f));
    SoWinCameraTrackball::rotate(*camera, ball.drag(SbVec2f(0.7f, 0.5f)));

    expectNear(focalPoint(*camera), before);
    EXPECT_FLOAT_EQ(camera->focalDistance.getValue(), 10.0f);
    EXPECT_FALSE(camera->orientation.getValue().equals(SbRotation::identity(), 1e-3f));
    // Dragging right brings the scene's right side forward: the camera swings to the left.
    EXPECT_LT(camera->position.getValue()[0], 1.0f);
    EXPECT_FLOAT_EQ(camera->position.getValue()[1], 2.0f);
    camera->unref();
}

TEST(CameraPan, KeepsTheFocalPlanePointUnderTheMouse) {
    SoPerspectiveCamera* camera = makeCamera<SoPerspectiveCamera>();
    const SbRotation orientation = camera->orientation.getValue();
    // Heading right by a quarter of a square view at 45 degrees and 10 units: the focal
    // plane is 2 * 10 * tan(22.5°) high and wide, so the camera moves left by a quarter of it.
    SoWinCameraPan::pan(*camera, 1.0f, SbVec2f(0.5f, 0.5f), SbVec2f(0.75f, 0.5f));
    const float quarter = 0.25f * 2.0f * 10.0f * std::tan(0.785398163f / 2.0f);
    expectNear(camera->position.getValue(), SbVec3f(1.0f - quarter, 2.0f, 10.0f));
    EXPECT_TRUE(camera->orientation.getValue().equals(orientation, 1e-6f));
    camera->unref();
}

TEST(CameraDolly, PerspectiveMovesAlongTheLineOfSightOrthographicScalesHeight) {
    SoPerspectiveCamera* perspective = makeCamera<SoPerspectiveCamera>();
    SoWinCameraDolly::dolly(*perspective, std::log(0.5f));
    expectNear(perspective->position.getValue(), SbVec3f(1.0f, 2.0f, 5.0f));
    EXPECT_NEAR(perspective->focalDistance.getValue(), 5.0f, kTolerance);
    expectNear(focalPoint(*perspective), SbVec3f(1.0f, 2.0f, 0.0f));
    perspective->unref();

    SoOrthographicCamera* ortho = makeCamera<SoOrthographicCamera>();
    ortho->height.setValue(4.0f);
    SoWinCameraDolly::dolly(*ortho, std::log(2.0f));
    EXPECT_NEAR(ortho->height.getValue(), 8.0f, kTolerance);
    expectNear(ortho->position.getValue(), SbVec3f(1.0f, 2.0f, 10.0f));
    ortho->unref();
}

TEST(CameraSeek, EndsLookingAtTheTargetFromTheRemainingFraction) {
    SoPerspectiveCamera* camera = makeCamera<SoPerspectiveCamera>();
    const SbVec3f target(4.0f, -2.0f, 0.0f);
    const float distance = (target - camera->position.getValue()).length();
    SoWinCameraSeek seek;
    seek.begin(*camera, target, 0.5f);

    seek.apply(*camera, 0.0f);
    expectNear(camera->position.getValue(), SbVec3f(1.0f, 2.0f, 10.0f));
    seek.apply(*camera, 0.5f);
    const float halfway = camera->focalDistance.getValue();
    seek.apply(*camera, 1.0f);
    expectNear(focalPoint(*camera), target);
    EXPECT_NEAR(camera->focalDistance.getValue(), distance * 0.5f, kTolerance);
    EXPECT_NEAR(halfway, (10.0f + distance * 0.5f) * 0.5f, kTolerance);
    camera->unref();
}

TEST(CameraState, ConvertsBetweenKindsKeepingTheFramedHeight) {
    SoPerspectiveCamera* perspective = makeCamera<SoPerspectiveCamera>();
    perspective->heightAngle.setValue(0.5f);
    const SoWinCameraState state = SoWinCameraState::of(*perspective);

    SoOrthographicCamera* ortho = makeCamera<SoOrthographicCamera>();
    ortho->position.setValue(0.0f, 0.0f, 0.0f);
    state.applyTo(*ortho);
    EXPECT_NEAR(ortho->height.getValue(), 2.0f * 10.0f * std::tan(0.25f), kTolerance);
    expectNear(ortho->position.getValue(), perspective->position.getValue());
    EXPECT_FLOAT_EQ(ortho->focalDistance.getValue(), 10.0f);

    // Back again: the angle comes out as it went in.
    SoPerspectiveCamera* back = makeCamera<SoPerspectiveCamera>();
    SoWinCameraState::of(*ortho).applyTo(*back);
    EXPECT_NEAR(back->heightAngle.getValue(), 0.5f, kTolerance);

    // Keeping its own angle, a perspective camera moves instead: same focal point and height.
    back->heightAngle.setValue(1.0f);
    SoWinCameraState::of(*ortho).applyTo(*back, true);
    EXPECT_FLOAT_EQ(back->heightAngle.getValue(), 1.0f);
    expectNear(focalPoint(*back), focalPoint(*ortho));
    EXPECT_NEAR(SoWinCameraState::of(*back).focalHeight, ortho->height.getValue(), kTolerance);
    perspective->unref();
    ortho->unref();
    back->unref();
}
