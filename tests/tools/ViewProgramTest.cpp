// oivwintav-view run as a user runs it, on scene files the tests write: what the picture shows,
// how long the orbit video plays, and what each failure prints and returns.
#include "support/VideoFile.h"

#include <Inventor/SbImage.h>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

namespace {

using testsupport::ScratchFolder;

const char kLitScene[] = "#Inventor V2.1 ascii\n"
                         "Separator { Material { diffuseColor 0.9 0.5 0.1 } Cone { } "
                         "Translation { translation 3 0 0 } Cube { } }\n";
const char kVrmlScene[] = "#VRML V2.0 utf8\n"
                          "Shape { appearance Appearance { material Material { diffuseColor 0 1 0 "
                          "} } geometry Sphere { radius 2 } }\n";
const char kDamagedScene[] = "#Inventor V2.1 ascii\nSeparator { Cube { width 2 } Material { ";

struct ViewRun {
    int status = -1;
    std::string out, err;
};

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The program in the current folder, with no display and the test programs' sanitizer settings
// (read only by a sanitizer build); both outputs are kept.
ViewRun runView(const std::string& arguments) {
    const std::string command =
        "env -u DISPLAY "
        "LSAN_OPTIONS=print_suppressions=0:suppressions=" OIVWINTAV_LEAK_SUPPRESSIONS_FILE
        " ASAN_OPTIONS=" OIVWINTAV_ASAN_OPTIONS " " OIVWINTAV_VIEW_PROGRAM " " +
        arguments + " >view.out 2>view.err </dev/null";
    ViewRun run;
    const int result = std::system(command.c_str());
    run.status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    run.out = readText("view.out");
    run.err = readText("view.err");
    return run;
}

void writeScene(const std::string& name, const char* text) {
    std::ofstream(name) << text;
}

// The lines of `text` that are not Coin's one harmless warning about a GLX context.
std::string withoutGlxWarning(const std::string& text) {
    std::istringstream lines(text);
    std::string kept, line;
    while (std::getline(lines, line))
        if (line.find("GLX context") == std::string::npos &&
            line.find("glxglue") == std::string::npos)
            kept += line + "\n";
    return kept;
}

struct PictureCase {
    const char* name;
    const char* arguments;
    int width, height;
};

void PrintTo(const PictureCase& test, std::ostream* out) {
    *out << test.arguments;
}

class ViewPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(ViewPicture, ShowsTheContentAtTheAskedSize) {
    ScratchFolder folder;
    writeScene("lit.iv", kLitScene);
    writeScene("ball.wrl", kVrmlScene);
    const ViewRun run = runView(std::string("--png out.png ") + GetParam().arguments);
    ASSERT_EQ(run.status, 0) << run.err;

    SbImage image;
    ASSERT_TRUE(image.readFile("out.png"));
    SbVec2s size;
    int components = 0;
    const unsigned char* pixels = image.getValue(size, components);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(size[0], GetParam().width);
    EXPECT_EQ(size[1], GetParam().height);
    std::set<std::tuple<int, int, int>> colours;
    for (int i = 0; i < size[0] * size[1]; ++i) {
        const unsigned char* p = pixels + i * components;
        colours.emplace(p[0], p[1], p[2]);
    }
    // Shaded content, not a background of one colour.
    EXPECT_GT(colours.size(), 16u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ViewPicture,
    ::testing::Values(PictureCase{"examiner", "lit.iv --size 200x150", 200, 150},
                      PictureCase{"two_files_plane", "--plane lit.iv ball.wrl", 640, 480},
                      PictureCase{"demo_curve", "--curve --zscale 7.5 --size 96x300", 96, 300},
                      PictureCase{"decorated",
                                  "--background gradient --compass --giro --cursor "
                                  "--size 300x200 ball.wrl",
                                  300, 200}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    const char* arguments;
    int status;
    const char* message; // the first line of the error output
    bool usage;          // the usage follows
};

void PrintTo(const FailureCase& test, std::ostream* out) {
    *out << test.arguments;
}

class ViewFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ViewFailure, ExitsWithItsStatusAndMessage) {
    ScratchFolder folder;
    writeScene("lit.iv", kLitScene);
    writeScene("damaged.iv", kDamagedScene);
    const ViewRun run = runView(GetParam().arguments);
    EXPECT_EQ(run.status, GetParam().status);
    const std::string err = withoutGlxWarning(run.err);
    EXPECT_EQ(err.substr(0, err.find('\n')).rfind(GetParam().message, 0), 0u) << err;
    EXPECT_EQ(err.find("\nusage: oivwintav-view") != std::string::npos, GetParam().usage) << err;
    // Nothing is written when a run fails.
    EXPECT_EQ(folder.fileNames(),
              (std::vector<std::string>{"damaged.iv", "lit.iv", "view.err", "view.out"}));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ViewFailure,
    ::testing::Values(
        FailureCase{"damaged_file", "--png out.png lit.iv damaged.iv", 1,
                    "oivwintav-view: cannot read damaged.iv: ", false},
        FailureCase{"missing_file", "--png out.png missing.iv", 1,
                    "oivwintav-view: cannot read missing.iv: No such file", false},
        FailureCase{"zscale_not_in_table", "--png out.png --zscale 3.3 lit.iv", 2,
                    "oivwintav-view: --zscale 3.3 is not one of the canvas's Z scales: 0.01, 0.1",
                    true},
        FailureCase{"zscale_no_number", "--zscale big lit.iv", 2,
                    "oivwintav-view: --zscale needs a number", true},
        FailureCase{"unknown_option", "--spin lit.iv", 2, "oivwintav-view: unknown option --spin",
                    true},
        FailureCase{"video_without_orbit", "--video out.mpg lit.iv", 2,
                    "oivwintav-view: --video needs --orbit", true},
        FailureCase{"flight_without_curve", "--video out.mpg --flight lit.iv", 2,
                    "oivwintav-view: --flight needs --curve", true},
        FailureCase{"bad_size", "--size 0x10 --png out.png lit.iv", 2,
                    "oivwintav-view: --size takes WxH", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewHelp, PrintsTheUsageAndSucceeds) {
    ScratchFolder folder;
    const ViewRun run = runView("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: oivwintav-view", 0), 0u) << run.out;
}

struct VideoCase {
    const char* name;
    const char* arguments; // with --video video.mpg --size 160x120 before them
    int frames;            // at the recorder's 25 frames per second; 0: one per point of a curve
};

void PrintTo(const VideoCase& test, std::ostream* out) {
    *out << test.arguments;
}

class ViewVideo : public ::testing::TestWithParam<VideoCase> {};

TEST_P(ViewVideo, WritesExactlyTheNamedVideoOfTheMovingView) {
    ScratchFolder folder;
    writeScene("lit.iv", kLitScene);
    const ViewRun run =
        runView(std::string("--video video.mpg --size 160x120 ") + GetParam().arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    // Not a terminal: no progress bar, nothing but Coin's warning.
    EXPECT_EQ(withoutGlxWarning(run.err), "");
    EXPECT_EQ(folder.fileNames(),
              (std::vector<std::string>{"lit.iv", "video.mpg", "view.err", "view.out"}));
    const testsupport::VideoFile video = testsupport::playVideoFile("video.mpg");
    ASSERT_TRUE(video.opened);
    EXPECT_EQ(video.width, 160);
    EXPECT_EQ(video.height, 120);
    if (GetParam().frames > 0)
        EXPECT_EQ(video.frameCount(), GetParam().frames);
    else
        EXPECT_GT(video.frameCount(), 10);
    // The view moved: the first picture and the one half way differ.
    EXPECT_NE(video.pictures.front(), video.pictures[video.pictures.size() / 2]);
}

INSTANTIATE_TEST_SUITE_P(Motions, ViewVideo,
                         ::testing::Values(VideoCase{"orbit_1s", "--orbit 1 lit.iv", 25},
                                           VideoCase{"orbit_0_4s", "--orbit 0.4 lit.iv", 10},
                                           VideoCase{"flight_down_the_demo_well",
                                                     "--curve --flight", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
