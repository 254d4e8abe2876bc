#include <Inventor/Win/SoWinGLWidget.h>

#include "SoWinEGLScope.h"
#include "SoWinGLBackend.h"
#include "SoWinWindowClass.h"

#include <Inventor/Win/SoWin.h>

#include <Inventor/elements/SoGLCacheContextElement.h>
#include <Inventor/misc/SoContextHandler.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

constexpr const char* kWidgetProperty = "SoWinGLWidget";
constexpr const char* kContainerClassName = "SoWinGLManager";
constexpr const char* kDrawingClassName = "SoWinGLArea";
// GL_PACK_INVERT_MESA, of the GL_MESA_pack_invert extension.
constexpr GLenum kPackInvert = 0x8758;

bool isMouseMessage(UINT message) {
    return message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL;
}

bool isButtonPress(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_MBUTTONDOWN || message == WM_RBUTTONDOWN ||
           message == WM_LBUTTONDBLCLK || message == WM_MBUTTONDBLCLK ||
           message == WM_RBUTTONDBLCLK;
}

bool isButtonRelease(UINT message) {
    return message == WM_LBUTTONUP || message == WM_MBUTTONUP || message == WM_RBUTTONUP;
}

HWND topLevelOf(HWND hwnd) {
    while (hwnd && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD))
        hwnd = GetParent(hwnd);
    return hwnd;
}

// The pointer coming over the drawing window gives it the keyboard when its window is the one
// in use (the keyboard is elsewhere in it), so the viewer's keys work without a click first.
void takeKeyboardOnEntry(HWND hwnd) {
    HWND focus = GetFocus();
    if (focus && focus != hwnd && topLevelOf(focus) == topLevelOf(hwnd))
        SetFocus(hwnd);
}

// A press gives the drawing window the keyboard and keeps the mouse with it until the last
// button is released, so a drag that leaves the window still reaches the scene.
void followButtons(HWND hwnd, UINT message, WPARAM keyState) {
    if (message == WM_MOUSEMOVE && !GetCapture())
        takeKeyboardOnEntry(hwnd);
    if (isButtonPress(message)) {
        SetFocus(hwnd);
        SetCapture(hwnd);
    } else if (isButtonRelease(message) &&
               (keyState & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) == 0 && GetCapture() == hwnd) {
        ReleaseCapture();
    }
}

bool isKeyboardMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR ||
           message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

// Where the cursor was when a message was sent, in screen coordinates, as Win32 fills MSG::pt.
POINT cursorPositionOf(HWND hwnd, UINT message, LPARAM lParam) {
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_MOUSEWHEEL) // already in screen coordinates
        return point;
    if (isMouseMessage(message)) {
        ClientToScreen(hwnd, &point);
        return point;
    }
    GetCursorPos(&point);
    return point;
}

} // namespace

// One drawing window and the surface its pictures go to (a pbuffer off screen, the window
// itself on screen).
struct SoWinGLDrawingWindow {
    HWND hwnd = nullptr;
    SoWinGLBackend* backend = nullptr;
    SoWinGLBackend::Surface surface = nullptr;
    SbVec2s surfaceSize = SbVec2s(0, 0);
    // Size of the last complete frame in the surface; (0, 0) while none was drawn.
    SbVec2s drawnSize = SbVec2s(0, 0);

    void releaseSurface() {
        if (surface)
            backend->destroySurface(surface);
        surface = nullptr;
        surfaceSize = drawnSize = SbVec2s(0, 0);
    }

    // Makes the surface match the window's client size; a new surface holds no frame yet.
    bool fitSurface() {
        const SbVec2s size = SoWin::getWidgetSize(hwnd);
        if (surface && size == surfaceSize)
            return true;
        releaseSurface();
        surface = backend->createSurface(hwnd, size[0], size[1]);
        surfaceSize = size;
        return surface != nullptr;
    }
};

class SoWinGLWidget::Private {
public:
    enum { SINGLE = 0, DOUBLE = 1 };

    explicit Private(SoWinGLWidget* owner, int glModes)
        : owner(owner), glModes(glModes), backend(&SoWinGLBackend::current()),
          cacheContext(SoGLCacheContextElement::getUniqueCacheContext()) {
        for (SoWinGLDrawingWindow& window : windows)
            window.backend = backend;
    }

    SoWinGLDrawingWindow& current() { return windows[(glModes & SO_GL_DOUBLE) ? DOUBLE : SINGLE]; }
    const SoWinGLDrawingWindow& current() const {
        return windows[(glModes & SO_GL_DOUBLE) ? DOUBLE : SINGLE];
    }

    SoWinGLDrawingWindow* windowOf(HWND hwnd) {
        for (SoWinGLDrawingWindow& window : windows)
            if (window.hwnd == hwnd)
                return &window;
        return nullptr;
    }

    static SoWinGLWidget* widgetOf(HWND hwnd) {
        return static_cast<SoWinGLWidget*>(GetPropA(hwnd, kWidgetProperty));
    }

    // Both drawing windows fill the container; only the current one is visible.
    void layOut() {
        const SbVec2s size = SoWin::getWidgetSize(container);
        for (SoWinGLDrawingWindow& window : windows)
            if (window.hwnd)
                MoveWindow(window.hwnd, 0, 0, size[0], size[1], TRUE);
    }

    void showCurrentOnly() {
        for (SoWinGLDrawingWindow& window : windows)
            if (window.hwnd)
                ShowWindow(window.hwnd, &window == &current() ? SW_SHOW : SW_HIDE);
    }

    static LRESULT CALLBACK containerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CREATE)
            SetPropA(hwnd, kWidgetProperty,
                     reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SoWinGLWidget* widget = widgetOf(hwnd);
        if (widget && widget->m_Private->container == hwnd) {
            if (message == WM_SIZE)
                widget->m_Private->layOut();
            else if (message == WM_NCDESTROY)
                widget->m_Private->container = nullptr;
        }
        if (message == WM_NCDESTROY)
            RemovePropA(hwnd, kWidgetProperty);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    static LRESULT CALLBACK drawingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CREATE)
            SetPropA(hwnd, kWidgetProperty,
                     reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SoWinGLWidget* widget = widgetOf(hwnd);
        SoWinGLDrawingWindow* window = widget ? widget->m_Private->windowOf(hwnd) : nullptr;
        if (message == WM_NCDESTROY) {
            RemovePropA(hwnd, kWidgetProperty);
            if (window) {
                window->releaseSurface();
                window->hwnd = nullptr;
            }
        }
        if (!window)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        Private& self = *widget->m_Private;
        const bool isCurrent = window == &self.current();
        if (message == WM_SIZE && isCurrent) {
            widget->drawingSizeChanged(SoWin::getWidgetSize(hwnd));
            // The picture at the new size is drawn when the loop paints the window.
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        }
        if (message == WM_PAINT && isCurrent)
            widget->redraw();
        const bool input = (isMouseMessage(message) && self.mouseInput) ||
                           (isKeyboardMessage(message) && self.keyboardInput);
        if (!input)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        if (isMouseMessage(message))
            followButtons(hwnd, message, wParam);
        MSG msg = {hwnd,   message,          wParam,
                   lParam, GetMessageTime(), cursorPositionOf(hwnd, message, lParam)};
        if (!widget->invokeAppCB(&msg))
            widget->processEvent(&msg);
        return 0;
    }

    // The current drawing window's last frame (drawn first when there is none at its size),
    // rows top to bottom, into the caller's buffer.
    bool readFrame(GLenum format, int bytesPerPixel, std::vector<unsigned char>& pixels,
                   SbVec2s& size) {
        size = SbVec2s(0, 0);
        const bool locked = owner->glLockNormal();
        SoWinGLDrawingWindow& window = current();
        if (locked && window.drawnSize != window.surfaceSize)
            owner->redraw();
        const SbVec2s drawn = window.drawnSize;
        const bool ok = locked && drawn == window.surfaceSize && drawn[0] > 0 && drawn[1] > 0;
        // A buffer kept from the last frame of the same size is overwritten as it is: clearing
        // it first would fill it with zeros again on every frame.
        if (ok) {
            readTopDown(format, drawn, size_t(drawn[0]) * bytesPerPixel, pixels);
            size = drawn;
        } else {
            pixels.clear();
        }
        owner->glUnlockNormal();
        return ok;
    }

    // OpenGL counts rows from the bottom. Mesa's pack inversion hands them over top first in the
    // same single copy; elsewhere they are read into a scratch buffer and copied back reversed.
    void readTopDown(GLenum format, const SbVec2s& drawn, size_t rowBytes,
                     std::vector<unsigned char>& pixels) {
        pixels.resize(rowBytes * drawn[1]);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        if (canInvertRows()) {
            glPixelStorei(kPackInvert, GL_TRUE);
            glReadPixels(0, 0, drawn[0], drawn[1], format, GL_UNSIGNED_BYTE, pixels.data());
            glPixelStorei(kPackInvert, GL_FALSE);
            return;
        }
        scratch.resize(pixels.size());
        glReadPixels(0, 0, drawn[0], drawn[1], format, GL_UNSIGNED_BYTE, scratch.data());
        for (int row = 0; row < drawn[1]; ++row)
            std::memcpy(&pixels[row * rowBytes], &scratch[(drawn[1] - 1 - row) * rowBytes],
                        rowBytes);
    }

    bool canInvertRows() {
        if (!packInvert) {
            const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
            packInvert = extensions && std::strstr(extensions, "GL_MESA_pack_invert");
        }
        return *packInvert;
    }

    HWND createDrawingWindow(const char* name) {
        HINSTANCE instance = SoWinWindowClass::ensure(kDrawingClassName, drawingProc);
        const SbVec2s size = SoWin::getWidgetSize(container);
        return CreateWindowExA(0, kDrawingClassName, name, WS_CHILD, 0, 0, size[0], size[1],
                               container, nullptr, instance, owner);
    }

    SoWinGLWidget* owner;
    int glModes;
    // Chosen when the widget is made, so a widget made before SoWin::init chose the display
    // keeps drawing where its context lives.
    SoWinGLBackend* backend;
    uint32_t cacheContext;
    HWND container = nullptr;
    SoWinGLDrawingWindow windows[2];
    SoWinGLBackend::Context context = nullptr;
    std::optional<SoWinEGLScope> binding;
    int lockDepth = 0;
    bool graphicReady = false;
    std::optional<bool> packInvert; // whether the context has GL_MESA_pack_invert
    std::vector<unsigned char> scratch;
    bool mouseInput = true;
    bool keyboardInput = true;
};

SoWinGLWidget::SoWinGLWidget(HWND parent, const char* name, SbBool embed, int glModes, SbBool build)
    : SoWinComponent(parent, name, embed), m_Private(new Private(this, glModes | SO_GL_RGB)) {
    setClassName("SoWinGLWidget");
    if (build)
        setBaseWidget(buildWidget(getParentWidget()));
}

SoWinGLWidget::~SoWinGLWidget() {
    // Coin frees what it keeps for this context (display lists, textures) while it is current.
    if (glLockNormal())
        SoContextHandler::destructingContext(m_Private->cacheContext);
    glUnlockNormal();
    if (m_Private->container) {
        HWND container = m_Private->container;
        // Destroying a base widget would leave the component pointing at it: release first.
        if (getBaseWidget() == container)
            setBaseWidget(nullptr);
        DestroyWindow(container);
    }
    for (SoWinGLDrawingWindow& window : m_Private->windows)
        window.releaseSurface();
    if (m_Private->context)
        m_Private->backend->destroyContext(m_Private->context);
}

HWND SoWinGLWidget::getNormalWidget(void) const {
    return m_Private->current().hwnd;
}

HWND SoWinGLWidget::getGLWidget(void) const {
    return m_Private->container;
}

HGLRC SoWinGLWidget::getNormalContext(void) const {
    return static_cast<HGLRC>(m_Private->context);
}

HGLRC SoWinGLWidget::getShareContext(void) const {
    return getNormalContext();
}

int SoWinGLWidget::getGLMode(void) const {
    return m_Private->glModes;
}

void SoWinGLWidget::setDoubleBuffer(const SbBool enable) {
    if (enable == isDoubleBuffer())
        return;
    if (enable)
        m_Private->glModes |= SO_GL_DOUBLE;
    else
        m_Private->glModes &= ~SO_GL_DOUBLE;
    if (!m_Private->container)
        return;
    m_Private->showCurrentOnly();
    widgetChanged(getNormalWidget());
    drawingSizeChanged(getGlxSize());
}

SbBool SoWinGLWidget::isDoubleBuffer(void) const {
    return (m_Private->glModes & SO_GL_DOUBLE) ? TRUE : FALSE;
}

void SoWinGLWidget::setMouseInput(const SbBool enable) {
    m_Private->mouseInput = enable;
}

SbBool SoWinGLWidget::isMouseInput(void) const {
    return m_Private->mouseInput ? TRUE : FALSE;
}

void SoWinGLWidget::setKeyboardInput(const SbBool enable) {
    m_Private->keyboardInput = enable;
}

SbBool SoWinGLWidget::isKeyboardInput(void) const {
    return m_Private->keyboardInput ? TRUE : FALSE;
}

SbVec2s SoWinGLWidget::getGlxSize(void) const {
    return SoWin::getWidgetSize(getNormalWidget());
}

SbBool SoWinGLWidget::readPixels(std::vector<unsigned char>& rgb, SbVec2s& size) {
    return m_Private->readFrame(GL_RGB, 3, rgb, size) ? TRUE : FALSE;
}

SbBool SoWinGLWidget::readPixelsBGRA(std::vector<unsigned char>& bgra, SbVec2s& size) {
    return m_Private->readFrame(GL_BGRA, 4, bgra, size) ? TRUE : FALSE;
}

HWND SoWinGLWidget::buildWidget(HWND parent) {
    Private& self = *m_Private;
    if (self.container)
        return self.container;
    HINSTANCE instance = SoWinWindowClass::ensure(kContainerClassName, Private::containerProc);
    const SbVec2s size = SoWin::getWidgetSize(parent);
    self.container = CreateWindowExA(0, kContainerClassName, getWidgetName(), WS_CHILD | WS_VISIBLE,
                                     0, 0, size[0], size[1], parent, nullptr, instance, this);
    if (!self.container)
        return nullptr;
    self.windows[Private::SINGLE].hwnd = self.createDrawingWindow("SingleBuffer");
    self.windows[Private::DOUBLE].hwnd = self.createDrawingWindow("DoubleBuffer");
    if (!self.context)
        self.context = self.backend->createContext();
    self.showCurrentOnly();
    widgetChanged(getNormalWidget());
    return self.container;
}

void SoWinGLWidget::redraw(void) {
    if (!glLockNormal()) {
        glUnlockNormal();
        return;
    }
    actualRedraw();
    if (isDoubleBuffer())
        glSwapBuffers();
    else
        glFlushBuffer();
    SoWinGLDrawingWindow& window = m_Private->current();
    window.drawnSize = window.surfaceSize;
    glUnlockNormal();
}

void SoWinGLWidget::initGraphic(void) {
    glEnable(GL_DEPTH_TEST);
}

void SoWinGLWidget::processEvent(MSG*) {}

SbBool SoWinGLWidget::invokeAppCB(MSG*) {
    return FALSE;
}

void SoWinGLWidget::drawingSizeChanged(const SbVec2s&) {}

void SoWinGLWidget::widgetChanged(HWND newWidget) {
    inherited::widgetChanged(newWidget);
}

SbBool SoWinGLWidget::glLockNormal(void) {
    Private& self = *m_Private;
    if (self.lockDepth++ > 0)
        return self.binding && self.binding->isCurrent() ? TRUE : FALSE;
    SoWinGLDrawingWindow& window = self.current();
    if (!window.hwnd || !self.context || !window.fitSurface())
        return FALSE;
    self.binding.emplace(self.backend->eglDisplay(), self.context, window.surface);
    if (!self.binding->isCurrent())
        return FALSE;
    if (!self.graphicReady) {
        self.graphicReady = true;
        initGraphic();
    }
    return TRUE;
}

void SoWinGLWidget::glUnlockNormal(void) {
    Private& self = *m_Private;
    if (self.lockDepth > 0 && --self.lockDepth == 0)
        self.binding.reset();
}

void SoWinGLWidget::glSwapBuffers(void) {
    m_Private->backend->swapBuffers(m_Private->current().surface);
}

void SoWinGLWidget::glFlushBuffer(void) {
    m_Private->backend->flush(m_Private->current().surface);
}

uint32_t SoWinGLWidget::getCacheContextId(void) const {
    return m_Private->cacheContext;
}
