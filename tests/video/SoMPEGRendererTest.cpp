// The MPEG renderers: what they record is read back the way a player reads it (libavformat and
// libavcodec), frame by frame, with the colour each frame shows.
#include "support/MessageLoop.h"
#include "support/VideoFile.h"

#include <Inventor/SoMPEGNavRenderer.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

const SbVec2s kSize(64, 48);
const SbColor kRed(1, 0, 0), kGreen(0, 1, 0), kBlue(0, 0, 1), kWhite(1, 1, 1);

// Colours survive the trip through YUV 4:2:0 and the quantiser only approximately.
constexpr int kColourTolerance = 48;

Rgb rgbOf(const SbColor& colour) {
    return {int(colour[0] * 255), int(colour[1] * 255), int(colour[2] * 255)};
}

::testing::AssertionResult showsColours(const testsupport::VideoFile& file,
                                        const std::vector<SbColor>& expected) {
    if (file.frameCount() != int(expected.size()))
        return ::testing::AssertionFailure()
               << file.frameCount() << " frames instead of " << expected.size();
    for (size_t i = 0; i < expected.size(); ++i) {
        const Rgb want = rgbOf(expected[i]), got = file.centre(int(i));
        if (std::abs(want.r - got.r) > kColourTolerance ||
            std::abs(want.g - got.g) > kColourTolerance ||
            std::abs(want.b - got.b) > kColourTolerance)
            return ::testing::AssertionFailure()
                   << "frame " << i << " shows " << got << " instead of " << want;
    }
    return ::testing::AssertionSuccess();
}

// A flat-coloured cube that fills the middle of the picture; every colour change is a change of
// the scene.
class MPEGRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = new SoSeparator;
        root->ref();
        SoOrthographicCamera* camera = new SoOrthographicCamera;
        camera->height = 1.5f;
        root->addChild(camera);
        SoLightModel* flat = new SoLightModel;
        flat->model = SoLightModel::BASE_COLOR;
        root->addChild(flat);
        colour = new SoBaseColor;
        root->addChild(colour);
        root->addChild(new SoCube);
    }
    void TearDown() override { root->unref(); }

    std::unique_ptr<SoMPEGNavRenderer> recorderOf(const std::string& name,
                                                  unsigned int maxFrames = 100) {
        auto renderer = std::make_unique<SoMPEGNavRenderer>(root);
        renderer->setSize(kSize);
        renderer->setCompressionRate(0.1f);
        EXPECT_TRUE(renderer->openFile(folder.file(name).c_str(), maxFrames));
        return renderer;
    }

    // Sets the colour once per value, all in one pass of the loop, then lets the loop run.
    void paint(std::initializer_list<SbColor> colours) {
        for (const SbColor& c : colours)
            colour->rgb.setValue(c);
        testsupport::runMessageLoopUntilIdle();
    }

    testsupport::VideoFile play(const std::string& name) const {
        return testsupport::playVideoFile(folder.file(name));
    }

    testsupport::ScratchFolder folder;
    SoSeparator* root = nullptr;
    SoBaseColor* colour = nullptr;
};

TEST_F(MPEGRendererTest, EachBurstOfSceneChangesIsOneFrameOfAnMpeg1File) {
    auto renderer = recorderOf("changes.mpg");
    renderer->record();
    paint({kRed});
    paint({kGreen, kWhite, kBlue}); // coalesced: one frame showing the last colour
    paint({kWhite});
    testsupport::runMessageLoopUntilIdle(); // nothing changed: no frame
    renderer->closeFile();

    const testsupport::VideoFile file = play("changes.mpg");
    ASSERT_TRUE(file.opened);
    EXPECT_EQ(file.codec, "mpeg1video");
    EXPECT_EQ(file.width, kSize[0]);
    EXPECT_EQ(file.height, kSize[1]);
    EXPECT_TRUE(showsColours(file, {kRed, kBlue, kWhite}));
}

TEST_F(MPEGRendererTest, StopLeavesChangesOutAndRecordTakesThemAgain) {
    auto renderer = recorderOf("paused.mpg");
    paint({kGreen}); // opened but not recording yet
    renderer->record();
    paint({kRed});
    renderer->stop();
    paint({kGreen});
    paint({kGreen, kWhite});
    renderer->record();
    paint({kBlue});
    renderer->closeFile();
    EXPECT_TRUE(showsColours(play("paused.mpg"), {kRed, kBlue}));
}

TEST_F(MPEGRendererTest, NoFrameBeyondTheMaximum) {
    auto renderer = recorderOf("short.mpg", 2);
    renderer->record();
    for (const SbColor& c : {kRed, kGreen, kBlue, kWhite})
        paint({c});
    EXPECT_EQ(renderer->getNumFramesRecorded(), 2u);
    renderer->closeFile();
    EXPECT_TRUE(showsColours(play("short.mpg"), {kRed, kGreen}));
}

TEST_F(MPEGRendererTest, EveryFileOpenedIsFinalised) {
    // Deleted while recording, without closeFile.
    auto renderer = recorderOf("deleted.mpg");
    renderer->record();
    paint({kRed});
    paint({kBlue});
    renderer.reset();
    EXPECT_TRUE(showsColours(play("deleted.mpg"), {kRed, kBlue}));

    // A second openFile while the first file is open; frame sizes are taken per file.
    renderer = recorderOf("first.mpg");
    renderer->record();
    paint({kGreen});
    renderer->setSize(SbVec2s(33, 17)); // odd sizes too
    ASSERT_TRUE(renderer->openFile(folder.file("second.mpg").c_str(), 10));
    paint({kWhite});
    paint({kRed});
    renderer->closeFile();
    renderer->closeFile(); // a second close does nothing
    EXPECT_TRUE(showsColours(play("first.mpg"), {kGreen}));
    const testsupport::VideoFile second = play("second.mpg");
    EXPECT_EQ(second.width, 33);
    EXPECT_EQ(second.height, 17);
    EXPECT_TRUE(showsColours(second, {kWhite, kRed}));
}

TEST_F(MPEGRendererTest, AFileThatCannotBeCreatedRecordsNothing) {
    SoMPEGNavRenderer renderer(root);
    EXPECT_FALSE(renderer.openFile(folder.file("missing/video.mpg").c_str(), 10));
    EXPECT_FALSE(renderer.openFile("", 10));
    EXPECT_FALSE(renderer.isFileOpen());
    renderer.record();
    paint({kRed});
    renderer.recordFrame();
    EXPECT_EQ(renderer.getNumFramesRecorded(), 0u);
    EXPECT_TRUE(folder.fileNames().empty());
}

TEST_F(MPEGRendererTest, AFrameIsRecordedOnRequestWithoutASceneChange) {
    SoMPEGRenderer renderer(root);
    renderer.setSize(kSize);
    colour->rgb.setValue(kGreen);
    ASSERT_TRUE(renderer.openFile(folder.file("frames.mpg").c_str(), 10));
    renderer.recordFrame(); // not recording: nothing
    renderer.record();
    renderer.recordFrame();
    renderer.recordFrame();
    renderer.closeFile();
    EXPECT_TRUE(showsColours(play("frames.mpg"), {kGreen, kGreen}));
}

// A lit sphere is shaded smoothly everywhere, so the quantiser shows in the file size.
TEST_F(MPEGRendererTest, AHigherCompressionRateGivesASmallerFile) {
    SoSeparator* shaded = new SoSeparator;
    shaded->ref();
    SoOrthographicCamera* camera = new SoOrthographicCamera;
    camera->position.setValue(0, 0, 5);
    shaded->addChild(camera);
    shaded->addChild(new SoDirectionalLight);
    shaded->addChild(new SoSphere);
    std::uintmax_t sizes[2];
    for (int i = 0; i < 2; ++i) {
        SoMPEGRenderer renderer(shaded);
        renderer.setSize(SbVec2s(640, 480));
        renderer.setCompressionRate(float(i));
        const std::string name = folder.file(i == 0 ? "best.mpg" : "smallest.mpg");
        ASSERT_TRUE(renderer.openFile(name.c_str(), 10));
        renderer.record();
        renderer.recordFrame();
        renderer.closeFile();
        sizes[i] = std::filesystem::file_size(name);
    }
    shaded->unref();
    EXPECT_GT(sizes[0], sizes[1] + sizes[1] / 2);
}

TEST_F(MPEGRendererTest, ACompressionRateOutsideTheRangeIsTakenAtItsNearestEnd) {
    SoMPEGRenderer renderer(root);
    const std::pair<float, float> rates[] = {{-1.0f, 0.0f}, {2.0f, 1.0f}, {std::nanf(""), 0.0f}};
    for (const auto& [given, taken] : rates) {
        renderer.setCompressionRate(given);
        EXPECT_EQ(renderer.getCompressionRate(), taken) << given;
    }
}

} // namespace

// Frames are written by a worker behind a short queue: recorded faster than it encodes, every
// frame still arrives, in order (each numbered by its colour).
TEST_F(MPEGRendererTest, TheWorkerKeepsEveryFrameInOrder) {
    const SbColor cycle[] = {kRed, kGreen, kBlue, kWhite};
    std::vector<SbColor> expected;
    SoMPEGRenderer renderer(root);
    renderer.setSize(SbVec2s(640, 480)); // large enough for encoding to lag behind drawing
    ASSERT_TRUE(renderer.openFile(folder.file("ordered.mpg").c_str(), 100));
    renderer.record();
    for (int i = 0; i < 40; ++i) {
        expected.push_back(cycle[(i * 7 / 3) % 4]);
        colour->rgb = expected.back();
        renderer.recordFrame();
    }
    renderer.closeFile();
    EXPECT_TRUE(showsColours(testsupport::playVideoFile(folder.file("ordered.mpg")), expected));
}
