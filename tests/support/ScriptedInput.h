// Scripted mouse input and sensor stepping for tests that drive viewers by messages.
#ifndef OIVWINTAV_TESTS_SCRIPTEDINPUT_H
#define OIVWINTAV_TESTS_SCRIPTEDINPUT_H

#include <windows.h>

#include <functional>

namespace testsupport {

// Runs Coin's due sensors until `done` says so or `seconds` have passed; true when done.
bool runSensorsUntil(const std::function<bool()>& done, double seconds = 5.0);

// Sends one mouse message to `hwnd` at client (x, y).
void mouse(HWND hwnd, UINT message, WPARAM keys, int x, int y);
// Presses with `down`, moves in `steps` steps from `from` to `to` with `keys` held, releases
// with `up` (0: no release).
void drag(HWND hwnd, UINT down, UINT up, WPARAM keys, POINT from, POINT to, int steps = 5);

} // namespace testsupport

#endif // OIVWINTAV_TESTS_SCRIPTEDINPUT_H
