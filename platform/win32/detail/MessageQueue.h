// The message queue of one thread.
//
// Each thread that creates windows or reads messages has its own queue; a window remembers the
// queue of the thread that created it, so PostMessageA from any thread lands in the right one
// and wakes a thread waiting in GetMessageA. WM_QUIT is a flag, as in Win32: it is returned
// only once no posted message is left.
//
// A waiter sleeps either on the condition variable or, when it also waits for a display
// connection, in poll() on the queue's wake descriptor (an eventfd): both are signalled together,
// so a message posted from another thread wakes either kind at once.
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

    MessageQueue();
    ~MessageQueue();
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
    // Wakes a waiter as a post does, without a message: work arrived elsewhere (Coin's sensor
    // queues changed) that the loop must look at.
    void wake();
    // Readable from a post or wake until the next take; -1 when the system gave no eventfd (the
    // condition variable still works).
    int wakeFd() const { return wakeFd_; }
    // Whether a posted message or WM_QUIT waits.
    bool hasMessages();

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<MSG> messages_;
    bool quitPending_ = false;
    int quitCode_ = 0;
    bool newSinceTake_ = false;
    int wakeFd_ = -1;

    // With the mutex held.
    void signalLocked();
};

} // namespace oivwin32

#endif
