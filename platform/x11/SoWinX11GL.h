// On-screen drawing for the X11 window system: EGL on its X11 platform, on the window system's
// own connection, with one window surface per drawing window.
//
// EGL rather than GLX: the off-screen renderer already draws through EGL (surfaceless), so both
// kinds of context are made current, switched and restored through the one API, and the X11
// platform draws under Xvfb as on a desktop. Window surfaces keep their back buffer after a swap
// (EGL_BUFFER_PRESERVED), so the last frame stays readable as it is off screen.
#ifndef OIVWINTAV_SOWINX11GL_H
#define OIVWINTAV_SOWINX11GL_H

#include "SoWinGLBackend.h"

#include <memory>

namespace oivwin32 {
class X11WindowSystem;
}

class SoWinX11GL : public SoWinGLBackend {
public:
    // Drawing into the windows of `windows`; null when its display offers no OpenGL through EGL
    // for the windows' visual.
    static std::unique_ptr<SoWinX11GL> open(const oivwin32::X11WindowSystem& windows);

    ~SoWinX11GL() override;
    SoWinX11GL(const SoWinX11GL&) = delete;
    SoWinX11GL& operator=(const SoWinX11GL&) = delete;

    void* eglDisplay() const override;
    Context createContext() override;
    void destroyContext(Context context) override;
    Surface createSurface(HWND window, int width, int height) override;
    void destroySurface(Surface surface) override;
    void swapBuffers(Surface surface) override;
    void flush(Surface surface) override;

private:
    SoWinX11GL(const oivwin32::X11WindowSystem& windows, void* display, void* config);

    const oivwin32::X11WindowSystem& m_Windows;
    void* m_Display; // EGLDisplay
    void* m_Config;  // EGLConfig
};

#endif // OIVWINTAV_SOWINX11GL_H
