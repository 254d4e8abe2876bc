#include "MessageQueue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace oivwin32 {

std::shared_ptr<MessageQueue> MessageQueue::current() {
    thread_local std::shared_ptr<MessageQueue> queue = std::make_shared<MessageQueue>();
    return queue;
}

MessageQueue::MessageQueue() : wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

MessageQueue::~MessageQueue() {
    if (wakeFd_ >= 0)
        close(wakeFd_);
}

void MessageQueue::signalLocked() {
    // The descriptor is written once per batch and read empty by the next take, so it is
    // readable exactly while newSinceTake_ holds.
    if (!newSinceTake_ && wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(wakeFd_, &one, sizeof one);
    }
    newSinceTake_ = true;
}

void MessageQueue::post(const MSG& msg) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(msg);
        signalLocked();
    }
    posted_.notify_all();
}

void MessageQueue::postQuit(int exitCode) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quitPending_ = true;
        quitCode_ = exitCode;
        signalLocked();
    }
    posted_.notify_all();
}

void MessageQueue::wake() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        signalLocked();
    }
    posted_.notify_all();
}

bool MessageQueue::hasMessages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !messages_.empty() || quitPending_;
}

bool MessageQueue::take(MSG* msg, const Filter& accepts, bool acceptsQuit, bool remove) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (newSinceTake_ && wakeFd_ >= 0) {
        uint64_t count = 0;
        [[maybe_unused]] ssize_t got = read(wakeFd_, &count, sizeof count);
    }
    newSinceTake_ = false;
    auto found = std::find_if(messages_.begin(), messages_.end(), accepts);
    if (found != messages_.end()) {
        *msg = *found;
        if (remove)
            messages_.erase(found);
        return true;
    }
    if (!quitPending_ || !acceptsQuit)
        return false;
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(quitCode_);
    if (remove)
        quitPending_ = false;
    return true;
}

void MessageQueue::discard(HWND hwnd) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.erase(std::remove_if(messages_.begin(), messages_.end(),
                                   [hwnd](const MSG& m) { return m.hwnd == hwnd; }),
                    messages_.end());
}

void MessageQueue::waitForPost(Clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    posted_.wait_until(lock, deadline, [this] { return newSinceTake_; });
}

} // namespace oivwin32
