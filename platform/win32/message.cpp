// Window procedures and the message loop: sending, posting, retrieving and dispatching.
//
// While GetMessageA waits it runs Coin's sensor queues (see SensorPump) and sleeps until a message
// is posted or the next timer sensor is due: on the queue's condition variable when headless, on
// the window system's connection when there is one (see WindowSystem), whose events become
// posted messages before the queue is looked at.
//
// A host with a loop of its own (a toolkit's) runs the same steps through OivWin32ProcessEvents
// when the descriptor of OivWin32GetEventFd is readable or the timeout of
// OivWin32GetNextTimeoutMs has passed, and does the waiting itself.
#include "detail/InputState.h"
#include "detail/MessageQueue.h"
#include "detail/SensorPump.h"
#include "detail/WindowRegistry.h"
#include "detail/WindowSystem.h"

#include <oivwin32.h>
#include <windows.h>

#include <sys/epoll.h>

#include <algorithm>
#include <chrono>
#include <climits>

using oivwin32::InputState;
using oivwin32::MessageQueue;
using oivwin32::SensorPump;
using oivwin32::WindowRecord;
using oivwin32::WindowRegistry;
using oivwin32::WindowSystem;

namespace {

// The longest single wait: a sensor scheduled from another thread is noticed within this time.
constexpr auto kLongestWait = std::chrono::milliseconds(100);

// A host's loop runs between two calls of OivWin32ProcessEvents: one call handles at most this
// many messages, so a window that keeps posting to itself cannot starve the host's own events.
constexpr int kMostMessagesPerCall = 10000;

thread_local MSG lastRetrieved{};

// What a host's loop watches: one epoll descriptor over the display connection and the wake
// descriptor of the queue of the thread that asked, made once.
struct HostWatch {
    int fd = -1;
    std::shared_ptr<MessageQueue> queue;
    bool sensorsWatched = false;
    // While OivWin32ProcessEvents runs, what it schedules is its own to run or to report through
    // OivWin32GetNextTimeoutMs; waking the host for it would only bring it back for nothing.
    bool processing = false;
};

HostWatch& hostWatch() {
    static HostWatch watch;
    return watch;
}

// Coin's sensor queues changed (a redraw or a timer was scheduled by the host's own code, a
// Qt button calling the canvas): the host's loop must come round to run them.
void wakeHostLoop(void* queue) {
    if (!hostWatch().processing)
        static_cast<MessageQueue*>(queue)->wake();
}

void watchSensorsForHost(HostWatch& watch) {
    if (watch.queue && !watch.sensorsWatched)
        watch.sensorsWatched = SensorPump::watchChanges(wakeHostLoop, watch.queue.get());
}

int makeHostFd(const MessageQueue& queue) {
    const int fd = epoll_create1(EPOLL_CLOEXEC);
    if (fd < 0)
        return -1;
    WindowSystem* system = WindowSystem::installed();
    for (int watched : {queue.wakeFd(), system ? system->connectionFd() : -1}) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = watched;
        if (watched >= 0)
            epoll_ctl(fd, EPOLL_CTL_ADD, watched, &event);
    }
    return fd;
}

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

int WINAPI OivWin32GetEventFd(void) {
    HostWatch& watch = hostWatch();
    if (watch.fd < 0) {
        watch.queue = MessageQueue::current();
        watch.fd = makeHostFd(*watch.queue);
    }
    watchSensorsForHost(watch);
    return watch.fd;
}

BOOL WINAPI OivWin32ProcessEvents(void) {
    HostWatch& watch = hostWatch();
    watchSensorsForHost(watch);
    watch.processing = true;
    bool quit = false;
    MSG msg;
    for (int i = 0;
         i < kMostMessagesPerCall && !quit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        quit = msg.message == WM_QUIT;
        if (!quit) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (!quit)
        SensorPump::runIdle();
    watch.processing = false;
    return quit ? FALSE : TRUE;
}

int WINAPI OivWin32GetNextTimeoutMs(void) {
    std::shared_ptr<MessageQueue> queue = MessageQueue::current();
    WindowSystem* system = WindowSystem::installed();
    MSG paint;
    if (queue->hasMessages() || takePaint(&paint, *queue, nullptr, false) ||
        (system && system->hasQueuedEvents()) || SensorPump::hasIdleWork())
        return 0;
    const auto due = SensorPump::nextTimerDue();
    if (!due)
        return -1;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*due - MessageQueue::Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

DWORD WINAPI GetMessageTime(void) {
    return lastRetrieved.time;
}

DWORD WINAPI GetMessagePos(void) {
    return static_cast<DWORD>(MAKELONG(lastRetrieved.pt.x, lastRetrieved.pt.y));
}

} // extern "C"
