#include "X11WindowSystem.h"

#include "X11Input.h"
#include "detail/WindowRegistry.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace oivwin32 {

namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask;

// The button face of the desktop's classic scheme: what a top-level window shows where no child
// covers it (a child's own background is left to its drawing, so a GL window never flickers).
constexpr unsigned long kTopLevelBackground = 0xF0F0F0;

// What taskbars group the windows of every program built on the library under.
constexpr const char* kWindowClassName = "OivWinTav";

// _NET_ACTIVE_WINDOW's source indication: a request from an application.
constexpr long kActivationByApplication = 1;

struct SystemCursorShape {
    WORD systemId;
    unsigned int fontShape;
};

// The desktop's system cursors drawn with the X cursor font's nearest shapes.
constexpr SystemCursorShape kSystemCursorShapes[] = {
    {32512, XC_left_ptr},
    {32513, XC_xterm},
    {32514, XC_watch},
    {32515, XC_crosshair},
    {32516, XC_center_ptr},
    {32642, XC_bottom_right_corner},
    {32643, XC_bottom_left_corner},
    {32644, XC_sb_h_double_arrow},
    {32645, XC_sb_v_double_arrow},
    {32646, XC_fleur},
    {32648, XC_X_cursor},
    {32649, XC_hand2},
};

// A popup (a menu) is placed and drawn by its program alone: no frame, never moved or focused
// by the window manager.
bool isPopup(DWORD style) {
    return (style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION;
}

// X refuses windows without pixels; a Win32 window of zero size is simply empty.
unsigned int atLeastOne(LONG extent) {
    return extent > 0 ? static_cast<unsigned int>(extent) : 1u;
}

// The window class of the table's stand-ins for windows a host made (attachNative).
constexpr const char* kAttachedClass = "OivWin32AttachedWindow";
// What the library wants to hear of a window it did not make: its size, and its end.
constexpr long kAttachedEventMask = StructureNotifyMask;

// Xlib has one error handler per process. Errors on the library's connection are about windows
// that went away meanwhile (a focus request racing an unmap, an event for a window destroyed
// since) and expected; Xlib's default handler would end the process. Errors of other
// connections belong to the host (a toolkit on Xlib) and go to the handler it had installed.
Display* libraryConnection = nullptr;
XErrorHandler hostErrorHandler = nullptr;

int handleError(Display* display, XErrorEvent* error) {
    if (display != libraryConnection && hostErrorHandler)
        return hostErrorHandler(display, error);
    return 0;
}

// What the table says about one window, copied out under its lock.
struct WindowState {
    bool live = false;
    HWND parent = nullptr;
    bool child = false;
    POINT position{};
    SIZE size{};
    bool visible = false;
    std::string title;
    DWORD style = 0;
};

WindowState stateOf(HWND hwnd) {
    return WindowRegistry::withWindow(hwnd, WindowState{}, [](WindowRecord& w, WindowRegistry&) {
        return WindowState{true,       w.parent, w.isChild(),
                           w.position, w.size,   (w.style & WS_VISIBLE) != 0,
                           w.title,    w.style};
    });
}

POINT screenPoint(HWND hwnd, int x, int y) {
    POINT point{x, y};
    ClientToScreen(hwnd, &point);
    return point;
}

} // namespace

struct X11WindowSystem::Private {
    Display* display = nullptr;
    Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    Atom wmProtocols = 0, wmDeleteWindow = 0, netWmName = 0, utf8String = 0;
    Atom netWmPid = 0, netWmWindowType = 0, netWmWindowTypeDialog = 0, netActiveWindow = 0;
    std::unordered_map<WORD, Cursor> cursors;
    std::unordered_map<Window, WORD> cursorOfWindow;
    std::unordered_map<HWND, Window> windows;
    std::unordered_map<Window, HWND> handles;
    // Windows of other clients the table stands for (attachNative), and the one being attached.
    std::unordered_set<Window> attached;
    Window attaching = 0;
    // The window whose change came from the X server (the user resized it through the window
    // manager) while the table applies it, so it is not sent back. Only that window: the
    // children its WM_SIZE resizes must reach the server.
    HWND serverChangeOf = nullptr;

    Window windowFor(HWND hwnd) const {
        auto found = windows.find(hwnd);
        return found == windows.end() ? 0 : found->second;
    }

    HWND handleFor(Window window) const {
        auto found = handles.find(window);
        return found == handles.end() ? nullptr : found->second;
    }

    bool isAttached(Window window) const { return attached.count(window) != 0; }

    // The table's ancestor of `hwnd` that has no parent.
    static HWND topLevelOf(HWND hwnd) {
        for (HWND parent = GetParent(hwnd); parent; parent = GetParent(hwnd))
            hwnd = parent;
        return hwnd;
    }

    // The window that stands for `window` from now on, at its place on the screen.
    HWND attach(Window window) {
        XWindowAttributes attributes;
        if (!window || handleFor(window) || !XGetWindowAttributes(display, window, &attributes))
            return nullptr;
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kAttachedClass;
        if (!GetClassInfoA(windowClass.hInstance, kAttachedClass, &windowClass))
            RegisterClassA(&windowClass);
        attaching = window;
        HWND hwnd =
            CreateWindowExA(0, kAttachedClass, "", WS_POPUP | WS_VISIBLE, x, y, attributes.width,
                            attributes.height, nullptr, nullptr, windowClass.hInstance, nullptr);
        attaching = 0;
        return hwnd;
    }

    void remember(HWND hwnd, Window window) {
        windows[hwnd] = window;
        handles[window] = hwnd;
    }

    void forget(HWND hwnd, Window window) {
        windows.erase(hwnd);
        handles.erase(window);
        attached.erase(window);
        cursorOfWindow.erase(window);
    }

    void setTitle(Window window, const std::string& title) {
        XStoreName(display, window, title.c_str());
        XChangeProperty(display, window, netWmName, utf8String, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
    }

    // Names the program and its process, so that a taskbar groups and names its windows and a
    // window manager can tell whose a window that stopped answering is.
    void identify(Window window) {
        XClassHint classHint{};
        std::string program = program_invocation_short_name;
        classHint.res_name = program.data();
        std::string className = kWindowClassName;
        classHint.res_class = className.data();
        XSetClassHint(display, window, &classHint);
        const long pid = static_cast<long>(getpid());
        XChangeProperty(display, window, netWmPid, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pid), 1);
        char host[256] = {};
        if (gethostname(host, sizeof host - 1) == 0) {
            XTextProperty machine{};
            char* hostName = host;
            if (XStringListToTextProperty(&hostName, 1, &machine)) {
                XSetWMClientMachine(display, window, &machine);
                XFree(machine.value);
            }
        }
    }

    // An owned window is a dialog of its owner: kept above it, framed and placed as one.
    void markDialog(Window window, Window owner) {
        XSetTransientForHint(display, window, owner);
        XChangeProperty(display, window, netWmWindowType, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&netWmWindowTypeDialog), 1);
    }

    Cursor fontCursor(WORD systemId) {
        auto known = cursors.find(systemId);
        if (known != cursors.end())
            return known->second;
        Cursor cursor = 0;
        for (const SystemCursorShape& shape : kSystemCursorShapes)
            if (shape.systemId == systemId)
                cursor = XCreateFontCursor(display, shape.fontShape);
        cursors[systemId] = cursor;
        return cursor;
    }

    void decorateTopLevel(Window window, const WindowState& state) {
        identify(window);
        XSetWMProtocols(display, window, &wmDeleteWindow, 1);
        setTitle(window, state.title);
        // Where the program asked for it, not where the window manager would choose.
        XSizeHints hints{};
        hints.flags = PPosition | PSize;
        hints.x = state.position.x;
        hints.y = state.position.y;
        hints.width = static_cast<int>(atLeastOne(state.size.cx));
        hints.height = static_cast<int>(atLeastOne(state.size.cy));
        XSetWMNormalHints(display, window, &hints);
        if (Window owner = windowFor(state.parent))
            markDialog(window, owner);
    }

    void post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        PostMessageA(hwnd, message, wParam, lParam);
    }

    // Mouse messages go to the window holding the capture, else to the one under the pointer.
    void pointer(HWND hwnd, UINT message, WPARAM keys, int x, int y) {
        HWND target = GetCapture();
        if (!target || !IsWindow(target))
            target = hwnd;
        POINT point{x, y};
        if (target != hwnd) {
            point = screenPoint(hwnd, x, y);
            ScreenToClient(target, &point);
        }
        post(target, message, keys, MAKELPARAM(point.x, point.y));
    }

    void button(HWND hwnd, const XButtonEvent& event) {
        const bool press = event.type == ButtonPress;
        // Inside a host's window the keyboard belongs to the host until a click in the
        // library's window asks for it; the host takes it back when its own widgets are clicked.
        if (press && isAttached(windowFor(topLevelOf(hwnd))))
            XSetInputFocus(display, event.window, RevertToParent, CurrentTime);
        if (int delta = X11Input::wheelDelta(event.button)) {
            if (!press) // a notch is a press and a release; the press turns it
                return;
            POINT screen = screenPoint(hwnd, event.x, event.y);
            WPARAM wParam = MAKEWPARAM(X11Input::mouseKeys(event.state), delta);
            post(hwnd, WM_MOUSEWHEEL, wParam, MAKELPARAM(screen.x, screen.y));
            return;
        }
        UINT message;
        WPARAM keys;
        if (X11Input::buttonMessage(event.button, press, event.state, &message, &keys))
            pointer(hwnd, message, keys, event.x, event.y);
    }

    // Keys go to the window with the keyboard focus, else to the window of the event.
    void key(HWND hwnd, XKeyEvent& event) {
        const bool press = event.type == KeyPress;
        int virtualKey = X11Input::virtualKey(XLookupKeysym(&event, 0));
        if (!virtualKey)
            return;
        HWND target = GetFocus();
        post(target ? target : hwnd, X11Input::keyMessage(press, virtualKey, event.state),
             static_cast<WPARAM>(virtualKey), X11Input::keyLParam(press, event.keycode));
    }

    // Win32 hands a program only the newest pointer position: the motion that queued up while
    // a frame was drawn becomes one WM_MOUSEMOVE, not a redraw for every step of the way. Only
    // motion directly following in the queue, in the same window with the same buttons held,
    // is taken, so no press, release or key changes its place among the moves.
    const XMotionEvent& latestMotion(XEvent& event) {
        XEvent next;
        while (XEventsQueued(display, QueuedAfterReading) > 0) {
            XPeekEvent(display, &next);
            if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window ||
                next.xmotion.state != event.xmotion.state)
                break;
            XNextEvent(display, &event);
        }
        return event.xmotion;
    }

    bool isTopLevel(HWND hwnd) const { return !stateOf(hwnd).child; }

    // A top-level window moved or resized by the window manager or the user: the table follows,
    // with WM_MOVE and WM_SIZE, as for MoveWindow. Only the last of a burst counts.
    void configured(HWND hwnd, const XConfigureEvent& first) {
        XEvent latest;
        latest.xconfigure = first;
        while (XCheckTypedWindowEvent(display, first.window, ConfigureNotify, &latest)) {
        }
        const XConfigureEvent& event = latest.xconfigure;
        if (!isTopLevel(hwnd))
            return; // children are only ever placed by us
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display, event.window, root, 0, 0, &x, &y, &child);
        serverChangeOf = hwnd;
        MoveWindow(hwnd, x, y, event.width, event.height, TRUE);
        serverChangeOf = nullptr;
    }

    // The host destroyed its window before detaching it: the library's windows inside went with
    // it on the server, so the table's go too.
    void attachedDestroyed(HWND hwnd, Window window) {
        forget(hwnd, window);
        DestroyWindow(hwnd);
    }

    // The keyboard focus follows the activation of top-level windows, as on Win32.
    void focusChanged(HWND hwnd, const XFocusChangeEvent& event) {
        if (event.detail == NotifyInferior || event.detail == NotifyPointer || !isTopLevel(hwnd))
            return;
        HWND focus = GetFocus();
        const bool focusInside = focus && (focus == hwnd || IsChild(hwnd, focus));
        if (event.type == FocusIn && !focusInside)
            SetFocus(hwnd);
        else if (event.type == FocusOut && focusInside)
            SetFocus(nullptr);
    }

    void handle(XEvent& event) {
        HWND hwnd = handleFor(event.xany.window);
        if (!hwnd || !IsWindow(hwnd))
            return;
        switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0)
                InvalidateRect(hwnd, nullptr, FALSE);
            break;
        case ButtonPress:
        case ButtonRelease:
            button(hwnd, event.xbutton);
            break;
        case MotionNotify: {
            const XMotionEvent& motion = latestMotion(event);
            pointer(hwnd, WM_MOUSEMOVE, X11Input::mouseKeys(motion.state), motion.x, motion.y);
            break;
        }
        case KeyPress:
        case KeyRelease:
            key(hwnd, event.xkey);
            break;
        case ConfigureNotify:
            configured(hwnd, event.xconfigure);
            break;
        case DestroyNotify:
            if (isAttached(event.xdestroywindow.window))
                attachedDestroyed(hwnd, event.xdestroywindow.window);
            break;
        case MapNotify:
            // A program shows a window to work in it: it gets the keyboard, as on Win32. A
            // host's window is the host's business.
            if (isTopLevel(hwnd) && !isAttached(event.xmap.window))
                XSetInputFocus(display, event.xmap.window, RevertToParent, CurrentTime);
            break;
        case FocusIn:
        case FocusOut:
            focusChanged(hwnd, event.xfocus);
            break;
        case ClientMessage:
            if (event.xclient.message_type == wmProtocols &&
                static_cast<Atom>(event.xclient.data.l[0]) == wmDeleteWindow)
                post(hwnd, WM_CLOSE, 0, 0);
            break;
        default:
            break;
        }
    }
};

std::unique_ptr<X11WindowSystem> X11WindowSystem::open(const char* name) {
    Display* display = XOpenDisplay(name);
    if (!display)
        return nullptr;
    libraryConnection = display;
    XErrorHandler previous = XSetErrorHandler(handleError);
    if (previous != handleError)
        hostErrorHandler = previous;
    auto p = std::make_unique<Private>();
    p->display = display;
    const int screen = DefaultScreen(display);
    p->root = RootWindow(display, screen);
    p->visual = DefaultVisual(display, screen);
    p->depth = DefaultDepth(display, screen);
    p->colormap = XCreateColormap(display, p->root, p->visual, AllocNone);
    p->wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    p->wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    p->netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    p->utf8String = XInternAtom(display, "UTF8_STRING", False);
    p->netWmPid = XInternAtom(display, "_NET_WM_PID", False);
    p->netWmWindowType = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    p->netWmWindowTypeDialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    p->netActiveWindow = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    return std::unique_ptr<X11WindowSystem>(new X11WindowSystem(std::move(p)));
}

X11WindowSystem* X11WindowSystem::instance() {
    return dynamic_cast<X11WindowSystem*>(installed());
}

X11WindowSystem::X11WindowSystem(std::unique_ptr<Private> p) : m_Private(std::move(p)) {}

X11WindowSystem::~X11WindowSystem() {
    for (const auto& entry : m_Private->windows)
        if (!m_Private->isAttached(entry.second))
            XDestroyWindow(m_Private->display, entry.second);
    for (const auto& entry : m_Private->cursors)
        if (entry.second)
            XFreeCursor(m_Private->display, entry.second);
    XFreeColormap(m_Private->display, m_Private->colormap);
    XCloseDisplay(m_Private->display);
}

void* X11WindowSystem::display() const {
    return m_Private->display;
}

unsigned long X11WindowSystem::visualId() const {
    return XVisualIDFromVisual(m_Private->visual);
}

int X11WindowSystem::dotsPerInch() const {
    constexpr double kMillimetresPerInch = 25.4;
    constexpr int kUsualDotsPerInch = 96;
    Display* display = m_Private->display;
    const int screen = DefaultScreen(display);
    const int millimetres = DisplayHeightMM(display, screen);
    if (millimetres <= 0)
        return kUsualDotsPerInch;
    return int(DisplayHeight(display, screen) * kMillimetresPerInch / millimetres + 0.5);
}

X11WindowSystem::NativeWindow X11WindowSystem::nativeWindow(HWND hwnd) const {
    return m_Private->windowFor(hwnd);
}

HWND X11WindowSystem::windowOf(NativeWindow window) const {
    return m_Private->handleFor(window);
}

void X11WindowSystem::windowCreated(HWND hwnd) {
    Private& p = *m_Private;
    const WindowState state = stateOf(hwnd);
    if (!state.live || p.windowFor(hwnd))
        return;
    if (p.attaching) {
        p.remember(hwnd, p.attaching);
        p.attached.insert(p.attaching);
        XSelectInput(p.display, p.attaching, kAttachedEventMask);
        return;
    }
    if (state.parent && !p.windowFor(state.parent))
        windowCreated(state.parent); // a reparented window may be older than its parent
    const Window parent = state.child ? p.windowFor(state.parent) : p.root;
    if (!parent)
        return;
    XSetWindowAttributes attributes{};
    attributes.colormap = p.colormap;
    attributes.event_mask = kEventMask;
    attributes.background_pixel = kTopLevelBackground;
    attributes.background_pixmap = None;
    attributes.override_redirect = !state.child && isPopup(state.style);
    const unsigned long mask = CWColormap | CWEventMask | CWBorderPixel | CWOverrideRedirect |
                               (state.child ? CWBackPixmap : CWBackPixel);
    const Window window = XCreateWindow(p.display, parent, state.position.x, state.position.y,
                                        atLeastOne(state.size.cx), atLeastOne(state.size.cy), 0,
                                        p.depth, InputOutput, p.visual, mask, &attributes);
    p.remember(hwnd, window);
    if (!state.child)
        p.decorateTopLevel(window, state);
    if (state.visible)
        XMapWindow(p.display, window);
}

void X11WindowSystem::windowDestroyed(HWND hwnd) {
    Private& p = *m_Private;
    const Window window = p.windowFor(hwnd);
    if (!window)
        return;
    // The host's window stays; the library only stops listening to it.
    if (p.isAttached(window))
        XSelectInput(p.display, window, NoEventMask);
    else
        XDestroyWindow(p.display, window);
    p.forget(hwnd, window);
}

void X11WindowSystem::windowShown(HWND hwnd, bool visible) {
    Private& p = *m_Private;
    const Window window = p.windowFor(hwnd);
    if (window && !p.isAttached(window)) {
        if (visible)
            XMapWindow(p.display, window);
        else
            XUnmapWindow(p.display, window);
    }
}

void X11WindowSystem::windowPlaced(HWND hwnd) {
    Private& p = *m_Private;
    const Window window = p.windowFor(hwnd);
    if (!window || hwnd == p.serverChangeOf || p.isAttached(window))
        return;
    const WindowState state = stateOf(hwnd);
    XMoveResizeWindow(p.display, window, state.position.x, state.position.y,
                      atLeastOne(state.size.cx), atLeastOne(state.size.cy));
}

void X11WindowSystem::windowRetitled(HWND hwnd) {
    Private& p = *m_Private;
    const Window window = p.windowFor(hwnd);
    if (!window)
        return;
    const WindowState state = stateOf(hwnd);
    if (!state.child && !p.isAttached(window))
        p.setTitle(window, state.title);
}

void X11WindowSystem::windowReparented(HWND hwnd) {
    Private& p = *m_Private;
    const Window window = p.windowFor(hwnd);
    if (!window || p.isAttached(window))
        return;
    const WindowState state = stateOf(hwnd);
    const Window parent = state.child ? p.windowFor(state.parent) : p.root;
    if (parent)
        XReparentWindow(p.display, window, parent, state.position.x, state.position.y);
}

void X11WindowSystem::windowRaised(HWND hwnd) {
    Private& p = *m_Private;
    const Window window = p.windowFor(hwnd);
    if (!window || stateOf(hwnd).child)
        return;
    XRaiseWindow(p.display, window);
    // A window manager stacks and focuses the windows it frames itself; it is asked to.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = p.netActiveWindow;
    event.xclient.format = 32;
    event.xclient.data.l[0] = kActivationByApplication;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(p.display, p.root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void X11WindowSystem::windowCursorSet(HWND hwnd, WORD cursorId) {
    Private& p = *m_Private;
    const Window window = p.windowFor(hwnd);
    auto shown = p.cursorOfWindow.find(window);
    if (!window || (shown != p.cursorOfWindow.end() && shown->second == cursorId))
        return; // set on every mouse move; the server hears of changes only
    p.cursorOfWindow[window] = cursorId;
    if (Cursor cursor = cursorId ? p.fontCursor(cursorId) : 0)
        XDefineCursor(p.display, window, cursor);
    else
        XUndefineCursor(p.display, window);
}

void X11WindowSystem::pumpEvents() {
    Private& p = *m_Private;
    while (XPending(p.display) > 0) {
        XEvent event;
        XNextEvent(p.display, &event);
        p.handle(event);
    }
}

void X11WindowSystem::waitForEvents(MessageQueue& queue, MessageQueue::Clock::time_point deadline) {
    // Messages posted by this thread were looked at before the wait; one posted by another
    // thread makes the queue's descriptor readable and ends the wait at once.
    Private& p = *m_Private;
    XFlush(p.display);
    if (XEventsQueued(p.display, QueuedAlready) > 0)
        return;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - MessageQueue::Clock::now());
    pollfd watched[] = {{ConnectionNumber(p.display), POLLIN, 0}, {queue.wakeFd(), POLLIN, 0}};
    poll(watched, 2, static_cast<int>(std::max<long long>(0, left.count())));
}

int X11WindowSystem::connectionFd() const {
    return ConnectionNumber(m_Private->display);
}

bool X11WindowSystem::hasQueuedEvents() {
    return XEventsQueued(m_Private->display, QueuedAlready) > 0;
}

HWND X11WindowSystem::attachNative(unsigned long window) {
    return m_Private->attach(window);
}

bool X11WindowSystem::isAttached(HWND hwnd) const {
    return m_Private->isAttached(m_Private->windowFor(hwnd));
}

} // namespace oivwin32
