// The global vertical exaggeration: a scale node whose scaleFactor is (1, 1, z). Being an SoScale,
// it scales everything after it in its separator for rendering, bounding boxes, matrices and
// picking; its own type lets the scene graph and a file tell it apart from other scales.
//
// A factor with a component that cannot be applied and undone (zero, an infinity, no number, or
// one whose inverse overflows: a host or an engine of a file can set any of them) scales nothing at
// all, as the scene manager refuses such a Z scale: it would flatten or blow up every bounding box
// after it, and the camera that frames them.
//
// File format and defaults:
//   OivGlobalZScale {
//     scaleFactor 1 1 1
//   }
#ifndef OIVWINTAV_OIVGLOBALZSCALE_H
#define OIVWINTAV_OIVGLOBALZSCALE_H

#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSubNode.h>

class OivGlobalZScale : public SoScale {
    typedef SoScale inherited;
    SO_NODE_HEADER(OivGlobalZScale);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    OivGlobalZScale(void);

    // Whether a scale factor component can be applied and undone.
    static bool isUsableFactor(float factor);
    // Whether scaleFactor is applied (every component usable).
    bool isUsable(void) const;

    // Each action applies the scale as SoScale does while it is usable, and nothing otherwise.
    virtual void doAction(SoAction* action);
    virtual void callback(SoCallbackAction* action);
    virtual void GLRender(SoGLRenderAction* action);
    virtual void getBoundingBox(SoGetBoundingBoxAction* action);
    virtual void getMatrix(SoGetMatrixAction* action);
    virtual void pick(SoPickAction* action);
    virtual void getPrimitiveCount(SoGetPrimitiveCountAction* action);

protected:
    virtual ~OivGlobalZScale();
};

#endif // OIVWINTAV_OIVGLOBALZSCALE_H
