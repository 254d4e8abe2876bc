// The pickable triangles of a scene graph (see OivSceneTriangles for which) under bounding
// volume hierarchies, so that a ray finds its nearest triangle in a few microseconds instead of
// testing every triangle as a ray pick action does. It is built once and then answers any number
// of rays until the scene changes; the owner decides when to rebuild, and rebuilds (or clears)
// after any change of the scene before it intersects again: the large surfaces (quad meshes,
// indexed face sets) are read from the scene's own arrays in their object space, each under a
// hierarchy of its own (see OivObjectSurface), which keeps the index at a few bytes per
// triangle. The other triangles are copied to world space.
//
// The build orders the world triangles along a space-filling curve (see OivCurveOrder)
// and groups runs of kLeafSize neighbours into leaves, then pairs neighbouring boxes level by
// level up to the root: linear in the number of triangles.
#ifndef OIVWINTAV_OIVTRIANGLEINDEX_H
#define OIVWINTAV_OIVTRIANGLEINDEX_H

#include "tav/OivBoxLevels.h"
#include "tav/OivRay.h"
#include "tav/OivSceneTriangles.h"

#include <Inventor/SbLine.h>
#include <Inventor/SbVec3f.h>
#include <Inventor/SbViewportRegion.h>

#include <cstddef>

class SoNode;

class OivTriangleIndex {
public:
    using Hit = OivRay::Hit;

    OivTriangleIndex() = default;
    OivTriangleIndex(const OivTriangleIndex&) = delete;
    OivTriangleIndex& operator=(const OivTriangleIndex&) = delete;

    // Replaces the contents with the triangles below `root`; `excluded` (may be null) is pruned
    // with everything below it. The viewport matters for screen-space complexity.
    void build(SoNode* root, const SbViewportRegion& viewport, const SoNode* excluded);
    void clear(void);

    // The nearest triangle hit by `ray` at a distance in [minDistance, maxDistance] along its
    // unit direction; both faces of a triangle count.
    bool intersect(const SbLine& ray, float minDistance, float maxDistance, Hit& hit) const;

    size_t getTriangleCount(void) const;
    // Bytes the index holds on to between builds (not the scene's arrays it reads).
    size_t getMemoryUsage(void) const;

private:
    size_t getWorldTriangleCount(void) const { return m_Triangles.triangleCorners.size() / 3; }
    void sortAlongCurve(void);
    void buildLevels(void);
    bool intersectWorld(const OivRay& ray, float minDistance, float& nearest, Hit& hit) const;

    OivSceneTriangles m_Triangles; // the world triangles' corners in leaf order once built
    OivBoxLevels m_Levels;         // over the world triangles, one row of leaves
};

#endif // OIVWINTAV_OIVTRIANGLEINDEX_H
