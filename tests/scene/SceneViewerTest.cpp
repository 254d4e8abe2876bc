// The scene manager bound to a real examiner viewer in a window: the viewer shows the managed
// graph through the scene camera, takes the background colours, reports its frame rate, and
// draws the gradient background and the message into the frame a host reads back.
#include "OivWinTav.h"
#include "SceneProbe.h"
#include "ViewerFrame.h"
#include "support/MessageLoop.h"

#include <Inventor/Win/viewers/SoWinExaminerViewer.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

const SbVec2s kViewerSize(160, 120);

double counterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart);
}

// A host window with an examiner viewer in it and a scene manager.
class SceneViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = testsupport::createHostWindow(kViewerSize[0], kViewerSize[1]);
        ASSERT_NE(nullptr, window);
        viewer = new SoWinExaminerViewer(window);
        viewer->setDecoration(FALSE); // the drawing area fills the window, as in a canvas
        manager = new SceneProbe;
    }
    // A canvas deletes its scene manager first, then the viewer.
    void TearDown() override {
        delete manager;
        delete viewer;
        DestroyWindow(window);
    }

    HWND window = nullptr;
    SoWinExaminerViewer* viewer = nullptr;
    SceneProbe* manager = nullptr;
};

// --- binding ------------------------------------------------------------------------------------

TEST_F(SceneViewerTest, ViewerShowsTheManagedGraphThroughTheNewSceneCamera) {
    manager->setViewer(viewer, false);

    EXPECT_EQ(manager->getSceneRoot(), viewer->getSceneGraph());
    EXPECT_EQ(0, SoSeparator::getNumRenderCaches());
    SoCamera* camera = viewer->getCamera();
    ASSERT_NE(nullptr, camera);
    EXPECT_EQ(SoPerspectiveCamera::getClassTypeId(), camera->getTypeId());
    EXPECT_EQ(camera, manager->getCamera());
    SoGroup* branch3D = static_cast<SoGroup*>(manager->getSceneRoot()->getChild(2));
    EXPECT_EQ(camera, branch3D->getChild(0));
    EXPECT_FALSE(manager->isPerformanceVisible());
    EXPECT_FALSE(manager->isMessageVisible());
    EXPECT_EQ(OivBaseSceneManager::BLACK, manager->getBackground());
}

TEST_F(SceneViewerTest, OrthographicSetViewerGivesAnOrthographicSceneCamera) {
    manager->setViewer(viewer, true);
    ASSERT_NE(nullptr, viewer->getCamera());
    EXPECT_EQ(SoOrthographicCamera::getClassTypeId(), viewer->getCamera()->getTypeId());
    EXPECT_EQ(viewer->getCamera(), manager->getCamera());
}

TEST_F(SceneViewerTest, BoundAgainTheViewerShowsOneGraphAroundTheNewCamera) {
    manager->setViewer(viewer, false);
    const int branches = manager->getSceneRoot()->getNumChildren();
    manager->setViewer(viewer, true);
    EXPECT_EQ(branches, manager->getSceneRoot()->getNumChildren());
    ASSERT_NE(nullptr, viewer->getCamera());
    EXPECT_EQ(SoOrthographicCamera::getClassTypeId(), viewer->getCamera()->getTypeId())
        << "the viewer still looks through the first build's camera";

    // The message text is the same node after the rebuild: it shows, and nothing is left over.
    manager->setMessage("MMMMMMMM");
    manager->setMessageVisible(true);
    EXPECT_GT(drawnFrame(viewer).countNear(255, 255, 255, 40), 20);
}

TEST_F(SceneViewerTest, SecondViewerTakesTheGraphOverFromTheFirst) {
    manager->setViewer(viewer, false);
    HWND otherWindow = testsupport::createHostWindow(kViewerSize[0], kViewerSize[1]);
    SoWinExaminerViewer* other = new SoWinExaminerViewer(otherWindow);
    manager->setViewer(other, false);
    EXPECT_EQ(manager->getSceneRoot(), other->getSceneGraph());
    EXPECT_EQ(nullptr, viewer->getSceneGraph());
    EXPECT_EQ(other->getCamera(), manager->getCamera());

    // Only the viewer it is bound to reports its frame rate to the manager.
    viewer->setNumSamples(1);
    viewer->setSceneGraph(new SoSeparator);
    for (int frame = 0; frame < 3; ++frame)
        viewer->render();
    EXPECT_EQ(0.0f, manager->m_ViewerFps);
    delete other;
    DestroyWindow(otherWindow);
}

TEST_F(SceneViewerTest, ViewerDeletedFirstIsNeverCalledAgain) {
    manager->setViewer(viewer, false);
    manager->setBackground(OivBaseSceneManager::ALTERNATE);
    delete viewer;
    viewer = nullptr;

    // Each of these called into the viewer while it existed.
    EXPECT_EQ(nullptr, manager->getCamera());
    manager->setBackground(OivBaseSceneManager::BLACK);
    EXPECT_EQ(OivBaseSceneManager::BLACK, manager->getBackground());
    SceneProbe::fpsCB(25.0f, manager, nullptr);
    EXPECT_EQ("25.00 FPS", manager->frameRateText());
    // TearDown deletes the manager after its viewer.
}

// --- backgrounds --------------------------------------------------------------------------------

TEST_F(SceneViewerTest, BlackAndAlternatePaintTheViewerGradientAndImageLeaveIt) {
    manager->setViewer(viewer, false);
    const SbColor alternate(0.8f, 0.8f, 0.8f);

    manager->setBackground(OivBaseSceneManager::ALTERNATE);
    EXPECT_TRUE(viewer->getBackgroundColor() == alternate);
    manager->setBackground(OivBaseSceneManager::GRADIENT);
    EXPECT_TRUE(viewer->getBackgroundColor() == alternate);
    manager->setBackground(OivBaseSceneManager::IMAGE);
    EXPECT_TRUE(viewer->getBackgroundColor() == alternate);
    manager->setBackground(OivBaseSceneManager::BLACK);
    EXPECT_TRUE(viewer->getBackgroundColor() == SbColor(0, 0, 0));
}

TEST_F(SceneViewerTest, NewAlternateColorShowsOnlyAtTheNextAlternateChoice) {
    manager->setViewer(viewer, false);
    manager->setBackground(OivBaseSceneManager::ALTERNATE);

    manager->setBackgroundAlternateColor(SbColor(0.1f, 0.2f, 0.3f));
    EXPECT_TRUE(viewer->getBackgroundColor() == SbColor(0.8f, 0.8f, 0.8f));

    manager->setBackground(OivBaseSceneManager::ALTERNATE);
    EXPECT_TRUE(viewer->getBackgroundColor() == SbColor(0.1f, 0.2f, 0.3f));
}

// --- frame rate ---------------------------------------------------------------------------------

TEST_F(SceneViewerTest, ViewerReportsItsFrameRateIntoTheText) {
    manager->setViewer(viewer, false);
    viewer->setNumSamples(2);
    for (int frame = 0; frame < 4; ++frame)
        viewer->render();

    EXPECT_GT(manager->m_ViewerFps, 0.0f) << "the viewer reported through fpsCB";
    EXPECT_NE("", manager->frameRateText());
    EXPECT_NE(std::string::npos, manager->frameRateText().find(" FPS"));
}

TEST_F(SceneViewerTest, BelowSeventyTheViewerRateIsShown) {
    manager->setViewer(viewer, false);
    SceneProbe::fpsCB(30.0f, manager, viewer);
    EXPECT_EQ("30.00 FPS", manager->frameRateText());
}

TEST_F(SceneViewerTest, FromSeventyOnTheCounterRateOverTheSampledFramesIsShown) {
    manager->setViewer(viewer, false);
    viewer->setNumSamples(10);
    // The previous report two seconds ago: ten frames in about two seconds.
    const double previous = counterNow() - 2.0 * manager->m_CounterFrequency;
    manager->m_LastCounter = previous;

    SceneProbe::fpsCB(250.0f, manager, viewer);
    const double elapsedAtMost = counterNow() - previous;

    const double shown = std::atof(manager->frameRateText().c_str());
    EXPECT_LE(shown, 5.0 + 0.005);
    EXPECT_GE(shown, 10.0 * manager->m_CounterFrequency / elapsedAtMost - 0.005);
    EXPECT_NE(std::string::npos, manager->frameRateText().find(" FPS"));
}

TEST_F(SceneViewerTest, ReportWithNoTimeElapsedKeepsTheLastRate) {
    manager->setViewer(viewer, false);
    manager->m_LastCounter = counterNow() - manager->m_CounterFrequency;
    SceneProbe::fpsCB(100.0f, manager, viewer);
    const float lastRate = manager->m_Fps;
    const std::string lastText = manager->frameRateText();

    // The counter cannot be stopped; a previous reading not behind the current one stands for
    // a report with no time elapsed.
    manager->m_LastCounter = counterNow() + manager->m_CounterFrequency;
    SceneProbe::fpsCB(100.0f, manager, viewer);

    EXPECT_TRUE(std::isfinite(manager->m_Fps));
    EXPECT_EQ(lastRate, manager->m_Fps);
    EXPECT_EQ(lastText, manager->frameRateText());
}

TEST_F(SceneViewerTest, ViewerDrawingOnAfterTheManagerIsGoneReportsToNoManager) {
    // The first manager lives in storage the test keeps, so that a report sent to its address
    // after its deletion lands in a second manager built there, where the test can see it,
    // instead of in freed memory.
    alignas(SceneProbe) unsigned char storage[sizeof(SceneProbe)];
    SceneProbe* first = new (storage) SceneProbe;
    first->setViewer(viewer, false);
    first->~SceneProbe();
    SceneProbe* second = new (storage) SceneProbe;

    viewer->setNumSamples(1);
    for (int frame = 0; frame < 3; ++frame)
        viewer->render();

    EXPECT_EQ(0.0f, second->m_ViewerFps) << "the viewer still reports to the deleted manager";
    EXPECT_EQ(std::string::npos, second->frameRateText().find("FPS"));
    second->~SceneProbe();
}

// --- the drawn frame ----------------------------------------------------------------------------

// Bits of the gradient's colours as 8-bit channels: (15, 10, 50) and (80, 80, 150).
constexpr int kColor0[] = {15, 10, 50};
constexpr int kColor1[] = {80, 80, 150};

TEST_F(SceneViewerTest, HostSeesTheGradientAndTheMessageInTheFrameReadBack) {
    // As a host does it: a viewer in its window, handed to a scene manager.
    OivBaseSceneManager* host = manager;
    host->setViewer(viewer, false);
    host->setBackground(OivBaseSceneManager::GRADIENT);
    host->setMessage("MMMMMMMM");
    host->setMessageVisible(true);

    const Frame frame = drawnFrame(viewer);
    ASSERT_EQ(kViewerSize, frame.size);
    const int bottom = frame.size[1] - 1;
    // The gradient runs from color0 at the bottom edge of the view to color1 at the top edge.
    EXPECT_TRUE(frame.isNear(0, bottom, kColor0[0], kColor0[1], kColor0[2], 6) &&
                frame.isNear(0, 0, kColor1[0], kColor1[1], kColor1[2], 6))
        << "top (" << int(frame.at(0, 0)[0]) << ", " << int(frame.at(0, 0)[1]) << ", "
        << int(frame.at(0, 0)[2]) << ") bottom (" << int(frame.at(0, bottom)[0]) << ", "
        << int(frame.at(0, bottom)[1]) << ", " << int(frame.at(0, bottom)[2]) << ")";
    const int messagePixels = frame.countNear(255, 255, 255, 40);
    EXPECT_GT(messagePixels, 20) << "the white message text is drawn";

    host->setMessageVisible(false);
    EXPECT_EQ(0, drawnFrame(viewer).countNear(255, 255, 255, 40));

    host->setBackground(OivBaseSceneManager::BLACK);
    const Frame black = drawnFrame(viewer);
    EXPECT_TRUE(black.isNear(0, 0, 0, 0, 0, 1));
    EXPECT_TRUE(black.isNear(0, bottom, 0, 0, 0, 1));
}

} // namespace
