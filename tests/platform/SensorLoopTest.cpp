// Coin's sensors fire from the host's own message loop while it waits in GetMessageA.
#include "Win32Fixture.h"

#include <Inventor/SoDB.h>
#include <Inventor/sensors/SoAlarmSensor.h>
#include <Inventor/sensors/SoOneShotSensor.h>
#include <Inventor/sensors/SoTimerSensor.h>

using namespace win32test;

namespace {

struct Counter {
    int fired = 0;
    int quitAfter = 1;
};

// Counts, and ends the loop after the wanted number of calls.
void countAndQuit(void* data, SoSensor*) {
    auto* counter = static_cast<Counter*>(data);
    if (++counter->fired == counter->quitAfter)
        PostQuitMessage(counter->fired);
}

// Runs the loop to WM_QUIT, dispatching everything, and returns the exit code.
WPARAM runLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return msg.wParam;
}

} // namespace

class SensorLoopTest : public Win32Test {
protected:
    static void SetUpTestSuite() { SoDB::init(); }
};

TEST_F(SensorLoopTest, AlarmFiresWhileTheLoopWaits) {
    Counter counter;
    SoAlarmSensor alarm(countAndQuit, &counter);
    alarm.setTimeFromNow(SbTime(0.05));
    alarm.schedule();
    EXPECT_EQ(counter.fired, 0); // nothing fires before the loop runs
    EXPECT_EQ(runLoop(), WPARAM(1));
    EXPECT_EQ(counter.fired, 1);
    EXPECT_FALSE(alarm.isScheduled());
}

TEST_F(SensorLoopTest, TimerKeepsFiringAtItsInterval) {
    Counter counter;
    counter.quitAfter = 3;
    SoTimerSensor timer(countAndQuit, &counter);
    timer.setInterval(SbTime(0.01));
    timer.schedule();
    EXPECT_EQ(runLoop(), WPARAM(3));
    timer.unschedule();
    EXPECT_EQ(counter.fired, 3);
}

TEST_F(SensorLoopTest, DelaySensorRunsWhenTheQueueIsIdle) {
    Counter counter;
    SoOneShotSensor idle(countAndQuit, &counter);
    idle.schedule();
    HWND hwnd = createRecorded(nullptr, 0, 0, 0, 1, 1);
    PostMessageA(hwnd, WM_USER, 0, 0);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE); // messages first
    EXPECT_EQ(msg.message, UINT(WM_USER));
    EXPECT_EQ(counter.fired, 0);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE); // then idle work, which quits
    EXPECT_EQ(counter.fired, 1);
    DestroyWindow(hwnd);
}

TEST_F(SensorLoopTest, DelaySensorRunsAfterItsTimeoutWhenMessagesNeverStop) {
    Counter counter;
    counter.quitAfter = 0; // never quits: the loop below must see it fire between messages
    SoOneShotSensor redraw(countAndQuit, &counter);
    redraw.schedule();
    HWND hwnd = createRecorded(nullptr, 0, 0, 0, 1, 1);
    DWORD start = GetTickCount();
    MSG msg;
    while (counter.fired == 0 && GetTickCount() - start < 10000) {
        PostMessageA(hwnd, WM_USER, 0, 0); // the queue is never empty when GetMessageA looks
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
        EXPECT_EQ(msg.message, UINT(WM_USER));
    }
    EXPECT_EQ(counter.fired, 1);
    DestroyWindow(hwnd);
}

TEST_F(SensorLoopTest, PeekRunsDueTimers) {
    Counter counter;
    SoAlarmSensor alarm(countAndQuit, &counter);
    alarm.setTimeFromNow(SbTime(0.0));
    alarm.schedule();
    Sleep(5);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(counter.fired, 1);
}
