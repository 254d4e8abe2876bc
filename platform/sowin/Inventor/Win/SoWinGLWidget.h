// A component that draws with OpenGL. It owns two drawing windows inside a container window,
// one double-buffered and one single-buffered; the OpenGL mode's double-buffer bit chooses the
// current one, which getNormalWidget() returns. The drawing windows receive the mouse and
// keyboard messages and hand them to invokeAppCB, then, unless it consumed them, to processEvent;
// a press also gives the window the focus and the mouse capture until the last button is up.
// WM_PAINT of the current drawing window draws it; a resize invalidates it.
//
// Drawing goes into an EGL surface of each drawing window's size (made again when the window is
// resized), with one OpenGL context per widget: a pbuffer with no display, so it works headless,
// or the drawing window itself on a display, swapped once per frame.
#ifndef OIVWINTAV_SOWINGLWIDGET_H
#define OIVWINTAV_SOWINGLWIDGET_H

#include <Inventor/Win/SoWinComponent.h>

#include <memory>
#include <vector>

enum GLModes {
    SO_GL_RGB = 0x01,
    SO_GLX_RGB = SO_GL_RGB,
    SO_GL_DOUBLE = 0x02,
    SO_GLX_DOUBLE = SO_GL_DOUBLE,
    SO_GL_ZBUFFER = 0x04,
    SO_GLX_ZBUFFER = SO_GL_ZBUFFER,
    SO_GL_OVERLAY = 0x08,
    SO_GLX_OVERLAY = SO_GL_OVERLAY,
    SO_GL_STEREO = 0x10,
    SO_GLX_STEREO = SO_GL_STEREO
};

class SoWinGLWidget : public SoWinComponent {
public:
    typedef SoWinComponent inherited;

    // The current drawing window (double- or single-buffered, after the OpenGL mode).
    HWND getNormalWidget(void) const;
    // The container window of both drawing windows.
    HWND getGLWidget(void) const;

    // The OpenGL context the widget draws with, as an opaque handle; other renderers may
    // share objects with it.
    HGLRC getNormalContext(void) const;
    HGLRC getShareContext(void) const;

    // The SO_GL_* bits the widget was created with, as changed by setDoubleBuffer.
    int getGLMode(void) const;

    // Switches between the double- and the single-buffered drawing window; the other one is
    // hidden and widgetChanged is called with the new current one.
    void setDoubleBuffer(const SbBool enable);
    SbBool isDoubleBuffer(void) const;

    // Whether the drawing windows turn mouse and keyboard messages into processEvent calls.
    void setMouseInput(const SbBool enable);
    SbBool isMouseInput(void) const;
    void setKeyboardInput(const SbBool enable);
    SbBool isKeyboardInput(void) const;

    // Size of the current drawing window's client area in pixels.
    SbVec2s getGlxSize(void) const;

    // Addition of this platform: the last frame drawn in the current drawing window, as tightly
    // packed RGB bytes (3 per pixel), rows from top to bottom as the user sees them, of the
    // window's client size. When the window has not been drawn at its current size yet, it is
    // drawn first. False (and empty results) when there is no drawing window or no OpenGL.
    SbBool readPixels(std::vector<unsigned char>& rgb, SbVec2s& size);
    // Addition of this platform, the fast read-back: the same frame, rows top to bottom, with 4
    // bytes per pixel in the order blue, green, red, alpha: the layout the drawing surface keeps,
    // which the driver copies without converting, as video encoders and DIBs take it. Alpha is
    // what the frame holds (the background clears it to 0).
    SbBool readPixelsBGRA(std::vector<unsigned char>& bgra, SbVec2s& size);

protected:
    SoWinGLWidget(HWND parent = NULL, const char* name = NULL, SbBool embed = TRUE,
                  int glModes = SO_GL_RGB, SbBool build = TRUE);
    virtual ~SoWinGLWidget();

    // Builds the container window with both drawing windows inside `parent`, at the parent's
    // client size, and returns it. The container does not follow its parent by itself: as the
    // base widget it fills the parent; inside a subclass's own form, the subclass places it.
    // A second call returns the same container.
    virtual HWND buildWidget(HWND parent);

    // Draws a frame: makes the context current on the drawing window, calls actualRedraw and
    // finishes the frame.
    virtual void redraw(void);
    // Draws the picture; the context is current and the viewport is the whole window.
    virtual void actualRedraw(void) = 0;
    // Sets up the OpenGL state once, the first time the context is current: enables the depth
    // test, which Coin's render action expects to find on.
    virtual void initGraphic(void);

    // A mouse or keyboard message of a drawing window that the application did not consume.
    virtual void processEvent(MSG* msg);
    // Gives the application the first look at a drawing window's message; non-zero consumes it.
    virtual SbBool invokeAppCB(MSG* msg);

    // Called with the current drawing window's client size after it changed (the window was
    // resized, or the other drawing window became current).
    virtual void drawingSizeChanged(const SbVec2s& size);
    virtual void widgetChanged(HWND newWidget);

    // Makes the widget's context current on the current drawing window (glLockNormal) and
    // gives the previous binding back (glUnlockNormal). Calls nest.
    SbBool glLockNormal(void);
    void glUnlockNormal(void);
    // Ends a frame: swaps the double-buffered window's buffers or flushes the single one.
    void glSwapBuffers(void);
    void glFlushBuffer(void);

    // Cache context id for Coin's render actions drawing with this widget's context.
    uint32_t getCacheContextId(void) const;

private:
    class Private;
    friend class Private;

    std::unique_ptr<Private> m_Private;
};

#endif // OIVWINTAV_SOWINGLWIDGET_H
