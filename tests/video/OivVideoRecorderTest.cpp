// A canvas's video recorder: the numbered files it writes into the current folder, read back as
// a player reads them, through its idle, recording and paused states.
#include "OivWinTav.h"
#include "support/MessageLoop.h"
#include "support/VideoFile.h"

#include <DialogViz/dialog/SoDialogPushButton.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoTranslation.h>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const SbVec2s kFrameSize(64, 48);
constexpr float kQuality = 0.3f;
constexpr int kMaxOpenAttempts = 100;

using testsupport::videoName;
using FileIndex = testsupport::VideoFileIndex;

class VideoRecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The canvas is as large as the frames, so both show the same picture.
        host = testsupport::createHostWindow(kFrameSize[0], kFrameSize[1]);
        canvas = new OivCanvas;
        canvas->initialize(OivBaseCanvas::EXAMINER_VIEWER, host);
        ASSERT_NE(canvas->getOivViewer(), nullptr);
        // A flat red cube in the middle of every frame, with a blue ball at its top right that
        // tells a picture upside down or mirrored.
        SoSeparator* content = new SoSeparator;
        SoLightModel* flat = new SoLightModel;
        flat->model = SoLightModel::BASE_COLOR;
        content->addChild(flat);
        SoBaseColor* red = new SoBaseColor;
        red->rgb.setValue(1, 0, 0);
        content->addChild(red);
        content->addChild(new SoCube);
        SoTranslation* corner = new SoTranslation;
        corner->translation.setValue(1.6f, 1.6f, 0);
        content->addChild(corner);
        SoBaseColor* blue = new SoBaseColor;
        blue->rgb.setValue(0, 0, 1);
        content->addChild(blue);
        SoSphere* ball = new SoSphere;
        ball->radius = 0.5f;
        content->addChild(ball);
        canvas->getOivSceneManager()->getRoot3D()->addChild(content);
        canvas->getOivViewer()->viewAll();
        testsupport::runMessageLoopUntilIdle();
    }
    void TearDown() override {
        delete canvas;
        DestroyWindow(host);
    }

    // A small camera move, seen by the recorder when the loop runs.
    void moveCamera() {
        SoCamera* camera = canvas->getOivViewer()->getCamera();
        camera->position = camera->position.getValue() + SbVec3f(0.01f, 0, 0);
        testsupport::runMessageLoopUntilIdle();
    }

    // The file is an MPEG-1 video of the recorder's frame size with `frames` red pictures.
    ::testing::AssertionResult playsRed(int index, int frames) const {
        const testsupport::VideoFile file =
            testsupport::playVideoFile(folder.file(videoName(index)));
        if (!file.opened || file.codec != "mpeg1video" || file.width != kFrameSize[0] ||
            file.height != kFrameSize[1])
            return ::testing::AssertionFailure()
                   << videoName(index) << " does not play as " << kFrameSize[0] << "x"
                   << kFrameSize[1] << " MPEG-1 (" << file.codec << " " << file.width << "x"
                   << file.height << ")";
        if (file.frameCount() != frames)
            return ::testing::AssertionFailure()
                   << videoName(index) << " has " << file.frameCount() << " frames, not " << frames;
        for (int i = 0; i < file.frameCount(); ++i) {
            const Rgb centre = file.centre(i);
            if (centre.r < 180 || centre.g > 60 || centre.b > 60)
                return ::testing::AssertionFailure() << "frame " << i << " shows " << centre;
        }
        return ::testing::AssertionSuccess();
    }

    testsupport::ScratchFolder folder;
    HWND host = nullptr;
    OivCanvas* canvas = nullptr;
};

TEST_F(VideoRecorderTest, NothingIsRecordedWithoutACanvasWithAViewer) {
    const int before = FileIndex::last();
    OivVideoRecorder alone;
    OivCanvas uninitialised;
    for (OivVideoRecorder* recorder : {&alone, uninitialised.getVideoRecorder()}) {
        recorder->start(kFrameSize, kQuality);
        moveCamera();
        recorder->pause();
        recorder->resume();
        recorder->stop();
    }
    EXPECT_TRUE(folder.fileNames().empty());
    EXPECT_EQ(FileIndex::last(), before);
}

TEST_F(VideoRecorderTest, FilesAreNumberedAcrossStopsAndRecorders) {
    OivVideoRecorder* recorder = canvas->getVideoRecorder();
    ASSERT_EQ(recorder, canvas->getVideoRecorder());
    ASSERT_EQ(recorder->getOivBaseCanvas(), canvas);
    const int first = FileIndex::last() + 1;

    recorder->start(kFrameSize, kQuality);
    moveCamera();
    moveCamera();
    recorder->stop();
    recorder->start(kFrameSize, kQuality);
    moveCamera();
    recorder->stop();
    OivVideoRecorder second;
    second.setOivBaseCanvas(canvas);
    second.start(kFrameSize, kQuality);
    moveCamera();
    second.stop();

    std::vector<std::string> expected = {videoName(first), videoName(first + 1),
                                         videoName(first + 2)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.fileNames(), expected);
    EXPECT_TRUE(playsRed(first, 2));
    EXPECT_TRUE(playsRed(first + 1, 1));
    EXPECT_TRUE(playsRed(first + 2, 1));
}

TEST_F(VideoRecorderTest, ARecordingInWhichNothingChangedHoldsTheViewOnce) {
    OivVideoRecorder* recorder = canvas->getVideoRecorder();
    const int first = FileIndex::last() + 1;
    recorder->start(kFrameSize, kQuality);
    recorder->start(kFrameSize, kQuality); // finalises the first
    recorder->pause();
    moveCamera();
    recorder->stop();
    EXPECT_TRUE(playsRed(first, 1));
    EXPECT_TRUE(playsRed(first + 1, 1));
}

TEST_F(VideoRecorderTest, EachFrameIsWhatTheCanvasShows) {
    SoWinFullViewer* viewer = canvas->getOivViewer();
    const int first = FileIndex::last() + 1;
    OivVideoRecorder* recorder = canvas->getVideoRecorder();
    recorder->start(kFrameSize, 0.0f);
    std::vector<std::vector<unsigned char>> shown(2);
    SbVec2s size;
    for (std::vector<unsigned char>& picture : shown) {
        moveCamera();
        ASSERT_TRUE(viewer->readPixels(picture, size));
    }
    recorder->stop();
    const testsupport::VideoFile file = testsupport::playVideoFile(folder.file(videoName(first)));
    ASSERT_EQ(file.frameCount(), 2);
    for (int i = 0; i < 2; ++i) {
        // Colour subsampling and the quantiser blur edges a little; a picture upside down, in
        // other colours or from elsewhere differs by far more.
        EXPECT_LT(testsupport::meanDifference(file.pictures[i], shown[i]), 8.0) << "frame " << i;
        const Rgb ball = file.at(i, kFrameSize[0] * 2 / 3, kFrameSize[1] / 4);
        EXPECT_GT(ball.b, 150) << "top right of frame " << i << " shows " << ball;
    }
}

TEST_F(VideoRecorderTest, PauseResumeAndStopOnlyActOnARecording) {
    OivVideoRecorder* recorder = canvas->getVideoRecorder();
    const int before = FileIndex::last();
    recorder->pause();
    recorder->resume();
    moveCamera();
    recorder->stop();
    EXPECT_TRUE(folder.fileNames().empty());
    EXPECT_EQ(FileIndex::last(), before);

    recorder->start(kFrameSize, kQuality);
    moveCamera();
    recorder->pause();
    moveCamera();
    moveCamera();
    recorder->resume();
    moveCamera();
    recorder->stop();
    recorder->stop();
    moveCamera();
    EXPECT_EQ(folder.fileNames(), std::vector<std::string>{videoName(before + 1)});
    EXPECT_TRUE(playsRed(before + 1, 2));
}

TEST_F(VideoRecorderTest, AStartWhileRecordingFinalisesTheCurrentFile) {
    OivVideoRecorder* recorder = canvas->getVideoRecorder();
    const int first = FileIndex::last() + 1;
    recorder->start(kFrameSize, kQuality);
    moveCamera();
    recorder->pause();
    recorder->start(SbVec2s(32, 32), 1.0f); // the first start's size stays until stop
    moveCamera();
    moveCamera();
    recorder->stop();
    EXPECT_TRUE(playsRed(first, 1));
    EXPECT_TRUE(playsRed(first + 1, 2));
}

TEST_F(VideoRecorderTest, DeletingTheCanvasFinalisesARunningRecording) {
    const int first = FileIndex::last() + 1;
    canvas->getVideoRecorder()->start(kFrameSize, kQuality);
    moveCamera();
    delete canvas;
    canvas = nullptr;
    EXPECT_TRUE(playsRed(first, 1));
}

// A recorder the canvas does not own lets go of it, finalising its file as deleting it would.
TEST_F(VideoRecorderTest, RecorderOfADeletedCanvasFinalisesItsFileAndRecordsNoMore) {
    for (bool paused : {false, true}) {
        SCOPED_TRACE(paused ? "paused" : "recording");
        if (!canvas)
            SetUp();
        const int first = FileIndex::last() + 1;
        OivVideoRecorder recorder;
        recorder.setOivBaseCanvas(canvas);
        recorder.start(kFrameSize, kQuality);
        moveCamera();
        if (paused)
            recorder.pause();
        delete canvas;
        canvas = nullptr;
        DestroyWindow(host);
        EXPECT_TRUE(playsRed(first, 1));
        EXPECT_EQ(recorder.getOivBaseCanvas(), nullptr);
        recorder.start(kFrameSize, kQuality);
        EXPECT_FALSE(recorder.hasRecording());
        EXPECT_EQ(FileIndex::last(), first);
    }
}

// A current folder that no longer exists takes no file, whoever runs the test.
TEST_F(VideoRecorderTest, GivesUpWhenNoFileCanBeCreated) {
    const std::string gone = folder.file("gone");
    ASSERT_EQ(mkdir(gone.c_str(), 0700), 0);
    ASSERT_EQ(chdir(gone.c_str()), 0);
    ASSERT_EQ(rmdir(gone.c_str()), 0);
    OivVideoRecorder* recorder = canvas->getVideoRecorder();
    const int before = FileIndex::last();
    recorder->start(kFrameSize, kQuality);
    EXPECT_EQ(FileIndex::last(), before + kMaxOpenAttempts);
    moveCamera();
    recorder->pause();
    recorder->resume();
    recorder->stop();

    // Idle again: a start in a folder that takes files records.
    ASSERT_EQ(chdir(folder.path().c_str()), 0);
    recorder->start(kFrameSize, kQuality);
    moveCamera();
    recorder->stop();
    EXPECT_EQ(folder.fileNames(),
              std::vector<std::string>{videoName(before + kMaxOpenAttempts + 1)});
    EXPECT_TRUE(playsRed(before + kMaxOpenAttempts + 1, 1));
}

// Every process numbers its files from 1: the files of an earlier run, and whatever else carries
// a name of the series, are left as they are and their numbers skipped.
TEST_F(VideoRecorderTest, AnEarlierRecordingIsNeverOverwritten) {
    const int first = FileIndex::last() + 1;
    {
        std::ofstream earlier(folder.file(videoName(first)));
        earlier << "earlier recording";
    }
    ASSERT_EQ(mkdir(folder.file(videoName(first + 1)).c_str(), 0700), 0);
    OivVideoRecorder* recorder = canvas->getVideoRecorder();
    recorder->start(kFrameSize, kQuality);
    EXPECT_TRUE(recorder->hasRecording());
    moveCamera();
    recorder->stop();

    std::ifstream earlier(folder.file(videoName(first)));
    std::string kept;
    std::getline(earlier, kept);
    EXPECT_EQ(kept, "earlier recording");
    EXPECT_TRUE(playsRed(first + 2, 1));
}

// MPEG-1 pictures are at most 4095 pixels wide and high: such a size is refused at once, with
// no file left behind and one number used, and the recorder stays idle.
TEST_F(VideoRecorderTest, ASizeTheVideoCannotTakeLeavesTheRecorderIdle) {
    OivVideoRecorder* recorder = canvas->getVideoRecorder();
    const int before = FileIndex::last();
    recorder->start(SbVec2s(5000, 5000), kQuality);
    EXPECT_FALSE(recorder->hasRecording());
    EXPECT_EQ(FileIndex::last(), before + 1);
    moveCamera();
    recorder->stop();
    EXPECT_TRUE(folder.fileNames().empty());

    recorder->start(kFrameSize, kQuality);
    EXPECT_TRUE(recorder->hasRecording());
    moveCamera();
    recorder->stop();
    EXPECT_TRUE(playsRed(before + 2, 1));
}

// A full disk, as the file-size limit gives one: the recording stops by itself, its file plays
// with the frames written before, and the dialog is idle again.
TEST_F(VideoRecorderTest, ARecordingTheDiskCannotTakeStopsWithTheFramesWrittenBefore) {
    DuiVideoRecorder dialog;
    dialog.setOivCanvas(canvas);
    dialog.initialize();
    canvas->addDUI(&dialog);
    SoTopLevelDialog* controls = dialog.getTopLevelDialog();
    auto* startButton = DuiBaseDialog::findControl<SoDialogPushButton>(controls, "AID_video_start");
    auto* endButton = DuiBaseDialog::findControl<SoDialogPushButton>(controls, "AID_video_end");
    ASSERT_TRUE(startButton && endButton);
    OivVideoRecorder* recorder = canvas->getVideoRecorder();
    const int first = FileIndex::last() + 1;

    rlimit limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit full = {16 * 1024, limit.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    startButton->press();
    int moves = 0;
    for (; moves < 400 && recorder->hasRecording(); ++moves)
        moveCamera();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(recorder->hasRecording()) << "after " << moves << " frames";
    EXPECT_TRUE(startButton->enable.getValue());
    EXPECT_FALSE(endButton->enable.getValue());
    const testsupport::VideoFile file = testsupport::playVideoFile(folder.file(videoName(first)));
    EXPECT_TRUE(file.opened);
    EXPECT_GT(file.frameCount(), 0);
    EXPECT_LT(file.frameCount(), moves);
    for (int i = 0; i < file.frameCount(); ++i)
        EXPECT_GT(file.centre(i).r, 180) << "frame " << i;
}

} // namespace
