// The examiner driven by real window messages, checked on the camera.
#include "ViewerTestSupport.h"
#include "support/MessageLoop.h"

#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

#include <cmath>
#include <functional>

using namespace viewertest;

namespace {

const POINT kCentre{kWidth / 2, kHeight / 2};

} // namespace

using ExaminerInteraction = ExaminerFixture;

TEST_F(ExaminerInteraction, LeftDragRotatesAboutTheFocalPoint) {
    const SbVec3f focus = focalPoint(camera());
    const float distance = camera()->focalDistance.getValue();
    const SbRotation before = camera()->orientation.getValue();

    drag(drawingWindow(), WM_LBUTTONDOWN, 0, MK_LBUTTON, kCentre, {kCentre.x + 60, kCentre.y});

    EXPECT_FALSE(camera()->orientation.getValue().equals(before, 1e-3f));
    EXPECT_TRUE(near(focalPoint(camera()), focus));
    EXPECT_FLOAT_EQ(camera()->focalDistance.getValue(), distance);
    // Dragging right swings the camera round to the left of the scene.
    EXPECT_LT(camera()->position.getValue()[0], -0.1f);
}

// Pans: the whole camera moves sideways, orientation and distance stay.
struct PanCase {
    const char* name;
    UINT down;
    WPARAM keys;
};

class ExaminerPan : public ExaminerFixture, public ::testing::WithParamInterface<PanCase> {};

TEST_P(ExaminerPan, MovesTheCameraInItsViewPlane) {
    const SbRotation orientation = camera()->orientation.getValue();
    const SbVec3f before = camera()->position.getValue();
    const float distance = camera()->focalDistance.getValue();

    drag(drawingWindow(), GetParam().down, 0, GetParam().keys, kCentre,
         {kCentre.x + 50, kCentre.y - 30});

    EXPECT_TRUE(camera()->orientation.getValue().equals(orientation, 1e-6f));
    EXPECT_FLOAT_EQ(camera()->focalDistance.getValue(), distance);
    const SbVec3f moved = camera()->position.getValue() - before;
    // The scene follows the mouse right and up, so the camera goes left and down.
    EXPECT_LT(moved[0], -0.1f);
    EXPECT_LT(moved[1], -0.05f);
    EXPECT_NEAR(moved[2], 0.0f, kTolerance);
}

INSTANTIATE_TEST_SUITE_P(Drags, ExaminerPan,
                         ::testing::Values(PanCase{"Middle", WM_MBUTTONDOWN, MK_MBUTTON},
                                           PanCase{"CtrlLeft", WM_LBUTTONDOWN,
                                                   MK_LBUTTON | MK_CONTROL}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExaminerInteraction, WheelCtrlMiddleDragAndRightThumbwheelDolly) {
    const SbVec3f focus = focalPoint(camera());
    float distance = camera()->focalDistance.getValue();

    // A notch forward closes in, keeping the focal point.
    SendMessageA(drawingWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
                 MAKELPARAM(kCentre.x, kCentre.y));
    EXPECT_LT(camera()->focalDistance.getValue(), distance);
    EXPECT_TRUE(near(focalPoint(camera()), focus));
    distance = camera()->focalDistance.getValue();

    // Ctrl+middle drag downwards backs off.
    drag(drawingWindow(), WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON | MK_CONTROL, kCentre,
         {kCentre.x, kCentre.y + 40});
    EXPECT_GT(camera()->focalDistance.getValue(), distance);
    EXPECT_TRUE(near(focalPoint(camera()), focus));
    distance = camera()->focalDistance.getValue();

    // Turning the right wheel up closes in by e^(turn).
    viewer->rightWheelMotion(viewer->getRightWheelValue() + 0.5f);
    EXPECT_NEAR(camera()->focalDistance.getValue(), distance * std::exp(-0.5f), kTolerance);
    EXPECT_TRUE(near(focalPoint(camera()), focus));
}

TEST_F(ExaminerInteraction, DraggingTheRightWheelWindowDollies) {
    viewer->setDecoration(TRUE);
    HWND wheel = viewer->getWheelWidget(TestExaminer::RIGHT_WHEEL);
    ASSERT_TRUE(IsWindow(wheel));
    const float distance = camera()->focalDistance.getValue();
    drag(wheel, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, {10, 60}, {10, 20});
    EXPECT_LT(camera()->focalDistance.getValue(), distance);
    EXPECT_GT(viewer->getRightWheelValue(), 0.0f);
}

TEST_F(ExaminerInteraction, ReleaseWhileDraggingSpinsUntilStopped) {
    drag(drawingWindow(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, kCentre,
         {kCentre.x + 40, kCentre.y});
    ASSERT_TRUE(viewer->isAnimating());

    const SbRotation released = camera()->orientation.getValue();
    const SbVec3f focus = focalPoint(camera());
    EXPECT_TRUE(
        runSensorsUntil([&] { return !camera()->orientation.getValue().equals(released, 1e-4f); }));
    EXPECT_TRUE(near(focalPoint(camera()), focus));

    viewer->stopAnimating();
    EXPECT_FALSE(viewer->isAnimating());
    const SbRotation stopped = camera()->orientation.getValue();
    runSensorsUntil([] { return false; }, 0.05);
    EXPECT_TRUE(camera()->orientation.getValue().equals(stopped, 0.0f));
}

TEST_F(ExaminerInteraction, ReleaseAfterStoppingDoesNotSpin) {
    drag(drawingWindow(), WM_LBUTTONDOWN, 0, MK_LBUTTON, kCentre, {kCentre.x + 40, kCentre.y});
    viewer->now += SbTime(0.4);
    mouse(drawingWindow(), WM_LBUTTONUP, 0, kCentre.x + 40, kCentre.y);
    EXPECT_FALSE(viewer->isAnimating());

    // Let go within a fifth of a second of the last move, the scene spins.
    drag(drawingWindow(), WM_LBUTTONDOWN, 0, MK_LBUTTON, kCentre, {kCentre.x + 40, kCentre.y});
    viewer->now += SbTime(0.2);
    mouse(drawingWindow(), WM_LBUTTONUP, 0, kCentre.x + 40, kCentre.y);
    EXPECT_TRUE(viewer->isAnimating());
    viewer->stopAnimating();
}

TEST_F(ExaminerInteraction, SeekClickAnimatesOntoThePickedPoint) {
    // Long enough that a loaded machine still draws several steps before the end.
    viewer->setSeekTime(1.5f);
    viewer->setSeekMode(TRUE);
    // The centre of the window shows the middle of the cube's front face.
    mouse(drawingWindow(), WM_LBUTTONDOWN, MK_LBUTTON, kCentre.x, kCentre.y);
    ASSERT_TRUE(viewer->isSeeking());
    ASSERT_TRUE(runSensorsUntil([&] { return !viewer->isSeeking(); }));

    ASSERT_GE(viewer->seekSteps.size(), 2u);
    for (size_t i = 1; i < viewer->seekSteps.size(); ++i)
        EXPECT_GT(viewer->seekSteps[i], viewer->seekSteps[i - 1]);
    EXPECT_FLOAT_EQ(viewer->seekSteps.back(), 1.0f);
    EXPECT_TRUE(near(focalPoint(camera()), SbVec3f(0.0f, 0.0f, 1.0f), 0.02f));
    EXPECT_FALSE(viewer->isSeekMode());
}

TEST_F(ExaminerInteraction, EndingASeekAfterASecondSeekClickStopsTheCamera) {
    // Each way a seek ends: leaving seek mode, or a view the user asks for, which the seek's
    // further steps would pull back.
    const std::function<void(TestExaminer&)> endings[] = {
        [](TestExaminer& v) { v.setSeekMode(FALSE); }, [](TestExaminer& v) { v.viewAll(); },
        [](TestExaminer& v) { v.resetToHomePosition(); }};
    viewer->saveHomePosition();
    for (const auto& end : endings) {
        viewer->setSeekTime(10.0f);
        viewer->setSeekMode(TRUE);
        mouse(drawingWindow(), WM_LBUTTONDOWN, MK_LBUTTON, kCentre.x, kCentre.y);
        mouse(drawingWindow(), WM_LBUTTONUP, 0, kCentre.x, kCentre.y);
        mouse(drawingWindow(), WM_LBUTTONDOWN, MK_LBUTTON, kCentre.x, kCentre.y);
        mouse(drawingWindow(), WM_LBUTTONUP, 0, kCentre.x, kCentre.y);
        ASSERT_TRUE(viewer->isSeeking());
        end(*viewer);
        EXPECT_FALSE(viewer->isSeeking());
        const size_t steps = viewer->seekSteps.size();
        const SbVec3f position = camera()->position.getValue();
        runSensorsUntil([] { return false; }, 0.1);
        EXPECT_EQ(viewer->seekSteps.size(), steps);
        EXPECT_EQ(camera()->position.getValue(), position);
        EXPECT_FALSE(viewer->isSeeking());
    }
}

TEST_F(ExaminerInteraction, SeekClickOnNothingEndsSeekMode) {
    const SbVec3f position = camera()->position.getValue();
    viewer->setSeekMode(TRUE);
    mouse(drawingWindow(), WM_LBUTTONDOWN, MK_LBUTTON, 2, 2);
    EXPECT_FALSE(viewer->isSeekMode());
    EXPECT_FALSE(viewer->isSeeking());
    EXPECT_TRUE(viewer->seekSteps.empty());
    EXPECT_TRUE(near(camera()->position.getValue(), position));
}

TEST_F(ExaminerInteraction, PickingModeLeavesTheCameraAlone) {
    viewer->setViewing(FALSE);
    const SbVec3f position = camera()->position.getValue();
    drag(drawingWindow(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, kCentre,
         {kCentre.x + 60, kCentre.y});
    EXPECT_TRUE(near(camera()->position.getValue(), position, 0.0f));
    EXPECT_FALSE(viewer->isAnimating());
}

TEST_F(ExaminerInteraction, ViewAllFramesTheScene) {
    camera()->position.setValue(40.0f, -3.0f, 90.0f);
    camera()->focalDistance.setValue(7.0f);
    viewer->viewAll();
    const SbViewVolume volume = camera()->getViewVolume(float(kWidth) / kHeight);
    for (int corner = 0; corner < 8; ++corner) {
        SbVec3f point((corner & 1) ? 1.0f : -1.0f, (corner & 2) ? 1.0f : -1.0f,
                      (corner & 4) ? 1.0f : -1.0f);
        SbVec3f screen;
        volume.projectToScreen(point, screen);
        EXPECT_GE(screen[0], 0.0f);
        EXPECT_LE(screen[0], 1.0f);
        EXPECT_GE(screen[1], 0.0f);
        EXPECT_LE(screen[1], 1.0f);
    }
    EXPECT_TRUE(near(focalPoint(camera()), SbVec3f(0.0f, 0.0f, 0.0f), 0.01f));
}

TEST_F(ExaminerInteraction, ResetToHomeRestoresTheSavedCamera) {
    drag(drawingWindow(), WM_LBUTTONDOWN, 0, MK_LBUTTON, kCentre, {kCentre.x + 30, kCentre.y});
    mouse(drawingWindow(), WM_LBUTTONUP, 0, kCentre.x + 30, kCentre.y);
    viewer->stopAnimating();
    viewer->saveHomePosition();
    const SoWinCameraState home = SoWinCameraState::of(*camera());

    drag(drawingWindow(), WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, kCentre, {10, 10});
    SendMessageA(drawingWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    ASSERT_FALSE(near(camera()->position.getValue(), home.position));

    viewer->resetToHomePosition();
    EXPECT_TRUE(near(camera()->position.getValue(), home.position));
    EXPECT_TRUE(camera()->orientation.getValue().equals(home.orientation, 1e-6f));
    EXPECT_FLOAT_EQ(camera()->focalDistance.getValue(), home.focalDistance);
}

// ---- Camera type
// -----------------------------------------------------------------------------------

namespace {

struct TypeChanges {
    int calls = 0;
    SoCamera* camera = nullptr;
    SoWinViewer* viewer = nullptr;
};

void countTypeChange(void* data, SoCamera* camera, SoWinViewer* viewer) {
    auto* changes = static_cast<TypeChanges*>(data);
    ++changes->calls;
    changes->camera = camera;
    changes->viewer = viewer;
}

} // namespace

TEST_F(ExaminerInteraction, ToggleCameraTypeReplacesTheCameraInPlaceAndReportsIt) {
    // A scene with its own camera, second child of the root.
    SoSeparator* own = new SoSeparator;
    own->ref();
    own->addChild(new SoSeparator);
    auto* perspective = new SoPerspectiveCamera;
    perspective->position.setValue(0.0f, 0.0f, 8.0f);
    perspective->focalDistance.setValue(8.0f);
    perspective->heightAngle.setValue(0.6f);
    own->addChild(perspective);
    own->addChild(new SoCube);
    viewer->setSceneGraph(own);
    ASSERT_EQ(viewer->getCamera(), perspective);

    TypeChanges changes;
    viewer->setCameraTypeChangeCallback(&countTypeChange, &changes);
    viewer->toggleCameraType();

    ASSERT_EQ(changes.calls, 1);
    EXPECT_EQ(changes.viewer, viewer);
    EXPECT_EQ(changes.camera, viewer->getCamera());
    ASSERT_TRUE(own->getChild(1)->isOfType(SoOrthographicCamera::getClassTypeId()));
    EXPECT_EQ(own->getChild(1), viewer->getCamera());
    EXPECT_EQ(own->getNumChildren(), 3);
    auto* ortho = static_cast<SoOrthographicCamera*>(viewer->getCamera());
    EXPECT_TRUE(near(ortho->position.getValue(), SbVec3f(0.0f, 0.0f, 8.0f)));
    EXPECT_FLOAT_EQ(ortho->focalDistance.getValue(), 8.0f);
    EXPECT_NEAR(ortho->height.getValue(), 2.0f * 8.0f * std::tan(0.3f), kTolerance);

    // And back: a perspective camera with the same angle.
    viewer->toggleCameraType();
    EXPECT_EQ(changes.calls, 2);
    ASSERT_TRUE(own->getChild(1)->isOfType(SoPerspectiveCamera::getClassTypeId()));
    EXPECT_NEAR(static_cast<SoPerspectiveCamera*>(own->getChild(1))->heightAngle.getValue(), 0.6f,
                kTolerance);
    viewer->setSceneGraph(nullptr);
    own->unref();
}

TEST_F(ExaminerInteraction, PreservedHeightAngleComesBackAndKeepsTheFraming) {
    auto* perspective = static_cast<SoPerspectiveCamera*>(camera());
    perspective->heightAngle.setValue(0.6f);
    viewer->setPreserveCameraHeightAngle(TRUE);
    viewer->toggleCameraType();
    // Zoom the orthographic view; the perspective one must frame the new height.
    auto* ortho = static_cast<SoOrthographicCamera*>(camera());
    ortho->height.setValue(ortho->height.getValue() * 0.5f);
    const SbVec3f focus = focalPoint(ortho);
    const float height = ortho->height.getValue();

    viewer->toggleCameraType();
    auto* back = static_cast<SoPerspectiveCamera*>(camera());
    EXPECT_FLOAT_EQ(back->heightAngle.getValue(), 0.6f);
    EXPECT_TRUE(near(focalPoint(back), focus));
    EXPECT_NEAR(SoWinCameraState::of(*back).focalHeight, height, kTolerance);
}

TEST_F(ExaminerInteraction, CameraTypeButtonTogglesTheCamera) {
    viewer->setDecoration(TRUE);
    HWND button = static_cast<HWND>(viewer->buttons()[7]);
    mouse(button, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    mouse(button, WM_LBUTTONUP, 0, 5, 5);
    EXPECT_TRUE(viewer->getCamera()->isOfType(SoOrthographicCamera::getClassTypeId()));
}

// A host that owns nothing but a window and a message loop: the viewer lives in a shell of its
// own, the user's input arrives as posted messages.
TEST(ExaminerHost, IsDrivenByPostedMessagesInItsOwnShell) {
    SoSeparator* scene = makeCubeScene();
    auto* viewer = new SoWinExaminerViewer();
    ASSERT_TRUE(viewer->isTopLevelShell());
    viewer->setSceneGraph(scene);
    viewer->show();
    SoCamera* camera = viewer->getCamera();
    const SbVec3f focus = focalPoint(camera);
    const SbRotation before = camera->orientation.getValue();
    const float distance = camera->focalDistance.getValue();

    HWND window = viewer->getNormalWidget();
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 60));
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(90, 70));
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(120, 80));
    PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(MK_LBUTTON, WHEEL_DELTA), 0);
    testsupport::runMessageLoopUntilIdle();

    EXPECT_FALSE(camera->orientation.getValue().equals(before, 1e-3f));
    EXPECT_LT(camera->focalDistance.getValue(), distance);
    EXPECT_TRUE(near(focalPoint(camera), focus));
    delete viewer;
    scene->unref();
}
