// Window procedures and the message loop: sending, posting, retrieving and dispatching.
//
// While GetMessageA waits it runs Coin's sensor queues (see SensorPump) and sleeps until a message
// is posted or the next timer sensor is due: on the queue's condition variable when headless, on
// the window system's connection when there is one (see WindowSystem), whose events become
// posted messages before the queue is looked at.
#include "detail/InputState.h"
#include "detail/MessageQueue.h"
#include "detail/SensorPump.h"
#include "detail/WindowRegistry.h"
#include "detail/WindowSystem.h"

#include <windows.h>

#include <algorithm>
#include <chrono>

using oivwin32::InputState;
using oivwin32::MessageQueue;
using oivwin32::SensorPump;
using oivwin32::WindowRecord;
using oivwin32::WindowRegistry;
using oivwin32::WindowSystem;

namespace {

// The longest single wait: a sensor scheduled from another thread is noticed within this time.
constexpr auto kLongestWait = std::chrono::milliseconds(100);

thread_local MSG lastRetrieved{};

MSG makeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{hwnd, message, wParam, lParam, GetTickCount(), InputState::instance().cursor()};
    return msg;
}

WNDPROC procedureOf(HWND hwnd) {
    return WindowRegistry::withWindow(hwnd, WNDPROC(nullptr),
                                      [](WindowRecord& w, WindowRegistry&) { return w.procedure; });
}

// What GetMessageA and PeekMessageA ask for: messages for `window` and its descendants (for any
// window when null) numbered from `first` to `last` (any number when both are 0). Small enough
// to be held inside the queue's filter function, so looking for a message allocates nothing.
struct MessageFilter {
    HWND window;
    UINT first, last;

    bool takes(UINT message) const {
        return (first == 0 && last == 0) || (message >= first && message <= last);
    }
    bool operator()(const MSG& m) const {
        return takes(m.message) &&
               (!window || WindowRegistry::instance().locked([&](WindowRegistry& registry) {
                   return registry.isSelfOrDescendant(window, m.hwnd);
               }));
    }
};

// A WM_PAINT for a visible window of this thread that waits for one.
bool takePaint(MSG* msg, const MessageQueue& queue, HWND filter, bool remove) {
    HWND hwnd = WindowRegistry::instance().locked([&](WindowRegistry& registry) -> HWND {
        WindowRecord* window = registry.findNeedingPaint(&queue, filter);
        if (!window)
            return nullptr;
        // Taken once: there is no BeginPaint here to validate the window.
        if (remove)
            window->needsPaint = false;
        return window->handle;
    });
    if (!hwnd)
        return false;
    *msg = makeMessage(hwnd, WM_PAINT, 0, 0);
    return true;
}

// The next message of the calling thread that passes the filters, in Win32's order: posted
// messages, then WM_QUIT, then WM_PAINT. Messages for windows destroyed since they were posted
// are dropped. Never waits.
bool retrieve(MSG* msg, const MessageFilter& filter, bool remove) {
    std::shared_ptr<MessageQueue> queue = MessageQueue::current();
    bool found = false;
    while (!found && queue->take(msg, filter, filter.takes(WM_QUIT), remove)) {
        found = msg->message == WM_QUIT || !msg->hwnd || IsWindow(msg->hwnd);
        if (!found)
            queue->discard(msg->hwnd);
    }
    if (!found)
        found = filter.takes(WM_PAINT) && takePaint(msg, *queue, filter.window, remove);
    if (found && msg->message == WM_QUIT) {
        msg->time = GetTickCount();
        msg->pt = InputState::instance().cursor();
    }
    if (found)
        lastRetrieved = *msg;
    return found;
}

bool isValidFilter(HWND filter) {
    if (filter && !IsWindow(filter)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return true;
}

// The character a key-down stands for, or 0. Only the keys that produce text on every layout.
char characterOf(WPARAM virtualKey) {
    bool shift = GetKeyState(VK_SHIFT) < 0;
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return static_cast<char>(shift ? virtualKey : virtualKey - 'A' + 'a');
    if (virtualKey >= '0' && virtualKey <= '9' && !shift)
        return static_cast<char>(virtualKey);
    switch (virtualKey) {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return '\r';
    case VK_BACK:
        return '\b';
    case VK_TAB:
        return '\t';
    case VK_ESCAPE:
        return 0x1B;
    default:
        return 0;
    }
}

} // namespace

extern "C" {

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Sent messages call the procedure directly, from whichever thread sends them.
    WNDPROC proc = procedureOf(hwnd);
    if (!proc)
        return 0;
    InputState::instance().observe(hwnd, msg, wParam, lParam);
    return proc(hwnd, msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<MessageQueue> queue =
        hwnd ? WindowRegistry::withWindow(hwnd, std::shared_ptr<MessageQueue>(),
                                          [](WindowRecord& w, WindowRegistry&) { return w.queue; })
             : MessageQueue::current();
    if (!queue)
        return FALSE;
    if (hwnd)
        InputState::instance().observe(hwnd, msg, wParam, lParam);
    queue->post(makeMessage(hwnd, msg, wParam, lParam));
    return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    std::shared_ptr<MessageQueue> queue = MessageQueue::current();
    for (;;) {
        if (!isValidFilter(hwnd)) // the window waited for was destroyed meanwhile
            return -1;
        SensorPump::runOverdueDelay();
        WindowSystem::pump();
        if (retrieve(msg, MessageFilter{hwnd, filterMin, filterMax}, true))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        if (SensorPump::runDueTimers() || SensorPump::runIdle())
            continue; // the sensors may have posted something
        auto deadline = MessageQueue::Clock::now() + kLongestWait;
        if (auto due = SensorPump::nextTimerDue())
            deadline = std::min(deadline, *due);
        WindowSystem::wait(*queue, deadline);
    }
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
    if (!msg || !isValidFilter(hwnd))
        return FALSE;
    SensorPump::runDueTimers();
    SensorPump::runOverdueDelay();
    WindowSystem::pump();
    return retrieve(msg, MessageFilter{hwnd, filterMin, filterMax}, (removeMsg & PM_REMOVE) != 0)
               ? TRUE
               : FALSE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg)
        return FALSE;
    switch (msg->message) {
    case WM_KEYDOWN:
        if (char c = characterOf(msg->wParam))
            PostMessageA(msg->hwnd, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)),
                         msg->lParam);
        return TRUE;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg || !msg->hwnd)
        return 0;
    WNDPROC proc = procedureOf(msg->hwnd);
    return proc ? proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

void WINAPI PostQuitMessage(int exitCode) {
    MessageQueue::current()->postQuit(exitCode);
}

DWORD WINAPI GetMessageTime(void) {
    return lastRetrieved.time;
}

DWORD WINAPI GetMessagePos(void) {
    return static_cast<DWORD>(MAKELONG(lastRetrieved.pt.x, lastRetrieved.pt.y));
}

} // extern "C"
