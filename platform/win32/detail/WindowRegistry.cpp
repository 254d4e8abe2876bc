#include "WindowRegistry.h"

#include "HandleCounter.h"
#include "ResourceName.h"

#include <algorithm>

namespace oivwin32 {

WindowRegistry& WindowRegistry::instance() {
    static WindowRegistry registry;
    return registry;
}

WindowRecord* WindowRegistry::find(HWND hwnd) {
    auto found = windows_.find(HandleCounter::toValue(hwnd));
    return found == windows_.end() ? nullptr : found->second.get();
}

WindowClassRecord* WindowRegistry::findClass(LPCSTR nameOrAtom) {
    if (!nameOrAtom)
        return nullptr;
    if (IS_INTRESOURCE(nameOrAtom)) {
        ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(nameOrAtom));
        for (auto& entry : classes_)
            if (entry.second.atom == atom)
                return &entry.second;
        return nullptr;
    }
    auto found = classes_.find(ResourceName::key(nameOrAtom));
    return found == classes_.end() ? nullptr : &found->second;
}

ATOM WindowRegistry::addClass(const WNDCLASSA& info) {
    std::string key = ResourceName::key(info.lpszClassName);
    if (classes_.count(key))
        return 0;
    WindowClassRecord& record = classes_[key];
    record.atom = nextAtom_++;
    record.name = info.lpszClassName;
    record.info = info;
    record.info.lpszClassName = record.name.c_str();
    record.info.lpszMenuName = nullptr;
    return record.atom;
}

bool WindowRegistry::removeClass(LPCSTR nameOrAtom) {
    WindowClassRecord* record = findClass(nameOrAtom);
    if (!record)
        return false;
    classes_.erase(ResourceName::key(record->name.c_str()));
    return true;
}

WindowRecord& WindowRegistry::add(std::unique_ptr<WindowRecord> record) {
    record->handle = HandleCounter::toHandle<HWND>(HandleCounter::next());
    WindowRecord& added = *record;
    if (WindowRecord* parent = find(added.parent))
        parent->children.push_back(added.handle);
    if (auto found = classes_.find(added.classKey); found != classes_.end())
        ++found->second.windowCount;
    windows_[HandleCounter::toValue(added.handle)] = std::move(record);
    return added;
}

void WindowRegistry::remove(HWND hwnd) {
    WindowRecord* window = find(hwnd);
    if (!window)
        return;
    if (WindowRecord* parent = find(window->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
    }
    if (auto found = classes_.find(window->classKey); found != classes_.end())
        --found->second.windowCount;
    if (focus == hwnd)
        focus = nullptr;
    if (capture == hwnd)
        capture = nullptr;
    windows_.erase(HandleCounter::toValue(hwnd));
}

bool WindowRegistry::isVisibleWithAncestors(const WindowRecord& window) {
    for (const WindowRecord* w = &window; w; w = w->isChild() ? find(w->parent) : nullptr)
        if (!(w->style & WS_VISIBLE))
            return false;
    return true;
}

POINT WindowRegistry::screenOrigin(const WindowRecord& window) {
    POINT origin{0, 0};
    for (const WindowRecord* w = &window; w; w = w->isChild() ? find(w->parent) : nullptr) {
        origin.x += w->position.x;
        origin.y += w->position.y;
    }
    return origin;
}

bool WindowRegistry::isSelfOrDescendant(HWND ancestor, HWND hwnd) {
    for (const WindowRecord* w = find(hwnd); w; w = w->isChild() ? find(w->parent) : nullptr)
        if (w->handle == ancestor)
            return true;
    return false;
}

std::vector<HWND> WindowRegistry::handles() const {
    // Handle values grow with every window made, so the table's order is the creation order.
    std::vector<HWND> all;
    all.reserve(windows_.size());
    for (const auto& entry : windows_)
        all.push_back(entry.second->handle);
    return all;
}

WindowRecord* WindowRegistry::findNeedingPaint(const MessageQueue* queue, HWND filter) {
    for (auto& entry : windows_) {
        WindowRecord& w = *entry.second;
        if (w.needsPaint && w.queue.get() == queue && !w.destroying &&
            (!filter || isSelfOrDescendant(filter, w.handle)) && isVisibleWithAncestors(w))
            return &w;
    }
    return nullptr;
}

} // namespace oivwin32
