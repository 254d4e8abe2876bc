// Helpers of the Win32 tests: a window class whose procedure records every message it gets, and
// checks of a message sequence against a table and of a rectangle that print both on failure.
#ifndef OIVWINTAV_TESTS_PLATFORM_WIN32FIXTURE_H
#define OIVWINTAV_TESTS_PLATFORM_WIN32FIXTURE_H

#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace win32test {

struct Recorded {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<Recorded>& recorded() {
    static std::vector<Recorded> log;
    return log;
}

inline std::string messageName(UINT message) {
    switch (message) {
#define OIVWIN_NAME(m)                                                                             \
    case m:                                                                                        \
        return #m;
        OIVWIN_NAME(WM_NCCREATE)
        OIVWIN_NAME(WM_CREATE)
        OIVWIN_NAME(WM_SIZE)
        OIVWIN_NAME(WM_MOVE)
        OIVWIN_NAME(WM_SHOWWINDOW)
        OIVWIN_NAME(WM_CLOSE)
        OIVWIN_NAME(WM_DESTROY)
        OIVWIN_NAME(WM_NCDESTROY)
        OIVWIN_NAME(WM_PAINT)
        OIVWIN_NAME(WM_SETFOCUS)
        OIVWIN_NAME(WM_KILLFOCUS)
        OIVWIN_NAME(WM_ENABLE)
        OIVWIN_NAME(WM_SETTEXT)
        OIVWIN_NAME(WM_GETTEXT)
        OIVWIN_NAME(WM_MOUSEMOVE)
        OIVWIN_NAME(WM_LBUTTONDOWN)
        OIVWIN_NAME(WM_KEYDOWN)
        OIVWIN_NAME(WM_CHAR)
        OIVWIN_NAME(WM_USER)
#undef OIVWIN_NAME
    default:
        return "0x" + [message] {
            std::ostringstream s;
            s << std::hex << message;
            return s.str();
        }();
    }
}

// The procedure of the recording class: logs, and answers with DefWindowProcA, except for
// messages a test chooses to answer itself through `override`.
inline LRESULT (*&procedureOverride())(HWND, UINT, WPARAM, LPARAM, bool*) {
    static LRESULT (*hook)(HWND, UINT, WPARAM, LPARAM, bool*) = nullptr;
    return hook;
}

inline LRESULT CALLBACK recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    recorded().push_back(Recorded{hwnd, message, wParam, lParam});
    bool handled = false;
    if (auto hook = procedureOverride()) {
        LRESULT result = hook(hwnd, message, wParam, lParam, &handled);
        if (handled)
            return result;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

constexpr const char* kRecordingClass = "Win32TestRecorder";
constexpr int kRecordingExtraBytes = 16;

inline void registerRecordingClass() {
    WNDCLASSA existing;
    if (GetClassInfoA(nullptr, kRecordingClass, &existing))
        return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = recordingProc;
    wc.cbWndExtra = kRecordingExtraBytes;
    wc.lpszClassName = kRecordingClass;
    ASSERT_NE(RegisterClassA(&wc), 0);
}

inline HWND createRecorded(HWND parent, DWORD style, int x, int y, int width, int height,
                           const char* title = "") {
    return CreateWindowExA(0, kRecordingClass, title, style, x, y, width, height, parent, nullptr,
                           nullptr, nullptr);
}

// The messages recorded for `hwnd` (all windows when null), in order.
inline std::vector<UINT> messagesOf(HWND hwnd = nullptr) {
    std::vector<UINT> messages;
    for (const Recorded& r : recorded())
        if (!hwnd || r.hwnd == hwnd)
            messages.push_back(r.message);
    return messages;
}

inline std::string describe(const std::vector<UINT>& messages) {
    std::string text;
    for (UINT m : messages)
        text += (text.empty() ? "" : ", ") + messageName(m);
    return "[" + text + "]";
}

inline ::testing::AssertionResult sequenceIs(const std::vector<UINT>& actual,
                                             const std::vector<UINT>& expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "expected " << describe(expected) << "\n  actual " << describe(actual);
}

inline ::testing::AssertionResult rectIs(const RECT& actual, LONG left, LONG top, LONG right,
                                         LONG bottom) {
    if (actual.left == left && actual.top == top && actual.right == right &&
        actual.bottom == bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "expected {" << left << ", " << top << ", " << right << ", " << bottom
           << "}\n  actual {" << actual.left << ", " << actual.top << ", " << actual.right << ", "
           << actual.bottom << "}";
}

// Every test starts with an empty log, no procedure override and an empty message queue.
class Win32Test : public ::testing::Test {
protected:
    void SetUp() override {
        registerRecordingClass();
        drainQueue();
        recorded().clear();
        procedureOverride() = nullptr;
    }
    void TearDown() override {
        procedureOverride() = nullptr;
        drainQueue();
    }
    static void drainQueue() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
};

} // namespace win32test

#endif
