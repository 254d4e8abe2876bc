// Where the GL widgets draw: off screen into pbuffers (headless), or into their drawing windows
// on the display. SoWin::init chooses once per process (see SoWinDisplay); until then, and
// whenever there is no display, drawing is headless. Both draw through EGL, so a context is made
// current the same way (SoWinEGLScope) whichever it is.
//
// Internal to the viewer layer; EGL types are kept opaque.
#ifndef OIVWINTAV_SOWINGLBACKEND_H
#define OIVWINTAV_SOWINGLBACKEND_H

#include <windows.h>

class SoWinGLBackend {
public:
    typedef void* Context; // an EGLContext
    typedef void* Surface; // an EGLSurface

    // The backend new widgets draw with.
    static SoWinGLBackend& current();
    // Makes `backend` the one new widgets draw with; it must live as long as the process.
    static void use(SoWinGLBackend* backend);

    virtual ~SoWinGLBackend() = default;

    // The EGL display (an EGLDisplay) its contexts and surfaces belong to; null without one.
    virtual void* eglDisplay() const = 0;

    // A new OpenGL (compatibility) context, null on failure.
    virtual Context createContext() = 0;
    virtual void destroyContext(Context context) = 0;

    // A surface that `window` shows, of its client size width × height (each at least 1).
    // Null on failure.
    virtual Surface createSurface(HWND window, int width, int height) = 0;
    virtual void destroySurface(Surface surface) = 0;

    // Ends a frame drawn into `surface` (current): shows it when the surface is on screen. The
    // frame stays readable with glReadPixels until the next one is drawn.
    virtual void swapBuffers(Surface surface) = 0;
    // Ends a frame of a single-buffered drawing window the same way.
    virtual void flush(Surface surface) = 0;
};

#endif // OIVWINTAV_SOWINGLBACKEND_H
