// Entry point of the on-screen tests. They run on a private Xvfb server that this program starts
// on a free display number: windows are real X windows, input is injected through XTest and
// pixels are read from the screen. Without Xvfb every test fails, saying so.
//
//   test_onscreen --write-headless-frame=<file.png>
// instead writes the demo canvas's frame headless (no display at all), for the tests that compare
// it with the same canvas on screen.
#include "onscreen/HeadlessFrame.h"
#include "onscreen/XvfbServer.h"

#include <Inventor/Win/SoWin.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

// The sanitizer settings of the headless test programs (their main is not linked here). The
// display connection and the EGL displays live as long as the process and stay reachable, so they
// need no exception.
#include "SanitizerDefaults.h"

namespace {

class XvfbEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        std::string error;
        const std::string display = onscreen::XvfbServer::start(error);
        ASSERT_FALSE(display.empty()) << "no X server for the on-screen tests: " << error;
        setenv("DISPLAY", display.c_str(), 1);
        unsetenv("OIVWINTAV_HEADLESS");
        SoWin::init("OivWinTav on-screen tests");
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strncmp(argv[1], onscreen::kHeadlessFrameOption,
                                  std::strlen(onscreen::kHeadlessFrameOption)) == 0)
        return onscreen::writeHeadlessFrame(argv[1] + std::strlen(onscreen::kHeadlessFrameOption));
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);
    return RUN_ALL_TESTS();
}
