// Running the application's message loop from a test until everything pending has happened.
#ifndef OIVWINTAV_TESTS_MESSAGELOOP_H
#define OIVWINTAV_TESTS_MESSAGELOOP_H

#include <windows.h>

namespace testsupport {

// Runs SoWin::mainLoop until every posted message and every Coin delay-queue sensor pending
// now (scheduled redraws included) has been handled, then returns.
void runMessageLoopUntilIdle();

// Runs the message loop until WM_QUIT and returns its exit code; kNoQuit when none came within
// `seconds` (a generous limit, so that a missing quit fails a test instead of hanging it).
constexpr int kNoQuit = -12345;
int runMessageLoopUntilQuit(double seconds = 10.0);

// A borderless child window of the application's top-level window, width × height pixels of
// client area, for components to be built in. Destroy it with DestroyWindow.
HWND createHostWindow(int width, int height);

} // namespace testsupport

#endif // OIVWINTAV_TESTS_MESSAGELOOP_H
