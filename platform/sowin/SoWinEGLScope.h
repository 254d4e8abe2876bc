// Makes an EGL context and surface current for the lifetime of the object and gives back
// whatever was current before (nothing, or another context, possibly of another EGL display:
// off-screen and on-screen drawing use one display each).
//
// Internal to the viewer layer. EGL types are kept opaque so that users of this header do not
// pull in EGL (and, through it, X11) declarations.
#ifndef OIVWINTAV_SOWINEGLSCOPE_H
#define OIVWINTAV_SOWINEGLSCOPE_H

class SoWinEGLScope {
public:
    SoWinEGLScope(void* display, void* context, void* surface);
    ~SoWinEGLScope();
    SoWinEGLScope(const SoWinEGLScope&) = delete;
    SoWinEGLScope& operator=(const SoWinEGLScope&) = delete;

    // False when the context could not be made current; nothing should be drawn then.
    bool isCurrent() const { return m_Current; }

private:
    void* m_Display;
    void* m_PreviousDisplay;
    void* m_PreviousContext;
    void* m_PreviousDraw;
    void* m_PreviousRead;
    bool m_Current;
};

#endif // OIVWINTAV_SOWINEGLSCOPE_H
