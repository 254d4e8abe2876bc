// Shared by the background nodes: saves every piece of OpenGL state they change, sets up a flat,
// unlit, untextured 2D drawing that neither tests nor writes depth, and restores it all when it
// goes out of scope. Coin tracks OpenGL state lazily, so a node that draws with OpenGL directly
// must hand the state back exactly as it found it.
#ifndef OIVWINTAV_BACKGROUNDGLSTATE_H
#define OIVWINTAV_BACKGROUNDGLSTATE_H

#include <Inventor/system/gl.h>

class SoGLRenderAction;

class BackgroundGLState {
public:
    // The projection maps (left..right, bottom..top) onto the current viewport.
    BackgroundGLState(double left, double right, double bottom, double top);
    ~BackgroundGLState();
    BackgroundGLState(const BackgroundGLState&) = delete;
    BackgroundGLState& operator=(const BackgroundGLState&) = delete;

    // False during the passes in which Coin draws only delayed (transparent or annotation)
    // geometry: a background belongs to the main pass only.
    static bool shouldDraw(SoGLRenderAction* action);
};

#endif // OIVWINTAV_BACKGROUNDGLSTATE_H
