// Flights along a curve canvas's tracking curve, recorded by its video recorder and read back as
// a player reads them: the frames, what they show, and the viewer as it was before.
#include "OivWinTav.h"
#include "support/MessageLoop.h"
#include "support/VideoFile.h"

#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTranslation.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

const SbVec2s kViewSize(64, 48);
// Red, green and blue cubes in a row along X; the curve runs through their centres.
const SbVec3f kPath[] = {SbVec3f(-4, 0, 0), SbVec3f(0, 0, 0), SbVec3f(4, 0, 0)};
const SbColor kCubeColours[] = {SbColor(1, 0, 0), SbColor(0, 1, 0), SbColor(0, 0, 1)};

using testsupport::videoName;
using FileIndex = testsupport::VideoFileIndex;

class VideoFlightTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = testsupport::createHostWindow(kViewSize[0], kViewSize[1]);
        canvas = new OivCanvas;
        canvas->initialize(OivBaseCanvas::CURVE_VIEWER, host);
        viewer = dynamic_cast<OivWinCurveViewer*>(canvas->getOivViewer());
        ASSERT_NE(viewer, nullptr);
        SoSeparator* content = new SoSeparator;
        SoLightModel* flat = new SoLightModel;
        flat->model = SoLightModel::BASE_COLOR;
        content->addChild(flat);
        for (int i = 0; i < 3; ++i) {
            SoSeparator* cube = new SoSeparator;
            SoTranslation* at = new SoTranslation;
            at->translation = kPath[i];
            cube->addChild(at);
            SoBaseColor* colour = new SoBaseColor;
            colour->rgb = kCubeColours[i];
            cube->addChild(colour);
            cube->addChild(new SoCube);
            content->addChild(cube);
        }
        canvas->getOivSceneManager()->getRoot3D()->addChild(content);
        viewer->viewAll();
        // Close enough for the cube at the tracking point to fill most of the view.
        viewer->getCamera()->focalDistance = 4.0f;
        viewer->setTrackingCurve(0, 3, kPath, kPath[1], true);
        testsupport::runMessageLoopUntilIdle();
        recorder = canvas->getVideoRecorder();
    }
    void TearDown() override {
        delete canvas;
        DestroyWindow(host);
    }

    // What the canvas shows with the tracking point on resampled point `index`.
    std::vector<unsigned char> shownAt(int index) {
        viewer->updateTrackingPoint(viewer->getResampledTrackingCurve()[index], true, false);
        viewer->render();
        std::vector<unsigned char> pixels;
        SbVec2s size;
        viewer->readPixels(pixels, size);
        return pixels;
    }

    testsupport::ScratchFolder folder;
    HWND host = nullptr;
    OivCanvas* canvas = nullptr;
    OivWinCurveViewer* viewer = nullptr;
    OivVideoRecorder* recorder = nullptr;
};

TEST_F(VideoFlightTest, AFlightHoldsEveryFrameAndEndsWhereTheViewerWas) {
    // The first flight takes the view's size and the default quality; the second the quality of
    // a start before it (the best), which the pictures show.
    struct Case {
        int first, last, framesPerStep;
        bool startFirst;
        double tolerance;
    };
    const int lastPoint = 0; // replaced by the curve's last point below
    for (const Case& flight : {Case{0, lastPoint, 1, false, 20.0}, Case{70, 40, 2, true, 16.0}}) {
        if (flight.startFirst) {
            recorder->start(kViewSize, 0.0f);
            recorder->stop();
        }
        const int last =
            flight.last == lastPoint ? viewer->getNumResampledPoints() - 1 : flight.last;
        const SbVec3f point = viewer->getTrackingPoint();
        const SbVec3f position = viewer->getCamera()->position.getValue();
        const int index = FileIndex::last() + 1;
        ASSERT_TRUE(recorder->recordFlight(flight.first, last, flight.framesPerStep));
        EXPECT_EQ(viewer->getTrackingPoint(), point);
        EXPECT_EQ(viewer->getCamera()->position.getValue(), position);

        const testsupport::VideoFile file =
            testsupport::playVideoFile(folder.file(videoName(index)));
        ASSERT_EQ(file.frameCount(), (std::abs(last - flight.first) + 1) * flight.framesPerStep);
        EXPECT_EQ(SbVec2s(short(file.width), short(file.height)), kViewSize);
        // Subsampling and the quantiser blur edges, the tracking compass's thin lines drawn over
        // the cubes most; another point of view differs far more.
        const std::vector<unsigned char> atFirst = shownAt(flight.first), atLast = shownAt(last);
        EXPECT_LT(testsupport::meanDifference(file.pictures.front(), atFirst), flight.tolerance);
        EXPECT_LT(testsupport::meanDifference(file.pictures.back(), atLast), flight.tolerance);
        EXPECT_GT(testsupport::meanDifference(atFirst, atLast), 40.0) << "the two ends look alike";
    }
}

TEST_F(VideoFlightTest, ACancelledFlightPlaysTheFramesBeforeTheCancel) {
    struct Progress {
        int calls = 0;
        float lastDone = 0.0f;
        static bool report(void* data, float done) {
            auto* progress = static_cast<Progress*>(data);
            const bool rising = done > progress->lastDone;
            progress->lastDone = done;
            return rising && ++progress->calls < 3;
        }
    } progress;
    recorder->start(SbVec2s(32, 24), 1.0f); // the flight's size
    recorder->stop();
    const SbVec3f position = viewer->getCamera()->position.getValue();
    const int index = FileIndex::last() + 1;
    EXPECT_TRUE(recorder->recordFlight(0, 40, 2, &Progress::report, &progress));
    EXPECT_EQ(progress.calls, 3);
    const testsupport::VideoFile file = testsupport::playVideoFile(folder.file(videoName(index)));
    EXPECT_EQ(file.frameCount(), 6);
    EXPECT_EQ(file.width, 32);
    EXPECT_EQ(viewer->getCamera()->position.getValue(), position);
    EXPECT_FALSE(recorder->hasRecording());
}

TEST_F(VideoFlightTest, AFlightThatCannotRunWritesNothing) {
    HWND otherHost = testsupport::createHostWindow(kViewSize[0], kViewSize[1]);
    OivCanvas examiner;
    examiner.initialize(OivBaseCanvas::EXAMINER_VIEWER, otherHost);
    const int points = viewer->getNumResampledPoints();
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"examiner canvas", [&] { return examiner.getVideoRecorder()->recordFlight(0, 1); }},
        {"first index below", [&] { return recorder->recordFlight(-1, 3); }},
        {"last index beyond", [&] { return recorder->recordFlight(0, points); }},
        {"no frames per point", [&] { return recorder->recordFlight(0, 3, 0); }},
        {"while recording",
         [&] {
             recorder->start(kViewSize, 0.3f);
             const bool flown = recorder->recordFlight(0, 3);
             recorder->stop();
             return flown;
         }},
        {"no curve",
         [&] {
             viewer->disableTracking(true);
             return recorder->recordFlight(0, 0);
         }},
    };
    for (const auto& [name, fly] : cases) {
        const int before = FileIndex::last();
        const size_t files = folder.fileNames().size();
        const bool recording = std::string(name) == "while recording";
        EXPECT_FALSE(fly()) << name;
        EXPECT_EQ(FileIndex::last(), before + (recording ? 1 : 0)) << name;
        EXPECT_EQ(folder.fileNames().size(), files + (recording ? 1 : 0)) << name;
    }
    DestroyWindow(otherHost);
}

} // namespace
