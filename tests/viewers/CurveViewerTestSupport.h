// A curve viewer in a host window, looking down -Z at the origin from 50 units, with a scene
// whose content the tests choose, and what the tests need to drive it by messages and to hear its
// notifications.
#ifndef OIVWINTAV_TESTS_CURVEVIEWERTESTSUPPORT_H
#define OIVWINTAV_TESTS_CURVEVIEWERTESTSUPPORT_H

#include "platform/ViewerTestSupport.h"
#include "viewers/OivWinCurveViewer.h"

#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace curvetest {

constexpr int kWidth = 300;
constexpr int kHeight = 200;
constexpr float kCameraDistance = 50.0f;

// Vector comparison within a tolerance, and a camera's focal point.
using viewertest::near;
inline SbVec3f focalPointOf(const SoCamera& camera) {
    return viewertest::focalPoint(&camera);
}

// The curve viewer with its protected parts in reach.
class TestCurveViewer : public OivWinCurveViewer {
public:
    explicit TestCurveViewer(HWND parent) : OivWinCurveViewer(parent) {}
    using OivWinCurveViewer::getTrackingInfoFromPickedNode;
    using OivWinCurveViewer::pushButtonCB;
    // The tracking button's window: the last viewer button.
    HWND trackingButton() const;
};

// What the three lists said, in order ("curve", "point", "pre"), with the camera's focal point
// at each call.
struct Notifications {
    std::vector<std::string> said;
    std::vector<SbVec3f> focalPoints;

    void listenTo(OivWinCurveViewer* viewer);
    static void curveCB(void* data, OivWinCurveViewer* viewer);
    static void pointCB(void* data, OivWinCurveViewer* viewer);
    static void preCB(void* data, OivWinCurveViewer* viewer);
    void record(const char* what, OivWinCurveViewer* viewer);
};

class CurveViewerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Shows `content` under a root holding the camera (child 0) and a "Main3DRoot" separator
    // (child 1) with `content`.
    void showScene(SoNode* content);

    HWND drawingWindow() const { return viewer->getNormalWidget(); }
    SoCamera* camera() const { return viewer->getCamera(); }
    // Where `world` shows in the drawing window, client pixels (origin top left).
    POINT pixelOf(const SbVec3f& world) const;
    void click(const SbVec3f& world, WPARAM keys = 0);

    HWND host = nullptr;
    SoSeparator* root = nullptr;
    TestCurveViewer* viewer = nullptr;
    Notifications heard;
};

} // namespace curvetest

#endif // OIVWINTAV_TESTS_CURVEVIEWERTESTSUPPORT_H
