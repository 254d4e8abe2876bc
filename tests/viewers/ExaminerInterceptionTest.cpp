// The examiner's window-procedure interception: mouse moves recorded and reported from the first
// view all on, every message still reaching the SDK's drawing window.
#include "LibraryViewerTestSupport.h"

#include "support/MessageLoop.h"
#include "support/ScriptedInput.h"

#include <Inventor/nodes/SoPerspectiveCamera.h>

#include <memory>

using namespace libviewertest;

namespace {

// Reaches the interception's protected parts.
class Interceptor : public OivWinExaminerViewer {
public:
    explicit Interceptor(HWND parent, SbBool buildNow = TRUE)
        : OivWinExaminerViewer(parent, nullptr, TRUE, BUILD_ALL, BROWSER, buildNow) {}

    using OivWinExaminerViewer::getOriginalWindowProc;
    using OivWinExaminerViewer::MouseMoveProc;

    // What a subclass that passed buildNow 0 does once it is ready.
    void build() { setBaseWidget(buildWidget(getParentWidget())); }

protected:
    // A clock that stands still: every release comes right after the last move.
    SbTime getCurrentTime(void) const override { return SbTime(1000.0); }
};

struct MouseReports {
    int calls = 0;
    SoWinViewer* viewer = nullptr;
    int x = 0;
    int y = 0;

    static void record(void* data, SoWinViewer* viewer) {
        auto* self = static_cast<MouseReports*>(data);
        ++self->calls;
        self->viewer = viewer;
        self->x = static_cast<OivWinExaminerViewer*>(viewer)->getLastMouseX();
        self->y = static_cast<OivWinExaminerViewer*>(viewer)->getLastMouseY();
    }
};

WNDPROC procedureOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

void moveTo(HWND window, int x, int y) {
    testsupport::mouse(window, WM_MOUSEMOVE, 0, x, y);
}

} // namespace

class ExaminerInterception : public ::testing::Test {
protected:
    void SetUp() override {
        host = testsupport::createHostWindow(kWidth, kHeight);
        ASSERT_TRUE(host);
        // The scene brings its camera, so setSceneGraph does not view all by itself.
        scene = makeScene(SoPerspectiveCamera::getClassTypeId(), true);
        viewer = std::make_unique<Interceptor>(host);
        viewer->setDecoration(FALSE);
        viewer->setSceneGraph(scene);
        viewer->setSystemMouseEventCallback(&MouseReports::record, &reports);
    }

    void TearDown() override {
        viewer.reset();
        scene->unref();
        DestroyWindow(host);
    }

    HWND drawingWindow() const { return viewer->getNormalWidget(); }

    HWND host = nullptr;
    SoSeparator* scene = nullptr;
    std::unique_ptr<Interceptor> viewer;
    MouseReports reports;
};

TEST_F(ExaminerInterception, NothingIsRecordedBeforeTheFirstViewAll) {
    const WNDPROC sdkProcedure = procedureOf(drawingWindow());
    moveTo(drawingWindow(), 40, 50);
    EXPECT_EQ(reports.calls, 0);
    EXPECT_EQ(viewer->getLastMouseX(), 0);
    EXPECT_EQ(viewer->getLastMouseY(), 0);
    EXPECT_EQ(procedureOf(drawingWindow()), sdkProcedure);
}

TEST_F(ExaminerInterception, AfterTwoViewAllsMovesAreReportedAndTheSdkStillGetsEveryMessage) {
    const WNDPROC sdkProcedure = procedureOf(drawingWindow());
    viewer->viewAll();
    viewer->viewAll();
    EXPECT_EQ(procedureOf(drawingWindow()), &Interceptor::MouseMoveProc);
    EXPECT_EQ(viewer->getOriginalWindowProc(), sdkProcedure);
    EXPECT_EQ(GetWindowLongPtrA(drawingWindow(), GWLP_USERDATA),
              reinterpret_cast<LONG_PTR>(viewer.get()));

    // Left of the window, as while the mouse is captured: the sign survives.
    moveTo(drawingWindow(), -5, 7);
    EXPECT_EQ(reports.calls, 1);
    EXPECT_EQ(reports.viewer, static_cast<SoWinViewer*>(viewer.get()));
    EXPECT_EQ(reports.x, -5);
    EXPECT_EQ(reports.y, 7);
    EXPECT_EQ(viewer->getLastMouseX(), -5);
    EXPECT_EQ(viewer->getLastMouseY(), 7);

    const SbRotation before = viewer->getCamera()->orientation.getValue();
    testsupport::drag(drawingWindow(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, kCentre,
                      {kCentre.x + 60, kCentre.y});
    viewer->stopAnimating();
    EXPECT_FALSE(viewer->getCamera()->orientation.getValue().equals(before, 1e-3f));
    EXPECT_EQ(reports.calls, 1 + 5);
    EXPECT_EQ(viewer->getLastMouseX(), kCentre.x + 60);

    // Picking mode too; then no callback, still recorded.
    viewer->setViewing(FALSE);
    viewer->setSystemMouseEventCallback(nullptr, nullptr);
    moveTo(drawingWindow(), 3, 4);
    EXPECT_EQ(reports.calls, 6);
    EXPECT_EQ(viewer->getLastMouseX(), 3);
    EXPECT_EQ(viewer->getLastMouseY(), 4);
}

TEST_F(ExaminerInterception, ViewAllStopsASpin) {
    testsupport::drag(drawingWindow(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, kCentre,
                      {kCentre.x + 60, kCentre.y});
    ASSERT_TRUE(viewer->isAnimating());
    viewer->viewAll();
    EXPECT_FALSE(viewer->isAnimating());
}

TEST_F(ExaminerInterception, SetStereoViewingInterceptsTheCurrentDrawingWindow) {
    const WNDPROC sdkProcedure = procedureOf(drawingWindow());
    // Without any view all, stereo alone installs the interception.
    viewer->setStereoViewing(TRUE);
    moveTo(drawingWindow(), 1, 2);
    EXPECT_EQ(reports.calls, 1);

    const HWND doubleBuffered = drawingWindow();
    viewer->setDoubleBuffer(FALSE);
    const HWND singleBuffered = drawingWindow();
    ASSERT_NE(singleBuffered, doubleBuffered);
    moveTo(singleBuffered, 11, 12);
    EXPECT_EQ(reports.calls, 1);

    viewer->setStereoViewing(FALSE);
    moveTo(singleBuffered, 11, 12);
    EXPECT_EQ(reports.calls, 2);
    EXPECT_EQ(viewer->getLastMouseY(), 12);
    // The window given up keeps reporting, and the original procedure is still the SDK's.
    moveTo(doubleBuffered, 21, 22);
    EXPECT_EQ(reports.calls, 3);
    EXPECT_EQ(viewer->getOriginalWindowProc(), sdkProcedure);
}

TEST(ExaminerConstruction, ALateBuiltViewerInterceptsOnceBuilt) {
    HWND host = testsupport::createHostWindow(kWidth, kHeight);
    SoSeparator* scene = makeScene(SoPerspectiveCamera::getClassTypeId(), true);
    MouseReports reports;
    {
        Interceptor viewer(host, FALSE);
        EXPECT_EQ(viewer.getBaseWidget(), nullptr);
        EXPECT_EQ(viewer.getBuildFlag(), SoWinFullViewer::BUILD_ALL);
        viewer.setSystemMouseEventCallback(&MouseReports::record, &reports);
        viewer.viewAll();
        EXPECT_EQ(viewer.getOriginalWindowProc(), nullptr);

        viewer.build();
        viewer.setSceneGraph(scene);
        viewer.viewAll();
        moveTo(viewer.getNormalWidget(), 8, 9);
        EXPECT_EQ(reports.calls, 1);
        EXPECT_EQ(viewer.getLastMouseX(), 8);
    }
    scene->unref();
    DestroyWindow(host);
}
