// Time and error-state functions of the Win32 subset.
#include <windows.h>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// The performance counter counts nanoseconds of a monotonic clock, so its frequency is fixed.
constexpr LONGLONG kCounterTicksPerSecond = 1000000000LL;

thread_local DWORD lastError = 0;

LONGLONG nanosecondsSinceEpoch() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

} // namespace

extern "C" {

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (!count)
        return FALSE;
    count->QuadPart = nanosecondsSinceEpoch();
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency)
        return FALSE;
    frequency->QuadPart = kCounterTicksPerSecond;
    return TRUE;
}

DWORD WINAPI GetTickCount(void) {
    return static_cast<DWORD>(nanosecondsSinceEpoch() / 1000000LL);
}

void WINAPI Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD WINAPI GetLastError(void) {
    return lastError;
}

void WINAPI SetLastError(DWORD error) {
    lastError = error;
}

} // extern "C"
