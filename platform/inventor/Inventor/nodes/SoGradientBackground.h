// Background node that fills the whole viewport with a vertical colour gradient, from color0
// at the bottom edge to color1 at the top edge. It is drawn where it stands in the scene graph,
// so it goes first (before the scene it is a background for); it never writes depth, so the
// geometry drawn after it is depth-tested as if the frame were just cleared. It contributes
// nothing to bounding boxes, picks or any other action.
//
// File format and defaults:
//   SoGradientBackground {
//     color0 0 0 0   # bottom
//     color1 1 1 1   # top
//   }
#ifndef OIVWINTAV_SOGRADIENTBACKGROUND_H
#define OIVWINTAV_SOGRADIENTBACKGROUND_H

#include <Inventor/fields/SoSFColor.h>
#include <Inventor/nodes/SoNode.h>
#include <Inventor/nodes/SoSubNode.h>

class SoGradientBackground : public SoNode {
    typedef SoNode inherited;
    SO_NODE_HEADER(SoGradientBackground);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoGradientBackground(void);

    SoSFColor color0; // colour of the bottom edge
    SoSFColor color1; // colour of the top edge

    // Fills the viewport with the gradient behind everything drawn later.
    virtual void GLRender(SoGLRenderAction* action);

protected:
    virtual ~SoGradientBackground();
};

#endif // OIVWINTAV_SOGRADIENTBACKGROUND_H
