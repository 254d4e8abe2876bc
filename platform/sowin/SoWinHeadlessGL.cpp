#include "SoWinHeadlessGL.h"

// Keep X11 out: the surfaceless platform needs none of it.
#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <Inventor/C/glue/gl.h>

#include <optional>

namespace {

constexpr EGLint kConfigAttributes[] = {EGL_SURFACE_TYPE,
                                        EGL_PBUFFER_BIT,
                                        EGL_RENDERABLE_TYPE,
                                        EGL_OPENGL_BIT,
                                        EGL_RED_SIZE,
                                        8,
                                        EGL_GREEN_SIZE,
                                        8,
                                        EGL_BLUE_SIZE,
                                        8,
                                        EGL_ALPHA_SIZE,
                                        8,
                                        EGL_DEPTH_SIZE,
                                        24,
                                        EGL_NONE};

// The process's EGL display and the one configuration every context and surface uses, so that
// any context can draw into any surface.
struct Display {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;

    Display() {
        auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (!getPlatformDisplay)
            return;
        EGLDisplay candidate =
            getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (candidate == EGL_NO_DISPLAY || !eglInitialize(candidate, nullptr, nullptr))
            return;
        EGLint count = 0;
        if (!eglBindAPI(EGL_OPENGL_API) ||
            !eglChooseConfig(candidate, kConfigAttributes, &config, 1, &count) || count < 1) {
            eglTerminate(candidate);
            return;
        }
        display = candidate;
    }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    bool isOpen() const { return display != EGL_NO_DISPLAY; }
};

Display& theDisplay() {
    static Display display;
    return display;
}

// One off-screen context of Coin's: its own context and surface, and while it is current, the
// binding it replaced.
struct OffscreenTarget {
    SoWinHeadlessGL::Context context = nullptr;
    SoWinHeadlessGL::Surface surface = nullptr;
    std::optional<SoWinHeadlessGL::CurrentScope> current;
};

void destructOffscreen(cc_glglue_offscreen_data data) {
    auto* target = static_cast<OffscreenTarget*>(data);
    if (!target)
        return;
    target->current.reset();
    SoWinHeadlessGL::destroySurface(target->surface);
    SoWinHeadlessGL::destroyContext(target->context);
    delete target;
}

cc_glglue_offscreen_data createOffscreen(unsigned int width, unsigned int height) {
    auto* target = new OffscreenTarget;
    target->context = SoWinHeadlessGL::createContext();
    target->surface =
        SoWinHeadlessGL::createSurface(static_cast<int>(width), static_cast<int>(height));
    if (!target->context || !target->surface) {
        destructOffscreen(target);
        return nullptr;
    }
    return target;
}

SbBool makeOffscreenCurrent(cc_glglue_offscreen_data data) {
    auto* target = static_cast<OffscreenTarget*>(data);
    if (!target)
        return FALSE;
    target->current.reset();
    target->current.emplace(target->context, target->surface);
    return target->current->isCurrent() ? TRUE : FALSE;
}

void reinstatePreviousOffscreen(cc_glglue_offscreen_data data) {
    if (auto* target = static_cast<OffscreenTarget*>(data))
        target->current.reset();
}

} // namespace

SoWinHeadlessGL::CurrentScope::CurrentScope(Context context, Surface surface)
    : SoWinEGLScope(display(), context, surface) {}

bool SoWinHeadlessGL::isAvailable() {
    return theDisplay().isOpen();
}

void* SoWinHeadlessGL::display() {
    const Display& display = theDisplay();
    return display.isOpen() ? display.display : nullptr;
}

SoWinHeadlessGL::Context SoWinHeadlessGL::createContext(Context share) {
    const Display& display = theDisplay();
    if (!display.isOpen())
        return nullptr;
    // eglBindAPI is per thread; bind again in case this thread is not the one that opened EGL.
    eglBindAPI(EGL_OPENGL_API);
    EGLContext context =
        eglCreateContext(display.display, display.config, share ? share : EGL_NO_CONTEXT, nullptr);
    return context == EGL_NO_CONTEXT ? nullptr : context;
}

void SoWinHeadlessGL::destroyContext(Context context) {
    const Display& display = theDisplay();
    if (display.isOpen() && context)
        eglDestroyContext(display.display, context);
}

SoWinHeadlessGL::Surface SoWinHeadlessGL::createSurface(int width, int height) {
    const Display& display = theDisplay();
    if (!display.isOpen())
        return nullptr;
    const EGLint attributes[] = {EGL_WIDTH, width < 1 ? 1 : width, EGL_HEIGHT,
                                 height < 1 ? 1 : height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display.display, display.config, attributes);
    return surface == EGL_NO_SURFACE ? nullptr : surface;
}

void SoWinHeadlessGL::destroySurface(Surface surface) {
    const Display& display = theDisplay();
    if (display.isOpen() && surface)
        eglDestroySurface(display.display, surface);
}

void SoWinHeadlessGL::installCoinOffscreenCallbacks() {
    // Coin keeps the pointer, so the table must outlive every off-screen renderer.
    static cc_glglue_offscreen_cb_functions callbacks = {
        createOffscreen, makeOffscreenCurrent, reinstatePreviousOffscreen, destructOffscreen};
    cc_glglue_context_set_offscreen_cb_functions(&callbacks);
}
