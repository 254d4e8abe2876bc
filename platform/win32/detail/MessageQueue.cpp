#include "MessageQueue.h"

#include <algorithm>

namespace oivwin32 {

std::shared_ptr<MessageQueue> MessageQueue::current() {
    thread_local std::shared_ptr<MessageQueue> queue = std::make_shared<MessageQueue>();
    return queue;
}

void MessageQueue::post(const MSG& msg) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(msg);
        newSinceTake_ = true;
    }
    posted_.notify_all();
}

void MessageQueue::postQuit(int exitCode) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quitPending_ = true;
        quitCode_ = exitCode;
        newSinceTake_ = true;
    }
    posted_.notify_all();
}

bool MessageQueue::take(MSG* msg, const Filter& accepts, bool acceptsQuit, bool remove) {
    std::lock_guard<std::mutex> lock(mutex_);
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
