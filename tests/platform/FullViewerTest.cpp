// Decoration, viewer buttons, frame-rate reports, clipping and drawing of the viewers, and the
// plane viewer's interaction.
#include "ViewerTestSupport.h"

#include <Inventor/Win/widgets/SoWinBitmapButton.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

#include <cmath>

using namespace viewertest;

namespace {

// The window's own visibility (its ancestors, up to the test's top-level window, may be hidden).
bool shown(HWND hwnd) {
    return (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT clientRect(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    return rect;
}

void click(HWND hwnd) {
    mouse(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    mouse(hwnd, WM_LBUTTONUP, 0, 5, 5);
}

} // namespace

using FullViewer = ExaminerFixture;

TEST_F(FullViewer, DecorationOffGivesTheDrawingAreaTheWholeWindow) {
    viewer->setDecoration(TRUE);
    ASSERT_TRUE(viewer->getButtonColumn());
    EXPECT_TRUE(shown(viewer->getButtonColumn()));
    RECT area = clientRect(viewer->getRenderAreaWidget());
    EXPECT_LT(area.right, kWidth);
    EXPECT_LT(area.bottom, kHeight);

    viewer->setDecoration(FALSE);
    EXPECT_FALSE(viewer->isDecoration());
    EXPECT_FALSE(shown(viewer->getButtonColumn()));
    area = clientRect(viewer->getRenderAreaWidget());
    EXPECT_EQ(area.right, kWidth);
    EXPECT_EQ(area.bottom, kHeight);
    const SbVec2s drawn = viewer->getViewportRegion().getWindowSize();
    EXPECT_EQ(drawn[0], kWidth);
    EXPECT_EQ(drawn[1], kHeight);
}

TEST(FullViewerBuild, WithoutDecorationTheButtonsComeWhenFirstShown) {
    HWND host = createHostWindow();
    auto* viewer = new TestExaminer(host, SoWinFullViewer::BUILD_NONE);
    EXPECT_FALSE(viewer->isDecoration());
    EXPECT_FALSE(viewer->getButtonColumn());
    EXPECT_EQ(clientRect(viewer->getRenderAreaWidget()).right, kWidth);

    viewer->setDecoration(TRUE);
    ASSERT_TRUE(viewer->getButtonColumn());
    EXPECT_EQ(viewer->buttons().getLength(), 8);
    EXPECT_LT(clientRect(viewer->getRenderAreaWidget()).right, kWidth);
    delete viewer;
    DestroyWindow(host);
}

TEST(FullViewerBuild, DeletingTheViewerTakesItsWindowsAlong) {
    HWND host = createHostWindow();
    auto* viewer = new TestExaminer(host, SoWinFullViewer::BUILD_ALL);
    HWND form = viewer->getBaseWidget();
    HWND drawing = viewer->getNormalWidget();
    ASSERT_TRUE(IsWindow(form));
    ASSERT_NE(form, host);
    delete viewer;
    EXPECT_FALSE(IsWindow(form));
    EXPECT_FALSE(IsWindow(drawing));
    EXPECT_TRUE(IsWindow(host));
    DestroyWindow(host);
}

TEST_F(FullViewer, ClicksOnViewerButtonsReachPushButtonCBWithTheirIds) {
    viewer->setDecoration(TRUE);
    // pick, view, help, home, set home, view all, seek, camera type
    ASSERT_EQ(viewer->buttons().getLength(), 8);
    click(static_cast<HWND>(viewer->buttons()[0]));
    EXPECT_FALSE(viewer->isViewing());
    click(static_cast<HWND>(viewer->buttons()[1]));
    EXPECT_TRUE(viewer->isViewing());
    click(static_cast<HWND>(viewer->buttons()[6]));
    EXPECT_TRUE(viewer->isSeekMode());
    EXPECT_EQ(viewer->pushedIds, (std::vector<int>{0, 1, 6}));

    // A press that slides off the button before the release is no click.
    HWND view = static_cast<HWND>(viewer->buttons()[1]);
    mouse(view, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    mouse(view, WM_LBUTTONUP, 0, 500, 5);
    EXPECT_EQ(viewer->pushedIds.size(), 3u);
}

TEST_F(FullViewer, AButtonMadeOutsideTheViewerRoutesThroughItsWindowProperties) {
    viewer->setDecoration(TRUE);
    SoWinBitmapButton button(viewer->getButtonColumn(), 0);
    HWND hwnd = button.getWidget();
    SetPropA(hwnd, "THIS", static_cast<SoWinFullViewer*>(viewer));
    SetPropA(hwnd, "CallbackData", reinterpret_cast<HANDLE>(intptr_t(9)));
    SetPropA(hwnd, "SoWinBitmapButton", &button);
    click(hwnd);
    EXPECT_EQ(viewer->pushedIds, (std::vector<int>{9}));
}

TEST_F(FullViewer, HomeButtonsSaveAndRestore) {
    viewer->setDecoration(TRUE);
    const SbVec3f saved(1.0f, 2.0f, 9.0f);
    camera()->position.setValue(saved);
    click(static_cast<HWND>(viewer->buttons()[4])); // set home
    camera()->position.setValue(5.0f, 5.0f, 5.0f);
    click(static_cast<HWND>(viewer->buttons()[3])); // home
    EXPECT_TRUE(near(camera()->position.getValue(), saved));
}

// ---- Frame rate, clipping, drawing
// ------------------------------------------------------------------

namespace {

struct FpsReports {
    std::vector<float> rates;
    SoWinViewer* viewer = nullptr;
};

void recordFps(float fps, void* data, SoWinViewer* viewer) {
    auto* reports = static_cast<FpsReports*>(data);
    reports->rates.push_back(fps);
    reports->viewer = viewer;
}

} // namespace

TEST_F(FullViewer, FramesPerSecondArriveAfterTheSampledNumberOfRenders) {
    FpsReports reports;
    viewer->setNumSamples(3);
    viewer->setFramesPerSecondCallback(&recordFps, &reports);
    viewer->render();
    viewer->render();
    EXPECT_TRUE(reports.rates.empty());
    viewer->render();
    ASSERT_EQ(reports.rates.size(), 1u);
    EXPECT_GT(reports.rates[0], 0.0f);
    EXPECT_EQ(reports.viewer, viewer);
    EXPECT_EQ(viewer->getNumSamples(), 3);
}

TEST_F(FullViewer, AutoClippingFitsTheScene) {
    camera()->nearDistance.setValue(0.001f);
    camera()->farDistance.setValue(1e6f);
    viewer->render();
    const float distance = (camera()->position.getValue()).length();
    const float radius = std::sqrt(3.0f);
    EXPECT_GT(camera()->nearDistance.getValue(), distance - radius - 0.5f);
    EXPECT_LT(camera()->nearDistance.getValue(), distance - 1.0f);
    EXPECT_GT(camera()->farDistance.getValue(), distance + 1.0f);
    EXPECT_LT(camera()->farDistance.getValue(), distance + radius + 0.5f);
}

TEST_F(FullViewer, DrawsTheHeadlitSceneAndStereoAsAnaglyph) {
    std::vector<unsigned char> rgb;
    SbVec2s size;
    viewer->render();
    ASSERT_TRUE(viewer->readPixels(rgb, size));
    ASSERT_EQ(size[0], kWidth);
    const size_t centre = (size_t(kHeight / 2) * kWidth + kWidth / 2) * 3;
    // The cube's front face is lit by the headlight: grey, clearly above the black background.
    EXPECT_GT(rgb[centre], 60);
    EXPECT_EQ(rgb[0], 0);

    // The light turns with the camera: seen from +X, the face towards the camera is lit too.
    const float distance = camera()->focalDistance.getValue();
    camera()->position.setValue(distance, 0.0f, 0.0f);
    camera()->pointAt(SbVec3f(0.0f, 0.0f, 0.0f), SbVec3f(0.0f, 1.0f, 0.0f));
    viewer->render();
    ASSERT_TRUE(viewer->readPixels(rgb, size));
    EXPECT_GT(rgb[centre], 60);

    viewer->setHeadlight(FALSE);
    viewer->render();
    ASSERT_TRUE(viewer->readPixels(rgb, size));
    EXPECT_LT(rgb[centre], 60);
    viewer->setHeadlight(TRUE);

    camera()->orientation.setValue(SbRotation::identity());
    // In stereo the eyes see the cube shifted against each other: its left edge is red only
    // (left eye), its right edge green-blue only (right eye).
    camera()->position.setValue(0.0f, 0.0f, 3.0f);
    camera()->focalDistance.setValue(3.0f);
    viewer->setStereoViewing(TRUE);
    viewer->render();
    ASSERT_TRUE(viewer->readPixels(rgb, size));
    int redOnly = 0, cyanOnly = 0;
    for (size_t i = 0; i < rgb.size(); i += 3) {
        redOnly += rgb[i] > 30 && rgb[i + 1] == 0 && rgb[i + 2] == 0;
        cyanOnly += rgb[i] == 0 && rgb[i + 1] > 30 && rgb[i + 2] > 30;
    }
    EXPECT_GT(redOnly, 0);
    EXPECT_GT(cyanOnly, 0);
}

// ---- Where the viewer's camera goes
// ------------------------------------------------------------------

TEST(ViewerCamera, BrowserKeepsItsCameraToItselfEditorPutsItIntoTheScene) {
    HWND host = createHostWindow();
    SoSeparator* scene = makeCubeScene();
    auto* browser = new SoWinExaminerViewer(host);
    browser->setSceneGraph(scene);
    EXPECT_EQ(scene->getNumChildren(), 1);
    EXPECT_EQ(browser->getSceneGraph(), scene);
    ASSERT_TRUE(browser->getCamera());
    delete browser;

    auto* editor = new SoWinExaminerViewer(host, nullptr, TRUE, SoWinFullViewer::BUILD_ALL,
                                           SoWinViewer::EDITOR);
    editor->setSceneGraph(scene);
    ASSERT_EQ(scene->getNumChildren(), 2);
    EXPECT_EQ(scene->getChild(0), editor->getCamera());
    delete editor;
    scene->unref();
    DestroyWindow(host);
}

// ---- Plane viewer
// -----------------------------------------------------------------------------------

class PlaneViewer : public ::testing::Test {
protected:
    void SetUp() override {
        host = createHostWindow();
        scene = makeCubeScene();
        viewer = new TestPlaneViewer(host);
        viewer->setDecoration(FALSE);
        viewer->setCameraType(SoOrthographicCamera::getClassTypeId());
        viewer->setSceneGraph(scene);
        ASSERT_TRUE(viewer->getCamera()->isOfType(SoOrthographicCamera::getClassTypeId()));
    }
    void TearDown() override {
        delete viewer;
        scene->unref();
        DestroyWindow(host);
    }
    SoOrthographicCamera* camera() {
        return static_cast<SoOrthographicCamera*>(viewer->getCamera());
    }

    HWND host = nullptr;
    SoSeparator* scene = nullptr;
    TestPlaneViewer* viewer = nullptr;
};

TEST_F(PlaneViewer, LeftDragPansMiddleDragAndWheelChangeTheHeight) {
    HWND window = viewer->getNormalWidget();
    const SbRotation orientation = camera()->orientation.getValue();
    const SbVec3f before = camera()->position.getValue();
    drag(window, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, {150, 100}, {180, 100});
    EXPECT_LT(camera()->position.getValue()[0], before[0] - 0.05f);
    EXPECT_TRUE(camera()->orientation.getValue().equals(orientation, 1e-6f));

    const float height = camera()->height.getValue();
    drag(window, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, {150, 100}, {150, 60});
    EXPECT_LT(camera()->height.getValue(), height);
    const float closer = camera()->height.getValue();
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_GT(camera()->height.getValue(), closer);
}

TEST_F(PlaneViewer, AxisButtonsLookAlongTheAxesThroughTheFocalPoint) {
    const SbVec3f focus = focalPoint(camera());
    struct {
        int id;
        SbVec3f direction;
    } const cases[] = {{7, SbVec3f(-1, 0, 0)}, {8, SbVec3f(0, -1, 0)}, {9, SbVec3f(0, 0, -1)}};
    for (const auto& c : cases) {
        viewer->pushButtonCB(nullptr, c.id, nullptr);
        SbVec3f direction;
        camera()->orientation.getValue().multVec(SbVec3f(0, 0, -1), direction);
        EXPECT_TRUE(near(direction, c.direction)) << "button " << c.id;
        EXPECT_TRUE(near(focalPoint(camera()), focus)) << "button " << c.id;
    }
}
