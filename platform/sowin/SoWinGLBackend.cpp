#include "SoWinGLBackend.h"

#include "SoWinHeadlessGL.h"

#include <GL/gl.h>

namespace {

// Pbuffers of the headless provider: a pbuffer has a single colour buffer, so a finished frame
// is already where glReadPixels looks; ending a frame only has to finish it.
class HeadlessBackend : public SoWinGLBackend {
public:
    void* eglDisplay() const override { return SoWinHeadlessGL::display(); }
    Context createContext() override { return SoWinHeadlessGL::createContext(); }
    void destroyContext(Context context) override { SoWinHeadlessGL::destroyContext(context); }
    Surface createSurface(HWND, int width, int height) override {
        return SoWinHeadlessGL::createSurface(width, height);
    }
    void destroySurface(Surface surface) override { SoWinHeadlessGL::destroySurface(surface); }
    void swapBuffers(Surface) override { glFinish(); }
    void flush(Surface) override { glFlush(); }
};

SoWinGLBackend*& chosen() {
    static HeadlessBackend headless;
    static SoWinGLBackend* backend = &headless;
    return backend;
}

} // namespace

SoWinGLBackend& SoWinGLBackend::current() {
    return *chosen();
}

void SoWinGLBackend::use(SoWinGLBackend* backend) {
    if (backend)
        chosen() = backend;
}
