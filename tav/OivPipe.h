// A pipe: a closed tube of `radius` drawn along the polyline through `points` (object space), with
// mitred joints and flat end caps. It is an ordinary Coin shape: it renders, has a bounding box
// and is picked on its triangles, so a ray pick returns the pipe as the tail of the path. The
// centre line is handed out through getPathPoints / getNumPathPoints, which is what a curve viewer
// tracks along. Consecutive equal points are drawn once, and points at an infinity or that are
// no number (a host's data or an engine can give them) are passed over; fewer than two distinct
// points, a radius that is not a positive number, or a surface whose coordinates would overflow
// draw nothing. The centre line is handed out as it is.
//
// File format and defaults:
//   OivPipe {
//     points   [ ]
//     radius   1
//     numSides 12    # facets around the tube, from 3 to 256 (fewer for pipes of very many points)
//   }
#ifndef OIVWINTAV_OIVPIPE_H
#define OIVWINTAV_OIVPIPE_H

#include <Inventor/fields/SoMFVec3f.h>
#include <Inventor/fields/SoSFFloat.h>
#include <Inventor/fields/SoSFInt32.h>
#include <Inventor/nodes/SoShape.h>
#include <Inventor/nodes/SoSubNode.h>

class OivPipe : public SoShape {
    typedef SoShape inherited;
    SO_NODE_HEADER(OivPipe);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    OivPipe(void);

    SoMFVec3f points;
    SoSFFloat radius;
    SoSFInt32 numSides;

    // The centre-line points in order (object space); valid until `points` changes.
    const SbVec3f* getPathPoints(void) const;
    int getNumPathPoints(void) const;

protected:
    virtual ~OivPipe();

    virtual void generatePrimitives(SoAction* action);
    virtual void computeBBox(SoAction* action, SbBox3f& box, SbVec3f& center);
};

#endif // OIVWINTAV_OIVPIPE_H
