#include "support/MessageLoop.h"

#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/sensors/SoAlarmSensor.h>
#include <Inventor/sensors/SoOneShotSensor.h>

namespace testsupport {

namespace {

constexpr const char* kHostClassName = "OivTestHost";

void exitLoopCB(void*, SoSensor*) {
    SoWin::exitMainLoop();
}

void giveUpCB(void*, SoSensor*) {
    PostQuitMessage(kNoQuit);
}

} // namespace

void runMessageLoopUntilIdle() {
    // Delay-queue sensors run in order of priority value, so this one comes after every redraw.
    SoOneShotSensor quit(exitLoopCB, nullptr);
    quit.setPriority(SoSceneManager::getDefaultRedrawPriority() * 2);
    quit.schedule();
    SoWin::mainLoop();
}

int runMessageLoopUntilQuit(double seconds) {
    SoAlarmSensor limit(giveUpCB, nullptr);
    limit.setTimeFromNow(SbTime(seconds));
    limit.schedule();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return int(msg.wParam);
}

HWND createHostWindow(int width, int height) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = SoWin::getInstance();
    windowClass.lpszClassName = kHostClassName;
    if (!GetClassInfoA(windowClass.hInstance, kHostClassName, &windowClass))
        RegisterClassA(&windowClass);
    return CreateWindowExA(0, kHostClassName, "host", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                           SoWin::getTopLevelWidget(), nullptr, SoWin::getInstance(), nullptr);
}

} // namespace testsupport
