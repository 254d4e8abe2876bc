// The global vertical exaggeration: a scale node whose scaleFactor is (1, 1, z). Being an SoScale,
// it scales everything after it in its separator for rendering, bounding boxes, matrices and
// picking; its own type lets the scene graph and a file tell it apart from other scales.
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
    static void initClass(void);
    OivGlobalZScale(void);

protected:
    virtual ~OivGlobalZScale();
};

#endif // OIVWINTAV_OIVGLOBALZSCALE_H
