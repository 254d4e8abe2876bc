// The video recorder dialog operated as a user would (press, toggle, select): the recordings it
// makes of its canvas, read back as a player reads them, and the buttons it enables.
#include "dui/DuiVideoRecorder.h"
#include "OivWinTav.h"
#include "dui/DuiVideoRecorderAuditor.h"
#include "support/MessageLoop.h"
#include "support/VideoFile.h"

#include <DialogViz/SoDialogVizAll.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

class VideoRecorderDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = testsupport::createHostWindow(64, 48);
        canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, host);
        canvas.getOivSceneManager()->getRoot3D()->addChild(new SoCube);
        canvas.getOivViewer()->viewAll();
        testsupport::runMessageLoopUntilIdle();
        dialog.setOivCanvas(&canvas);
        dialog.initialize();
    }
    void TearDown() override { DestroyWindow(host); }

    template <class Control> Control* control(const char* auditorId) {
        Control* found = DuiBaseDialog::findControl<Control>(dialog.getTopLevelDialog(), auditorId);
        EXPECT_NE(found, nullptr) << auditorId;
        return found;
    }
    void press(const char* auditorId) { control<SoDialogPushButton>(auditorId)->press(); }
    void select(const char* auditorId, int index) {
        control<SoDialogComboBox>(auditorId)->select(index);
    }
    SoDialogCheckBox* pauseBox() { return control<SoDialogCheckBox>("AID_pause"); }

    // Which of "Start", the pause box and "End" are enabled, in that order.
    std::string enabled() {
        std::string flags;
        for (const char* id : {"AID_video_start", "AID_pause", "AID_video_end"})
            flags += control<SoDialogViz>(id)->enable.getValue() ? '1' : '0';
        return flags;
    }

    void moveCamera() {
        SoCamera* camera = canvas.getOivViewer()->getCamera();
        camera->position = camera->position.getValue() + SbVec3f(0.01f, 0, 0);
        testsupport::runMessageLoopUntilIdle();
    }

    // The one video file the folder holds.
    testsupport::VideoFile recording() {
        const std::vector<std::string> names = folder.fileNames();
        EXPECT_EQ(names.size(), 1u);
        return names.empty() ? testsupport::VideoFile()
                             : testsupport::playVideoFile(folder.file(names.front()));
    }

    DuiVideoRecorderAuditor* auditor() {
        return static_cast<DuiVideoRecorderAuditor*>(dialog.getAuditor());
    }

    testsupport::ScratchFolder folder;
    HWND host = nullptr;
    OivCanvas canvas;
    DuiVideoRecorder dialog;
};

TEST_F(VideoRecorderDialogTest, StartsIdleWithTheMediumQualityAt640x480) {
    EXPECT_EQ(enabled(), "100");
    EXPECT_EQ(auditor()->getResolution(), SbVec2s(640, 480));
    EXPECT_FLOAT_EQ(auditor()->getQuality(), 0.3f);
    EXPECT_EQ(dialog.getDialogComponent(),
              dialog.getTopLevelDialog()->searchForAuditorId("AID_video_recorder"));

    press("AID_video_start");
    moveCamera();
    press("AID_video_end");
    const testsupport::VideoFile file = recording();
    EXPECT_EQ(file.width, 640);
    EXPECT_EQ(file.height, 480);
    EXPECT_EQ(file.frameCount(), 1);
}

TEST_F(VideoRecorderDialogTest, StartAndEndRecordAtTheChosenSizeAndSwitchTheButtons) {
    select("AID_resolution", 0);
    select("AID_video_compression", 0);
    EXPECT_FLOAT_EQ(auditor()->getQuality(), 0.0f);
    press("AID_video_start");
    EXPECT_EQ(enabled(), "011");
    moveCamera();
    press("AID_video_start"); // disabled while recording: no second file
    moveCamera();
    press("AID_video_end");
    EXPECT_EQ(enabled(), "100");
    const testsupport::VideoFile file = recording();
    EXPECT_EQ(file.codec, "mpeg1video");
    EXPECT_EQ(file.width, 320);
    EXPECT_EQ(file.height, 240);
    EXPECT_EQ(file.frameCount(), 2);
}

TEST_F(VideoRecorderDialogTest, ThePauseBoxPausesAndResumesAndOutlivesTheRecording) {
    select("AID_resolution", 0);
    press("AID_video_start");
    moveCamera();
    pauseBox()->toggle();
    moveCamera();
    moveCamera();
    pauseBox()->toggle();
    moveCamera();
    pauseBox()->toggle();
    press("AID_video_end"); // ended while paused
    EXPECT_EQ(enabled(), "100");
    EXPECT_TRUE(pauseBox()->state.getValue());
    EXPECT_EQ(recording().frameCount(), 2);
}

TEST_F(VideoRecorderDialogTest, QualityItemsAreInOrderOfQuality) {
    float previous = -1.0f;
    for (int item = 0; item < 4; ++item) {
        select("AID_video_compression", item);
        EXPECT_GT(auditor()->getQuality(), previous) << "item " << item;
        previous = auditor()->getQuality();
    }
    EXPECT_FLOAT_EQ(previous, 1.0f);
    select("AID_resolution", 3);
    EXPECT_EQ(auditor()->getResolution(), SbVec2s(1024, 768));
    select("AID_resolution", 4); // no such item
    EXPECT_EQ(auditor()->getResolution(), SbVec2s(1024, 768));
}

TEST_F(VideoRecorderDialogTest, WithoutACanvasEveryEventIsIgnored) {
    DuiVideoRecorder unbound;
    unbound.initialize();
    SoTopLevelDialog* top = unbound.getTopLevelDialog();
    DuiBaseDialog::findControl<SoDialogComboBox>(top, "AID_resolution")->select(0);
    DuiBaseDialog::findControl<SoDialogPushButton>(top, "AID_video_start")->press();
    moveCamera();
    EXPECT_TRUE(folder.fileNames().empty());
    EXPECT_TRUE(DuiBaseDialog::findControl<SoDialogViz>(top, "AID_video_start")->enable.getValue());
    EXPECT_FALSE(DuiBaseDialog::findControl<SoDialogViz>(top, "AID_video_end")->enable.getValue());
    EXPECT_EQ(static_cast<DuiVideoRecorderAuditor*>(unbound.getAuditor())->getResolution(),
              SbVec2s(640, 480));
}

// Nothing to pause or end: a current folder that takes no file, and a canvas with no viewer yet.
TEST_F(VideoRecorderDialogTest, AStartThatOpensNoFileLeavesTheButtonsIdle) {
    const std::string gone = folder.file("gone");
    ASSERT_EQ(mkdir(gone.c_str(), 0700), 0);
    ASSERT_EQ(chdir(gone.c_str()), 0);
    ASSERT_EQ(rmdir(gone.c_str()), 0);
    press("AID_video_start");
    EXPECT_EQ(enabled(), "100");
    ASSERT_EQ(chdir(folder.path().c_str()), 0);

    OivCanvas uninitialised;
    dialog.setOivCanvas(&uninitialised);
    press("AID_video_start");
    EXPECT_EQ(enabled(), "100");
    dialog.setOivCanvas(&canvas);
    press("AID_video_start");
    EXPECT_EQ(enabled(), "011");
    press("AID_video_end");
    EXPECT_EQ(recording().frameCount(), 1)
        << "the view as it was: a video without frames plays nowhere";
}

} // namespace
