// The per-process table of window classes and windows.
//
// All access goes through `locked`, which holds the table's lock while the given function runs.
// Window procedures are never called with the lock held: callers copy what they need (the
// procedure, the queue) and call after the lock is released, so a procedure may call any
// function of the subset.
#ifndef OIVWINTAV_WIN32_DETAIL_WINDOWREGISTRY_H
#define OIVWINTAV_WIN32_DETAIL_WINDOWREGISTRY_H

#include "WindowRecord.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace oivwin32 {

class WindowRegistry {
public:
    static WindowRegistry& instance();

    WindowRegistry(const WindowRegistry&) = delete;
    WindowRegistry& operator=(const WindowRegistry&) = delete;

    template <class F> auto locked(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(*this);
    }

    // Runs `f(window, registry)` under the lock when `hwnd` is a live window and returns its
    // result; otherwise sets ERROR_INVALID_WINDOW_HANDLE and returns `refused`.
    template <class R, class F> static R withWindow(HWND hwnd, R refused, F&& f) {
        WindowRegistry& registry = instance();
        std::lock_guard<std::mutex> lock(registry.mutex_);
        if (WindowRecord* window = registry.find(hwnd))
            return f(*window, registry);
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return refused;
    }

    // The functions below expect the lock to be held (they are called inside `locked`).

    WindowRecord* find(HWND hwnd);
    WindowClassRecord* findClass(LPCSTR nameOrAtom);
    // 0 when a class of that name exists.
    ATOM addClass(const WNDCLASSA& info);
    bool removeClass(LPCSTR nameOrAtom);
    WindowRecord& add(std::unique_ptr<WindowRecord> record);
    void remove(HWND hwnd);
    // True when every window from `hwnd` up through its parents is visible.
    bool isVisibleWithAncestors(const WindowRecord& window);
    // The screen position of the window's client origin.
    POINT screenOrigin(const WindowRecord& window);
    // True when `hwnd` is `ancestor` or lies below it through child links.
    bool isSelfOrDescendant(HWND ancestor, HWND hwnd);
    // Every live window, in creation order.
    std::vector<HWND> handles() const;
    // A visible window of `queue` waiting for WM_PAINT that `accepts` takes, or null.
    WindowRecord* findNeedingPaint(const MessageQueue* queue, HWND filter);

    HWND focus = nullptr;
    HWND capture = nullptr;

private:
    WindowRegistry() = default;

    std::mutex mutex_;
    std::map<uint64_t, std::unique_ptr<WindowRecord>> windows_;
    std::map<std::string, WindowClassRecord> classes_;
    ATOM nextAtom_ = 0xC000; // where Win32's string atoms start
};

} // namespace oivwin32

#endif
