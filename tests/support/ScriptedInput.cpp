#include "support/ScriptedInput.h"

#include <Inventor/SbTime.h>
#include <Inventor/Win/SoWin.h>

#include <chrono>
#include <thread>

namespace testsupport {

bool runSensorsUntil(const std::function<bool()>& done, double seconds) {
    const SbTime end = SbTime::getTimeOfDay() + SbTime(seconds);
    while (!done()) {
        if (SbTime::getTimeOfDay() > end)
            return false;
        SoWin::doIdleTasks();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void mouse(HWND hwnd, UINT message, WPARAM keys, int x, int y) {
    SendMessageA(hwnd, message, keys, MAKELPARAM(x, y));
}

void drag(HWND hwnd, UINT down, UINT up, WPARAM keys, POINT from, POINT to, int steps) {
    mouse(hwnd, down, keys, from.x, from.y);
    for (int i = 1; i <= steps; ++i)
        mouse(hwnd, WM_MOUSEMOVE, keys, from.x + (to.x - from.x) * i / steps,
              from.y + (to.y - from.y) * i / steps);
    if (up)
        mouse(hwnd, up, 0, to.x, to.y);
}

} // namespace testsupport
