// Windows: creation, destruction, the window tree, visibility, text and the window longs.
#include "detail/GdiRegistry.h"
#include "detail/ResourceName.h"
#include "detail/WindowRegistry.h"
#include "detail/WindowSystem.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

using oivwin32::WindowRecord;
using oivwin32::WindowRegistry;

namespace {

// Where top-level windows created with CW_USEDEFAULT go: a cascade, as a desktop places them.
constexpr LONG kCascadeStep = 26;
constexpr int kCascadePositions = 10;
constexpr SIZE kDefaultSize{640, 480};

POINT nextCascadePosition() {
    static std::atomic<int> next{0};
    int slot = next++ % kCascadePositions + 1;
    return POINT{kCascadeStep * slot, kCascadeStep * slot};
}

// Resolves CW_USEDEFAULT: a child gets 0, a top-level window a cascade position and the
// default size. As in Win32, y is ignored when x is CW_USEDEFAULT, and height when width is.
void placeWindow(WindowRecord& window, int x, int y, int width, int height) {
    bool child = window.isChild();
    if (x == CW_USEDEFAULT)
        window.position = child ? POINT{0, 0} : nextCascadePosition();
    else
        window.position = POINT{x, y};
    if (width == CW_USEDEFAULT)
        window.size = child ? SIZE{0, 0} : kDefaultSize;
    else
        window.size = SIZE{width < 0 ? 0 : width, height < 0 ? 0 : height};
}

// Sends WM_DESTROY to `hwnd` and then to its descendants: while a window handles WM_DESTROY its
// children still exist, as in Win32.
void sendDestroy(HWND hwnd) {
    bool first = WindowRegistry::withWindow(hwnd, false, [](WindowRecord& w, WindowRegistry&) {
        bool firstTime = !w.destroying;
        w.destroying = true;
        return firstTime;
    });
    if (!first)
        return;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    std::vector<HWND> children = WindowRegistry::withWindow(
        hwnd, std::vector<HWND>{}, [](WindowRecord& w, WindowRegistry&) { return w.children; });
    for (HWND child : children)
        sendDestroy(child);
}

// Frees the descendants of `hwnd` and then `hwnd` itself, each after its WM_NCDESTROY, and drops
// the messages still queued for them.
void freeWindow(HWND hwnd) {
    std::vector<HWND> children = WindowRegistry::withWindow(
        hwnd, std::vector<HWND>{}, [](WindowRecord& w, WindowRegistry&) { return w.children; });
    for (HWND child : children)
        freeWindow(child);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    oivwin32::WindowSystem::destroyed(hwnd);
    auto queue = WindowRegistry::withWindow(hwnd, std::shared_ptr<oivwin32::MessageQueue>(),
                                            [](WindowRecord& w, WindowRegistry& registry) {
                                                auto q = w.queue;
                                                registry.remove(w.handle);
                                                return q;
                                            });
    if (queue)
        queue->discard(hwnd);
    oivwin32::GdiRegistry::instance().releaseWindow(hwnd);
}

bool isLive(HWND hwnd) {
    return WindowRegistry::instance().locked(
        [hwnd](WindowRegistry& registry) { return registry.find(hwnd) != nullptr; });
}

// The new window record, or null with the error set.
std::unique_ptr<WindowRecord> newWindow(LPCSTR className, LPCSTR windowName, DWORD style,
                                        DWORD exStyle, HWND parent, HMENU menu,
                                        HINSTANCE instance) {
    return WindowRegistry::instance().locked(
        [&](WindowRegistry& registry) -> std::unique_ptr<WindowRecord> {
            oivwin32::WindowClassRecord* windowClass = registry.findClass(className);
            if (!windowClass) {
                SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
                return nullptr;
            }
            if (parent ? !registry.find(parent) : (style & WS_CHILD) != 0) {
                SetLastError(parent ? ERROR_INVALID_WINDOW_HANDLE : ERROR_TLW_WITH_WSCHILD);
                return nullptr;
            }
            auto window = std::make_unique<WindowRecord>();
            window->classKey = oivwin32::ResourceName::key(windowClass->name.c_str());
            window->procedure = windowClass->info.lpfnWndProc;
            window->instance = instance;
            window->extraBytes.assign(static_cast<size_t>(windowClass->info.cbWndExtra), 0);
            window->parent = parent;
            window->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
            window->style = style & ~WS_VISIBLE; // ShowWindow makes it visible below
            window->exStyle = exStyle;
            window->title = windowName ? windowName : "";
            window->queue = oivwin32::MessageQueue::current();
            return window;
        });
}

// Reads or writes one of the negative GWL/GWLP indexes; false for an unknown index.
bool accessLong(WindowRecord& window, int index, LONG_PTR* value, bool write) {
    LONG_PTR* field = nullptr;
    LONG_PTR current = 0;
    switch (index) {
    case GWLP_WNDPROC:
        current = reinterpret_cast<LONG_PTR>(window.procedure);
        if (write)
            window.procedure = reinterpret_cast<WNDPROC>(*value);
        break;
    case GWLP_USERDATA:
        field = &window.userData;
        break;
    case GWLP_ID:
        field = &window.id;
        break;
    case GWLP_HINSTANCE:
        current = reinterpret_cast<LONG_PTR>(window.instance);
        if (write)
            window.instance = reinterpret_cast<HINSTANCE>(*value);
        break;
    case GWL_STYLE:
        current = static_cast<LONG_PTR>(static_cast<LONG>(window.style));
        if (write)
            window.style = static_cast<DWORD>(*value);
        break;
    case GWL_EXSTYLE:
        current = static_cast<LONG_PTR>(static_cast<LONG>(window.exStyle));
        if (write)
            window.exStyle = static_cast<DWORD>(*value);
        break;
    case GWLP_HWNDPARENT:
        if (write) // reparenting goes through SetParent
            return false;
        current = reinterpret_cast<LONG_PTR>(window.parent);
        break;
    default:
        return false;
    }
    if (field) {
        current = *field;
        if (write)
            *field = *value;
    }
    *value = current;
    return true;
}

// Reads or writes the window's extra bytes at `offset`; false when they do not hold a LONG_PTR.
bool accessExtraBytes(WindowRecord& window, int offset, LONG_PTR* value, bool write) {
    if (offset < 0 || static_cast<size_t>(offset) + sizeof(LONG_PTR) > window.extraBytes.size())
        return false;
    BYTE* where = window.extraBytes.data() + offset;
    LONG_PTR previous;
    std::memcpy(&previous, where, sizeof previous);
    if (write)
        std::memcpy(where, value, sizeof *value);
    *value = previous;
    return true;
}

LONG_PTR windowLong(HWND hwnd, int index, LONG_PTR value, bool write) {
    if (write && index == GWLP_WNDPROC && !value) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return WindowRegistry::withWindow(hwnd, LONG_PTR(0), [&](WindowRecord& w, WindowRegistry&) {
        bool done = index >= 0 ? accessExtraBytes(w, index, &value, write)
                               : accessLong(w, index, &value, write);
        if (!done) {
            SetLastError(ERROR_INVALID_INDEX);
            return LONG_PTR(0);
        }
        return value;
    });
}

} // namespace

extern "C" {

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    std::unique_ptr<WindowRecord> record =
        newWindow(className, windowName, style, exStyle, parent, menu, instance);
    if (!record)
        return nullptr;
    placeWindow(*record, x, y, width, height);
    CREATESTRUCTA create{param,
                         instance,
                         menu,
                         parent,
                         static_cast<int>(record->size.cy),
                         static_cast<int>(record->size.cx),
                         static_cast<int>(record->position.y),
                         static_cast<int>(record->position.x),
                         static_cast<LONG>(style),
                         windowName,
                         className,
                         exStyle};
    HWND hwnd = WindowRegistry::instance().locked(
        [&](WindowRegistry& registry) { return registry.add(std::move(record)).handle; });
    oivwin32::WindowSystem::created(hwnd);

    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        freeWindow(hwnd);
        return nullptr;
    }
    if (!isLive(hwnd) ||
        SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(create.cx, create.cy));
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(create.x, create.y));
    if (style & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOW);
    return isLive(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    bool alreadyDestroying = WindowRegistry::withWindow(
        hwnd, true, [](WindowRecord& w, WindowRegistry&) { return w.destroying; });
    if (alreadyDestroying) // a procedure destroying its window again while WM_DESTROY runs
        return FALSE;
    sendDestroy(hwnd);
    freeWindow(hwnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) {
    return isLive(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow) {
    bool show = cmdShow != SW_HIDE;
    int wasVisible = WindowRegistry::withWindow(
        hwnd, -1, [](WindowRecord& w, WindowRegistry&) { return (w.style & WS_VISIBLE) ? 1 : 0; });
    if (wasVisible < 0)
        return FALSE;
    if (show != (wasVisible == 1)) {
        // Sent before the change, as in Win32: the procedure still sees the old state.
        SendMessageA(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        WindowRegistry::withWindow(hwnd, 0, [show](WindowRecord& w, WindowRegistry&) {
            w.style = show ? (w.style | WS_VISIBLE) : (w.style & ~WS_VISIBLE);
            w.needsPaint = w.needsPaint || show;
            return 0;
        });
        oivwin32::WindowSystem::shown(hwnd, show);
    }
    return wasVisible == 1 ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    return WindowRegistry::withWindow(hwnd, FALSE, [](WindowRecord& w, WindowRegistry& registry) {
        return registry.isVisibleWithAncestors(w) ? TRUE : FALSE;
    });
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    int paint = WindowRegistry::withWindow(hwnd, -1, [](WindowRecord& w, WindowRegistry& registry) {
        bool due = w.needsPaint && registry.isVisibleWithAncestors(w);
        if (due)
            w.needsPaint = false;
        return due ? 1 : 0;
    });
    if (paint < 0)
        return FALSE;
    if (paint)
        SendMessageA(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT*, BOOL) {
    // The whole client area is repainted: the rectangle only narrows what Win32 would clip.
    return WindowRegistry::withWindow(hwnd, FALSE, [](WindowRecord& w, WindowRegistry&) {
        w.needsPaint = true;
        return TRUE;
    });
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    int wasDisabled = WindowRegistry::withWindow(
        hwnd, -1, [](WindowRecord& w, WindowRegistry&) { return (w.style & WS_DISABLED) ? 1 : 0; });
    if (wasDisabled < 0)
        return FALSE;
    if ((wasDisabled == 1) == (enable != FALSE)) {
        WindowRegistry::withWindow(hwnd, 0, [enable](WindowRecord& w, WindowRegistry&) {
            w.style = enable ? (w.style & ~WS_DISABLED) : (w.style | WS_DISABLED);
            return 0;
        });
        SendMessageA(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    }
    return wasDisabled == 1 ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
    return WindowRegistry::withWindow(hwnd, FALSE, [](WindowRecord& w, WindowRegistry&) {
        return (w.style & WS_DISABLED) ? FALSE : TRUE;
    });
}

HWND WINAPI GetParent(HWND hwnd) {
    // A child's parent, or a pop-up's owner; other top-level windows have none.
    return WindowRegistry::withWindow(hwnd, HWND(nullptr), [](WindowRecord& w, WindowRegistry&) {
        return (w.isChild() || (w.style & WS_POPUP)) ? w.parent : nullptr;
    });
}

HWND WINAPI SetParent(HWND child, HWND newParent) {
    bool moved = false;
    HWND previous = WindowRegistry::withWindow(
        child, HWND(nullptr), [&](WindowRecord& w, WindowRegistry& registry) -> HWND {
            WindowRecord* parent = newParent ? registry.find(newParent) : nullptr;
            if ((newParent && !parent) || registry.isSelfOrDescendant(child, newParent)) {
                SetLastError(newParent && !parent ? ERROR_INVALID_WINDOW_HANDLE
                                                  : ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            HWND old = w.parent;
            if (WindowRecord* oldParent = registry.find(old)) {
                auto& siblings = oldParent->children;
                siblings.erase(std::remove(siblings.begin(), siblings.end(), child),
                               siblings.end());
            }
            w.parent = newParent;
            if (parent)
                parent->children.push_back(child);
            moved = true;
            return old;
        });
    if (moved)
        oivwin32::WindowSystem::reparented(child);
    return previous;
}

BOOL WINAPI IsChild(HWND parent, HWND hwnd) {
    return WindowRegistry::instance().locked([&](WindowRegistry& registry) {
        WindowRecord* w = registry.find(hwnd);
        return w && w->isChild() && registry.isSelfOrDescendant(parent, w->parent) ? TRUE : FALSE;
    });
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int maxCount) {
    if (!text || maxCount <= 0 || !IsWindow(hwnd))
        return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                         reinterpret_cast<LPARAM>(text)));
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    return windowLong(hwnd, index, value, true);
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
    return windowLong(hwnd, index, 0, false);
}

} // extern "C"
