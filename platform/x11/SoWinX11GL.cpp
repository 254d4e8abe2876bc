#include "SoWinX11GL.h"

#include "X11WindowSystem.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <vector>

namespace {

constexpr EGLint kConfigAttributes[] = {EGL_SURFACE_TYPE,
                                        EGL_WINDOW_BIT | EGL_SWAP_BEHAVIOR_PRESERVED_BIT,
                                        EGL_RENDERABLE_TYPE,
                                        EGL_OPENGL_BIT,
                                        EGL_RED_SIZE,
                                        8,
                                        EGL_GREEN_SIZE,
                                        8,
                                        EGL_BLUE_SIZE,
                                        8,
                                        EGL_DEPTH_SIZE,
                                        24,
                                        EGL_NONE};

// A configuration that draws into windows of `visualId`, or null.
EGLConfig configFor(EGLDisplay display, unsigned long visualId) {
    EGLint count = 0;
    if (!eglChooseConfig(display, kConfigAttributes, nullptr, 0, &count) || count < 1)
        return nullptr;
    std::vector<EGLConfig> configs(static_cast<size_t>(count));
    if (!eglChooseConfig(display, kConfigAttributes, configs.data(), count, &count))
        return nullptr;
    configs.resize(static_cast<size_t>(count));
    for (EGLConfig config : configs) {
        EGLint visual = 0;
        if (eglGetConfigAttrib(display, config, EGL_NATIVE_VISUAL_ID, &visual) &&
            static_cast<unsigned long>(visual) == visualId)
            return config;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<SoWinX11GL> SoWinX11GL::open(const oivwin32::X11WindowSystem& windows) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay)
        return nullptr;
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_X11_KHR, windows.display(), nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        return nullptr;
    EGLConfig config =
        eglBindAPI(EGL_OPENGL_API) ? configFor(display, windows.visualId()) : nullptr;
    if (!config) {
        eglTerminate(display);
        return nullptr;
    }
    return std::unique_ptr<SoWinX11GL>(new SoWinX11GL(windows, display, config));
}

SoWinX11GL::SoWinX11GL(const oivwin32::X11WindowSystem& windows, void* display, void* config)
    : m_Windows(windows), m_Display(display), m_Config(config) {}

SoWinX11GL::~SoWinX11GL() {
    eglTerminate(m_Display);
}

void* SoWinX11GL::eglDisplay() const {
    return m_Display;
}

SoWinGLBackend::Context SoWinX11GL::createContext() {
    // eglBindAPI is per thread; bind again in case this thread is not the one that opened EGL.
    eglBindAPI(EGL_OPENGL_API);
    EGLContext context = eglCreateContext(m_Display, m_Config, EGL_NO_CONTEXT, nullptr);
    return context == EGL_NO_CONTEXT ? nullptr : context;
}

void SoWinX11GL::destroyContext(Context context) {
    if (context)
        eglDestroyContext(m_Display, context);
}

SoWinGLBackend::Surface SoWinX11GL::createSurface(HWND window, int, int) {
    // The surface takes the size of the X window, which the window system keeps at the window's
    // client size.
    const oivwin32::X11WindowSystem::NativeWindow native = m_Windows.nativeWindow(window);
    if (!native)
        return nullptr;
    EGLSurface surface = eglCreateWindowSurface(m_Display, m_Config,
                                                static_cast<EGLNativeWindowType>(native), nullptr);
    if (surface == EGL_NO_SURFACE)
        return nullptr;
    eglSurfaceAttrib(m_Display, surface, EGL_SWAP_BEHAVIOR, EGL_BUFFER_PRESERVED);
    return surface;
}

void SoWinX11GL::destroySurface(Surface surface) {
    if (surface)
        eglDestroySurface(m_Display, surface);
}

void SoWinX11GL::swapBuffers(Surface surface) {
    eglSwapBuffers(m_Display, surface);
}

void SoWinX11GL::flush(Surface surface) {
    // A window surface draws into its back buffer whatever the drawing window's mode: the frame
    // reaches the screen only with a swap.
    swapBuffers(surface);
}
