// A canvas in a host window: the viewer it builds for each type, the Z-scale table, the one
// view-context listener fed by camera moves, camera-type changes and Z-scale changes, and the
// scene manager's viewing-mode and mouse callbacks on the viewer.
#include "OivWinTav.h"
#include "support/MessageLoop.h"
#include "support/ScriptedInput.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/fields/SoMFFloat.h>
#include <Inventor/fields/SoMFString.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <windows.h>

#include "tav/OivStickyCursor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kWidth = 160, kHeight = 120;

// What the view-context listener heard.
struct ViewContextLog {
    std::vector<bool> flags;
    OivBaseCanvas* sender = nullptr;

    static void record(void* data, bool cameraOnly, OivBaseCanvas* canvas) {
        auto* log = static_cast<ViewContextLog*>(data);
        log->flags.push_back(cameraOnly);
        log->sender = canvas;
    }
    int count(bool cameraOnly) const {
        return int(std::count(flags.begin(), flags.end(), cameraOnly));
    }
};

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = testsupport::createHostWindow(kWidth, kHeight);
        ASSERT_NE(host, nullptr);
    }
    void TearDown() override {
        delete canvas;
        DestroyWindow(host);
    }

    // Builds the canvas with a cube as content, drawn once, and lets pending sensors run.
    void build(OivBaseCanvas::ViewerType type) {
        canvas = new OivCanvas;
        canvas->initialize(type, host);
        ASSERT_NE(canvas->getOivViewer(), nullptr);
        canvas->getOivSceneManager()->getRoot3D()->addChild(new SoCube);
        viewer()->viewAll();
        viewer()->render();
        testsupport::runMessageLoopUntilIdle();
    }

    SoWinFullViewer* viewer() const { return canvas->getOivViewer(); }
    HWND drawingWindow() const { return viewer()->getNormalWidget(); }

    // Orbits with the left button from the middle of the drawing area, then lets the camera
    // sensor report.
    void orbit() {
        testsupport::drag(drawingWindow(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON,
                          {kWidth / 2, kHeight / 2}, {kWidth / 2 + 32, kHeight / 2 + 12}, 4);
        testsupport::runMessageLoopUntilIdle();
    }
    void mouse(UINT message, WPARAM keys, int x, int y) {
        testsupport::mouse(drawingWindow(), message, keys, x, y);
    }

    // The path from the viewer's scene graph to the scene manager's sticky cursor.
    SoPath* stickyCursorPath() const {
        static SoSearchAction search;
        search.reset();
        search.setType(OivStickyCursor::getClassTypeId());
        search.setSearchingAll(TRUE);
        search.apply(viewer()->getSceneGraph());
        return search.getPath();
    }
    OivStickyCursor* stickyCursor() const {
        return static_cast<OivStickyCursor*>(stickyCursorPath()->getTail());
    }
    // Whether the switch above the sticky cursor shows it.
    bool isStickyCursorShown() const {
        auto* visibility = static_cast<SoSwitch*>(stickyCursorPath()->getNodeFromTail(1));
        return visibility->whichChild.getValue() != SO_SWITCH_NONE;
    }

    HWND host = nullptr;
    OivCanvas* canvas = nullptr;
};

} // namespace

TEST_F(CanvasTest, NullParentKeepsTheTypeAndFillsOnlyTheZScaleTable) {
    canvas = new OivCanvas;
    EXPECT_EQ(canvas->getViewerType(), OivBaseCanvas::EXAMINER_VIEWER);
    EXPECT_EQ(canvas->getZScales(), nullptr);
    EXPECT_EQ(canvas->getZScaleLabels(), nullptr);

    canvas->initialize(OivBaseCanvas::PLANE_VIEWER, nullptr);

    EXPECT_EQ(canvas->getOivViewer(), nullptr);
    EXPECT_EQ(canvas->getOivSceneManager(), nullptr);
    EXPECT_EQ(canvas->getViewerType(), OivBaseCanvas::PLANE_VIEWER);
    const SoMFFloat* scales = canvas->getZScales();
    const SoMFString* labels = canvas->getZScaleLabels();
    ASSERT_NE(scales, nullptr);
    ASSERT_NE(labels, nullptr);
    ASSERT_EQ(scales->getNum(), 17);
    ASSERT_EQ(labels->getNum(), 17);
    EXPECT_EQ((*scales)[0], 0.01f);
    EXPECT_EQ((*labels)[0], "0.01");
    EXPECT_EQ((*scales)[9], 7.5f);
    EXPECT_EQ((*labels)[9], "7.5");
    EXPECT_EQ((*scales)[16], 500.0f);
    EXPECT_EQ((*labels)[16], "500");
    for (int i = 1; i < 17; ++i)
        EXPECT_LT((*scales)[i - 1], (*scales)[i]) << "scales rise with the index, at " << i;

    // A later initialize with a window builds the canvas; the table is filled once.
    canvas->initialize(OivBaseCanvas::EXAMINER_VIEWER, host);
    EXPECT_NE(canvas->getOivViewer(), nullptr);
    EXPECT_EQ(canvas->getZScales()->getNum(), 17);
}

TEST_F(CanvasTest, UnknownTypeBuildsAConfiguredExaminerAroundThePerspectiveSceneCamera) {
    SoWin::show(SoWin::getTopLevelWidget());
    build(OivBaseCanvas::ViewerType(5));

    EXPECT_EQ(canvas->getViewerType(), 5);
    EXPECT_NE(dynamic_cast<OivWinExaminerViewer*>(viewer()), nullptr);
    ASSERT_NE(viewer()->getCamera(), nullptr);
    EXPECT_EQ(viewer()->getCamera()->getTypeId(), SoPerspectiveCamera::getClassTypeId());
    EXPECT_FALSE(viewer()->isDecoration());
    EXPECT_TRUE(viewer()->isPreserveCameraHeightAngle());
    EXPECT_EQ(viewer()->getTransparencyType(), SoGLRenderAction::SORTED_OBJECT_BLEND);
    EXPECT_EQ(viewer()->getCursorStyle(), SoWinViewer::SHADOW);
    EXPECT_TRUE(IsWindowVisible(drawingWindow()));
    // The viewer shows the managed graph, the host's content under the 3D root included.
    EXPECT_EQ(canvas->getOivSceneManager(), canvas->OivBaseCanvas::getOivSceneManager());
    SoSearchAction search;
    search.setNode(canvas->getOivSceneManager()->getRoot3D());
    search.apply(viewer()->getSceneGraph());
    EXPECT_NE(search.getPath(), nullptr);
}

TEST_F(CanvasTest, SecondInitializeKeepsTheCanvasAsBuilt) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    SoWinFullViewer* first = viewer();
    canvas->initialize(OivBaseCanvas::PLANE_VIEWER, host);
    EXPECT_EQ(viewer(), first);
    EXPECT_EQ(canvas->getViewerType(), OivBaseCanvas::EXAMINER_VIEWER);
}

TEST_F(CanvasTest, PlaneCanvasHasAnOrthographicCameraAndOnlyTheViewingModeCallback) {
    build(OivBaseCanvas::PLANE_VIEWER);
    EXPECT_NE(dynamic_cast<OivWinPlaneViewer*>(viewer()), nullptr);
    EXPECT_EQ(viewer()->getCamera()->getTypeId(), SoOrthographicCamera::getClassTypeId());

    OivSceneManager* manager = canvas->getOivSceneManager();
    manager->enableStickyCursor(true);
    EXPECT_FALSE(isStickyCursorShown()); // still viewing
    viewer()->setViewing(FALSE);
    EXPECT_TRUE(isStickyCursorShown()); // the viewing-mode change reached the manager

    // No mouse report: the cursor, drawn and shown, never learns where the mouse is.
    viewer()->render();
    mouse(WM_MOUSEMOVE, 0, kWidth / 2, kHeight / 2); // over the cube
    EXPECT_FALSE(stickyCursor()->isOnSurface());
}

TEST_F(CanvasTest, ExaminerCanvasReportsViewingModeAndMouseMovesToTheSceneManager) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    OivSceneManager* manager = canvas->getOivSceneManager();
    manager->enableStickyCursor(true);
    viewer()->setViewing(FALSE);
    EXPECT_TRUE(isStickyCursorShown());
    viewer()->render(); // the cursor picks with the camera of its last frame

    mouse(WM_MOUSEMOVE, 0, kWidth / 2, kHeight / 2); // over the cube
    EXPECT_TRUE(stickyCursor()->isOnSurface());
    mouse(WM_MOUSEMOVE, 0, 2, 2); // beside it
    EXPECT_FALSE(stickyCursor()->isOnSurface());

    viewer()->setViewing(TRUE);
    EXPECT_FALSE(isStickyCursorShown());
}

TEST_F(CanvasTest, ListenerHearsCameraMovesCameraReplacementsAndZScaleChanges) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    ViewContextLog log;
    canvas->setViewContextChangeCallback(ViewContextLog::record, &log);

    orbit();
    EXPECT_GE(log.count(true), 1);
    EXPECT_EQ(log.count(false), 0);
    EXPECT_EQ(log.sender, canvas);

    log.flags.clear();
    viewer()->toggleCameraType();
    EXPECT_EQ(log.flags, std::vector<bool>{false});
    testsupport::runMessageLoopUntilIdle();
    log.flags.clear();
    orbit(); // the sensor followed the new camera
    EXPECT_GE(log.count(true), 1);
    EXPECT_EQ(log.count(false), 0);

    log.flags.clear();
    canvas->getOivSceneManager()->setGlobalZScale(2.0f);
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(log.count(false), 1);
}

TEST_F(CanvasTest, NewListenerReplacesTheOldAndNullSilencesTheCanvas) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    ViewContextLog first, second;
    canvas->setViewContextChangeCallback(ViewContextLog::record, &first);
    canvas->setViewContextChangeCallback(ViewContextLog::record, &second);
    orbit();
    EXPECT_TRUE(first.flags.empty());
    EXPECT_FALSE(second.flags.empty());

    second.flags.clear();
    canvas->setViewContextChangeCallback(nullptr, &second);
    orbit();
    viewer()->toggleCameraType();
    canvas->getOivSceneManager()->setGlobalZScale(5.0f);
    testsupport::runMessageLoopUntilIdle();
    EXPECT_TRUE(second.flags.empty());
}

TEST_F(CanvasTest, DeletingTheCanvasTakesItsViewerWindowAndSilencesIt) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    HWND viewerWindow = viewer()->getBaseWidget();
    ASSERT_TRUE(IsWindow(viewerWindow));
    ViewContextLog log;
    canvas->setViewContextChangeCallback(ViewContextLog::record, &log);
    delete canvas;
    canvas = nullptr;
    testsupport::runMessageLoopUntilIdle();
    EXPECT_FALSE(IsWindow(viewerWindow));
    EXPECT_TRUE(IsWindow(host));
    EXPECT_TRUE(log.flags.empty());
}

TEST_F(CanvasTest, CanvasOutlivingItsHostWindowIsDeletedCleanly) {
    // A host's loop ends when its window is destroyed, before the canvas goes out of scope.
    build(OivBaseCanvas::EXAMINER_VIEWER);
    ViewContextLog log;
    canvas->setViewContextChangeCallback(ViewContextLog::record, &log);
    DestroyWindow(host);
    testsupport::runMessageLoopUntilIdle();
    delete canvas;
    canvas = nullptr;
    testsupport::runMessageLoopUntilIdle();
    EXPECT_TRUE(log.flags.empty());
}

// What an observer heard of its canvas's end: for each call, whether the viewer was still there.
struct EndLog : OivCanvasObserver {
    std::vector<bool> viewerThere;
    void canvasDestroyed(OivBaseCanvas* canvas) override {
        viewerThere.push_back(canvas->getOivViewer() != nullptr);
    }
};

TEST_F(CanvasTest, ObserversHearOfTheEndOnceWhileTheViewerStillExists) {
    struct Case {
        const char* name;
        int additions;
        bool removed;
        size_t heard;
    };
    for (const Case& c : {Case{"added once", 1, false, 1}, Case{"added twice", 2, false, 1},
                          Case{"removed again", 1, true, 0}}) {
        SCOPED_TRACE(c.name);
        build(OivBaseCanvas::EXAMINER_VIEWER);
        EndLog log;
        canvas->addCanvasObserver(nullptr);
        for (int i = 0; i < c.additions; ++i)
            canvas->addCanvasObserver(&log);
        if (c.removed)
            canvas->removeCanvasObserver(&log);
        delete canvas;
        canvas = nullptr;
        EXPECT_EQ(log.viewerThere, std::vector<bool>(c.heard, true));
    }
}

void countReport(void* count, OivBaseCanvas*) {
    ++*static_cast<int*>(count);
}

TEST_F(CanvasTest, ZScaleAndStickyCursorCallsReachTheSceneManagerWhenThereIsOne) {
    for (bool built : {true, false}) {
        SCOPED_TRACE(built ? "built" : "never initialised");
        delete canvas;
        canvas = nullptr;
        if (built)
            build(OivBaseCanvas::EXAMINER_VIEWER);
        else
            canvas = new OivCanvas;
        int reports = 0;
        canvas->addStickyCursorCallback(countReport, &reports);
        canvas->setGlobalZScale(2.0f);
        float zScale = 0.0f;
        EXPECT_EQ(canvas->getGlobalZScale(zScale), built);
        EXPECT_EQ(zScale, built ? 2.0f : 0.0f);
        canvas->showCursorEcho(SbVec3f(0, 0, 0), SbVec3f(0, 0, 1));
        SbVec3f point(0, 0, 0), managerPoint(0, 0, 0);
        if (built) {
            EXPECT_TRUE(canvas->getOivSceneManager()->isCursorEchoShown());
            canvas->getOivSceneManager()->enableStickyCursor(true);
            viewer()->setViewing(FALSE);
            viewer()->render();
            mouse(WM_MOUSEMOVE, 0, kWidth / 2, kHeight / 2); // over the cube
            EXPECT_TRUE(canvas->getOivSceneManager()->getStickyCursorPoint(managerPoint));
            EXPECT_TRUE(canvas->isStickyCursorReportFromMouse());
        }
        EXPECT_EQ(canvas->getStickyCursorPoint(point, nullptr), built);
        EXPECT_EQ(point, managerPoint);
        EXPECT_EQ(reports > 0, built);
        const int heard = reports;
        canvas->removeStickyCursorCallback(countReport, &reports);
        if (built)
            mouse(WM_MOUSEMOVE, 0, 2, 2);
        EXPECT_EQ(reports, heard);
    }
}
