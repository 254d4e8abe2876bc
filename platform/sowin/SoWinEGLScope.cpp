#include "SoWinEGLScope.h"

#define EGL_NO_X11
#include <EGL/egl.h>

SoWinEGLScope::SoWinEGLScope(void* display, void* context, void* surface)
    : m_Display(display), m_PreviousDisplay(eglGetCurrentDisplay()),
      m_PreviousContext(eglGetCurrentContext()), m_PreviousDraw(eglGetCurrentSurface(EGL_DRAW)),
      m_PreviousRead(eglGetCurrentSurface(EGL_READ)), m_Current(false) {
    m_Current = display && context && surface &&
                eglMakeCurrent(display, surface, surface, context) == EGL_TRUE;
}

SoWinEGLScope::~SoWinEGLScope() {
    if (m_PreviousContext)
        eglMakeCurrent(m_PreviousDisplay, m_PreviousDraw, m_PreviousRead, m_PreviousContext);
    else if (m_Display)
        eglMakeCurrent(m_Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}
