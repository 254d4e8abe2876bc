// Shared set-up of the viewer tests: a host window, a scene, scripted mouse messages, and
// access to what the viewers keep protected.
#ifndef OIVWINTAV_TESTS_VIEWERTESTSUPPORT_H
#define OIVWINTAV_TESTS_VIEWERTESTSUPPORT_H

#include <Inventor/SbTime.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinCameraState.h>
#include <Inventor/Win/viewers/SoWinExaminerViewer.h>
#include <Inventor/Win/viewers/SoWinPlaneViewer.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoSeparator.h>

#include "support/ScriptedInput.h"

#include <gtest/gtest.h>

#include <vector>

namespace viewertest {

constexpr int kWidth = 300;
constexpr int kHeight = 200;
constexpr float kTolerance = 1e-3f;

inline ::testing::AssertionResult near(const SbVec3f& actual, const SbVec3f& expected,
                                       float tolerance = kTolerance) {
    if ((actual - expected).length() <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual[0] << ", " << actual[1] << ", " << actual[2] << ") is not within "
           << tolerance << " of (" << expected[0] << ", " << expected[1] << ", " << expected[2]
           << ")";
}

inline SbVec3f focalPoint(const SoCamera* camera) {
    return SoWinCameraState::of(*camera).getFocalPoint();
}

// A child window of the application's top-level window, kWidth × kHeight by default.
HWND createHostWindow(int width = kWidth, int height = kHeight);

// A separator holding a 2-unit cube at the origin (no camera: the viewer makes one).
SoSeparator* makeCubeScene();

using testsupport::drag;
using testsupport::mouse;
using testsupport::runSensorsUntil;

// An examiner whose protected parts the tests reach, recording seek steps and button clicks.
class TestExaminer : public SoWinExaminerViewer {
public:
    explicit TestExaminer(HWND parent, BuildFlag flag = BUILD_ALL)
        : SoWinExaminerViewer(parent, nullptr, TRUE, flag, BROWSER, TRUE, FALSE) {}

    using SoWinExaminerViewer::getRightWheelValue;
    using SoWinExaminerViewer::getWheelWidget;
    using SoWinExaminerViewer::RIGHT_WHEEL;
    using SoWinExaminerViewer::rightWheelMotion;
    using SoWinExaminerViewer::setSeekMode;
    SbPList& buttons() { return *viewerButtonWidgets; }

    std::vector<float> seekSteps;
    std::vector<int> pushedIds;
    // The viewer's clock: it stands still unless a test moves it on.
    SbTime now = SbTime(1000.0);

protected:
    SbTime getCurrentTime(void) const override { return now; }
    void interpolateSeekAnimation(float t) override {
        seekSteps.push_back(t);
        SoWinExaminerViewer::interpolateSeekAnimation(t);
    }
    void pushButtonCB(HWND hwnd, int id, void* data) override {
        pushedIds.push_back(id);
        SoWinExaminerViewer::pushButtonCB(hwnd, id, data);
    }
};

class TestPlaneViewer : public SoWinPlaneViewer {
public:
    explicit TestPlaneViewer(HWND parent) : SoWinPlaneViewer(parent) {}
    using SoWinPlaneViewer::pushButtonCB;
};

// A host window, a cube scene, and an undecorated examiner showing it across the whole window.
class ExaminerFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND drawingWindow() const { return viewer->getNormalWidget(); }
    SoCamera* camera() const { return viewer->getCamera(); }

    HWND host = nullptr;
    SoSeparator* scene = nullptr;
    TestExaminer* viewer = nullptr;
};

} // namespace viewertest

#endif // OIVWINTAV_TESTS_VIEWERTESTSUPPORT_H
