// The pickable triangles of a scene graph in world space (see OivSceneTriangles for which),
// under a bounding volume hierarchy, so that a ray finds its nearest triangle in a few
// microseconds instead of testing every triangle as a ray pick action does. It is built once and
// then answers any number of rays until the scene changes; the owner decides when to rebuild.
//
// The build orders the triangles along a Morton curve (quad meshes come in that order; the
// triangles of other shapes are radix sorted by their centroids) and groups runs of kLeafSize
// neighbours into leaves, then pairs neighbouring boxes level by level up to the root: linear in
// the number of triangles, with no pointers or indices in the hierarchy, whose shape follows
// from the level sizes.
#ifndef OIVWINTAV_OIVTRIANGLEINDEX_H
#define OIVWINTAV_OIVTRIANGLEINDEX_H

#include "tav/OivSceneTriangles.h"

#include <Inventor/SbLine.h>
#include <Inventor/SbVec3f.h>
#include <Inventor/SbViewportRegion.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class SoNode;

class OivTriangleIndex {
public:
    struct Hit {
        SbVec3f point; // world space
        // World space, unit length, interpolated from the vertex normals; for a flat face (its
        // vertex normals zero) the face's own normal, which may point to either side.
        SbVec3f normal;
        float distance; // along the ray's unit direction from its start
    };

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
    // Bytes the index holds on to between builds.
    size_t getMemoryUsage(void) const;

private:
    struct Box {
        SbVec3f min, max;
    };
    // Widens `box` to hold `other`.
    static void include(Box& box, const Box& other) {
        for (int axis = 0; axis < 3; ++axis) {
            box.min[axis] = std::min(box.min[axis], other.min[axis]);
            box.max[axis] = std::max(box.max[axis], other.max[axis]);
        }
    }

    void appendUnorderedAlongMortonCurve(void);
    void buildLevels(void);
    bool intersectTriangle(uint32_t triangle, const SbLine& ray, float minDistance, float& distance,
                           float& u, float& v) const;

    OivSceneTriangles m_Triangles;          // corners in leaf order once built
    std::vector<std::vector<Box>> m_Levels; // m_Levels[0]: the leaves; back(): the root alone
};

#endif // OIVWINTAV_OIVTRIANGLEINDEX_H
