#include "onscreen/TestScreen.h"

#include "support/MessageLoop.h"

#include "X11WindowSystem.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace onscreen {

namespace {

constexpr unsigned int kWheelAway = 4, kWheelTowards = 5;
// Long enough for any server under any load; a passing test never waits this long.
constexpr auto kSettleLimit = std::chrono::seconds(10);
constexpr auto kSettlePause = std::chrono::milliseconds(5);

Display* display(void* d) {
    return static_cast<Display*>(d);
}

int channel(unsigned long pixel, unsigned long mask) {
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const unsigned long max = mask >> shift;
    return int(((pixel & mask) >> shift) * 255 / max);
}

} // namespace

int ScreenImage::countDiffering(const ScreenImage& other, int tolerance) const {
    if (width != other.width || height != other.height)
        return width * height;
    int differing = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const Rgb& a = pixels[i];
        const Rgb& b = other.pixels[i];
        differing += std::abs(a.r - b.r) > tolerance || std::abs(a.g - b.g) > tolerance ||
                     std::abs(a.b - b.b) > tolerance;
    }
    return differing;
}

TestScreen::TestScreen() : m_Display(XOpenDisplay(nullptr)) {}

TestScreen::~TestScreen() {
    if (m_Display)
        XCloseDisplay(display(m_Display));
}

void TestScreen::moveTo(POINT at) {
    XTestFakeMotionEvent(display(m_Display), -1, at.x, at.y, CurrentTime);
    sync();
}

void TestScreen::click(POINT at, int button) {
    moveTo(at);
    XTestFakeButtonEvent(display(m_Display), unsigned(button), True, CurrentTime);
    XTestFakeButtonEvent(display(m_Display), unsigned(button), False, CurrentTime);
    sync();
}

void TestScreen::drag(POINT from, POINT to, int button, int steps) {
    moveTo(from);
    XTestFakeButtonEvent(display(m_Display), unsigned(button), True, CurrentTime);
    for (int i = 1; i <= steps; ++i)
        XTestFakeMotionEvent(display(m_Display), -1, from.x + (to.x - from.x) * i / steps,
                             from.y + (to.y - from.y) * i / steps, CurrentTime);
    XTestFakeButtonEvent(display(m_Display), unsigned(button), False, CurrentTime);
    sync();
}

void TestScreen::wheel(POINT at, int notches) {
    moveTo(at);
    const unsigned int button = notches > 0 ? kWheelAway : kWheelTowards;
    for (int i = 0; i < std::abs(notches); ++i) {
        XTestFakeButtonEvent(display(m_Display), button, True, CurrentTime);
        XTestFakeButtonEvent(display(m_Display), button, False, CurrentTime);
    }
    sync();
}

void TestScreen::typeKey(unsigned long keysym) {
    const KeyCode code = XKeysymToKeycode(display(m_Display), keysym);
    XTestFakeKeyEvent(display(m_Display), code, True, CurrentTime);
    XTestFakeKeyEvent(display(m_Display), code, False, CurrentTime);
    sync();
}

ScreenImage TestScreen::grab(POINT topLeft, int width, int height) {
    ScreenImage image;
    Display* d = display(m_Display);
    XImage* pixels = XGetImage(d, DefaultRootWindow(d), topLeft.x, topLeft.y, unsigned(width),
                               unsigned(height), AllPlanes, ZPixmap);
    if (!pixels)
        return image;
    image.width = width;
    image.height = height;
    image.pixels.reserve(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(pixels, x, y);
            image.pixels.push_back(Rgb{channel(p, pixels->red_mask), channel(p, pixels->green_mask),
                                       channel(p, pixels->blue_mask)});
        }
    }
    XDestroyImage(pixels);
    return image;
}

ScreenImage TestScreen::grab(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return grab(onScreen(hwnd), client.right, client.bottom);
}

TestScreen::Window TestScreen::findTopLevel(const std::string& title) {
    Display* d = display(m_Display);
    for (Window window : descendantsOf(DefaultRootWindow(d))) {
        XWindowAttributes attributes;
        char* name = nullptr;
        const bool found = XGetWindowAttributes(d, window, &attributes) &&
                           attributes.map_state == IsViewable && XFetchName(d, window, &name) &&
                           name && title == name;
        if (name)
            XFree(name);
        if (found)
            return window;
    }
    return 0;
}

std::vector<TestScreen::Window> TestScreen::descendantsOf(Window window) {
    std::vector<Window> found;
    ::Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display(m_Display), window, &root, &parent, &children, &count))
        return found;
    for (unsigned int i = 0; i < count; ++i) {
        found.push_back(children[i]);
        const std::vector<Window> inside = descendantsOf(children[i]);
        found.insert(found.end(), inside.begin(), inside.end());
    }
    XFree(children);
    return found;
}

POINT TestScreen::originOf(Window window) {
    Display* d = display(m_Display);
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    return POINT{x, y};
}

TestScreen::Window TestScreen::focus() {
    ::Window window = 0;
    int revert;
    XGetInputFocus(display(m_Display), &window, &revert);
    return window;
}

SbVec2s TestScreen::sizeOf(Window window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display(m_Display), window, &attributes);
    return SbVec2s(short(attributes.width), short(attributes.height));
}

void TestScreen::resizeAndMove(Window window, POINT topLeft, int width, int height) {
    XMoveResizeWindow(display(m_Display), window, topLeft.x, topLeft.y, unsigned(width),
                      unsigned(height));
    sync();
}

void TestScreen::raise(Window window) {
    XRaiseWindow(display(m_Display), window);
    sync();
}

void TestScreen::requestClose(Window window) {
    Display* d = display(m_Display);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, NoEventMask, &event);
    sync();
}

bool TestScreen::exists(Window window) {
    // A query about a destroyed window fails with BadWindow; ignore the error report itself.
    auto previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XWindowAttributes attributes;
    const bool found = XGetWindowAttributes(display(m_Display), window, &attributes) != 0;
    XSetErrorHandler(previous);
    return found;
}

void TestScreen::sync() {
    XSync(display(m_Display), False);
}

POINT onScreen(HWND hwnd, int dx, int dy) {
    POINT point{dx, dy};
    ClientToScreen(hwnd, &point);
    return point;
}

void settle(TestScreen& screen) {
    // Input this connection injected was handled by the server before the program's own round
    // trip is answered, so the program's queue holds every event it caused; the second round
    // trip makes sure the server drew what the program drew in answer.
    screen.sync();
    Display* program = display(oivwin32::X11WindowSystem::instance()->display());
    XSync(program, False);
    testsupport::runMessageLoopUntilIdle();
    XSync(program, False);
}

bool settleUntil(TestScreen& screen, const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + kSettleLimit;
    for (;;) {
        settle(screen);
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > limit)
            return false;
        std::this_thread::sleep_for(kSettlePause);
    }
}

} // namespace onscreen
