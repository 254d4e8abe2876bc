// Headless OpenGL for the viewer layer: EGL on Mesa's surfaceless platform, drawing into pbuffer
// surfaces, so render areas and Coin's off-screen renderer draw with no display at all.
//
// Internal to the viewer layer; not part of the SDK's interface. EGL types are kept opaque here
// so that users of this header do not pull in EGL (and, through it, X11) declarations.
#ifndef OIVWINTAV_SOWINHEADLESSGL_H
#define OIVWINTAV_SOWINHEADLESSGL_H

#include "SoWinEGLScope.h"

class SoWinHeadlessGL {
public:
    typedef void* Context; // an EGLContext
    typedef void* Surface; // an EGLSurface

    // Makes a context and surface of this provider current for the lifetime of the object and
    // restores whatever context and surfaces were current before.
    class CurrentScope : public SoWinEGLScope {
    public:
        CurrentScope(Context context, Surface surface);
    };

    // Opens the EGL display on first use. False when no headless OpenGL is available.
    static bool isAvailable();
    // The EGL display (an EGLDisplay), null when none is available.
    static void* display();

    // A new OpenGL (compatibility) context sharing objects with `share` (null: no sharing).
    // Null on failure.
    static Context createContext(Context share = nullptr);
    static void destroyContext(Context context);

    // A pbuffer surface of width × height pixels (each at least 1). Null on failure.
    static Surface createSurface(int width, int height);
    static void destroySurface(Surface surface);

    // Hands this provider to Coin as its off-screen context implementation, so that
    // SoOffscreenRenderer needs no window system. Must run before Coin creates any context.
    static void installCoinOffscreenCallbacks();
};

#endif // OIVWINTAV_SOWINHEADLESSGL_H
