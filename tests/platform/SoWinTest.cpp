// The application object: one top-level window, node-library initialisers, and a main loop
// that runs Coin's sensors.
#include "support/MessageLoop.h"

#include <Inventor/C/errors/debugerror.h>
#include <Inventor/SoDB.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/sensors/SoTimerSensor.h>

#include <gtest/gtest.h>

#include <string>

namespace {

int initRuns = 0;
void countInit() {
    ++initRuns;
}

TEST(SoWin, InitOnceGivesTheSameTopLevelWindow) {
    HWND first = SoWin::getTopLevelWidget();
    ASSERT_TRUE(IsWindow(first));
    EXPECT_EQ(SoWin::init("again"), first);
    EXPECT_TRUE(SoWin::isInitialized());
    EXPECT_NE(SoWin::getInstance(), nullptr);
}

TEST(SoWin, InitCallbackAddedAfterInitRunsAtOnceAndOnlyOnce) {
    SoWin::addInitCallback(countInit);
    EXPECT_EQ(initRuns, 1);
    SoWin::addInitCallback(countInit);
    SoWin::init("again");
    EXPECT_EQ(initRuns, 1);
}

TEST(SoWin, CoinsGlxProbeWarningIsDroppedAndOtherMessagesStillShow) {
    ::testing::internal::CaptureStderr();
    cc_debugerror_postwarning("glxglue_isdirect", "Couldn't get current GLX context.");
    cc_debugerror_postwarning("SoSomething::check", "a warning of Coin's own");
    cc_debugerror_post("glxglue_init", "an error of the GLX glue");
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed.find("GLX context"), std::string::npos) << printed;
    EXPECT_NE(printed.find("a warning of Coin's own"), std::string::npos) << printed;
    EXPECT_NE(printed.find("an error of the GLX glue"), std::string::npos) << printed;
}

struct Ticks {
    int count = 0;
};

void tickCB(void* data, SoSensor*) {
    if (++static_cast<Ticks*>(data)->count == 3)
        SoWin::exitMainLoop();
}

TEST(SoWin, MainLoopRunsTimerSensorsUntilExitMainLoop) {
    Ticks ticks;
    SoTimerSensor timer(tickCB, &ticks);
    timer.setInterval(SbTime(0.001));
    timer.schedule();
    SoWin::mainLoop();
    timer.unschedule();
    EXPECT_EQ(ticks.count, 3);
}

} // namespace
