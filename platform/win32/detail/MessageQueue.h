// The message queue of one thread.
//
// Each thread that creates windows or reads messages has its own queue; a window remembers the
// queue of the thread that created it, so PostMessageA from any thread lands in the right one
// and wakes a thread waiting in GetMessageA. WM_QUIT is a flag, as in Win32: it is returned
// only once no posted message is left.
#ifndef OIVWINTAV_WIN32_DETAIL_MESSAGEQUEUE_H
#define OIVWINTAV_WIN32_DETAIL_MESSAGEQUEUE_H

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace oivwin32 {

class MessageQueue {
public:
    using Clock = std::chrono::steady_clock;
    using Filter = std::function<bool(const MSG&)>;

    // The calling thread's queue, created on first use.
    static std::shared_ptr<MessageQueue> current();

    MessageQueue() = default;
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    void post(const MSG& msg);
    void postQuit(int exitCode);
    // The first posted message that `accepts`, else WM_QUIT when one is pending and `acceptsQuit`.
    // `remove` takes it off the queue. Never waits.
    bool take(MSG* msg, const Filter& accepts, bool acceptsQuit, bool remove);
    // Drops every posted message for `hwnd`.
    void discard(HWND hwnd);
    // Returns when something was posted since the last take, or at `deadline`.
    void waitForPost(Clock::time_point deadline);

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<MSG> messages_;
    bool quitPending_ = false;
    int quitCode_ = 0;
    bool newSinceTake_ = false;
};

} // namespace oivwin32

#endif
