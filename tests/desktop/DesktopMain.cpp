// Entry point of the desktop tests: programs of the project run as a user runs them, on a private
// Xvfb server with openbox as the window manager, driven by XTest input and judged by the pixels
// on the screen and their exit status. Without Xvfb or openbox every test fails, saying so.
#include "desktop/DesktopProgramTest.h"
#include "onscreen/WindowManager.h"
#include "onscreen/XvfbServer.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "SanitizerDefaults.h"

namespace {

class DesktopEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        std::string error;
        const std::string display = onscreen::XvfbServer::start(error);
        ASSERT_FALSE(display.empty()) << "no X server for the desktop tests: " << error;
        setenv("DISPLAY", display.c_str(), 1);
        unsetenv("OIVWINTAV_HEADLESS");
        // It ends with the server.
        ASSERT_TRUE(onscreen::WindowManager::start(error)) << error;
    }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);
    return RUN_ALL_TESTS();
}
