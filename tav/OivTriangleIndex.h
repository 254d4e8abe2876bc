// The pickable triangles of a scene graph in world space, under a bounding volume hierarchy, so
// that a ray finds its nearest triangle in a few microseconds instead of testing every triangle
// as a ray pick action does. It is built once with an SoCallbackAction and then answers any
// number of rays until the scene changes; the owner decides when to rebuild.
//
// Collected are the triangles of every shape the callback action reaches (switches, separators
// and transformations are heeded) except those under an UNPICKABLE pick style and those of one
// excluded node. Lines and points are not surfaces and are left out; curved Coin primitives
// (spheres, cones, cylinders) count with their drawn tessellation.
#ifndef OIVWINTAV_OIVTRIANGLEINDEX_H
#define OIVWINTAV_OIVTRIANGLEINDEX_H

#include <Inventor/SbBox3f.h>
#include <Inventor/SbLine.h>
#include <Inventor/SbMatrix.h>
#include <Inventor/SbVec3f.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/actions/SoCallbackAction.h>

#include <cstdint>
#include <vector>

class SoNode;
class SoPrimitiveVertex;

class OivTriangleIndex {
public:
    struct Hit {
        SbVec3f point;  // world space
        SbVec3f normal; // world space, unit length, interpolated from the vertex normals
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

private:
    struct Triangle {
        SbVec3f corner;       // first vertex
        SbVec3f edge1, edge2; // to the second and third vertex
        SbVec3f normals[3];   // vertex normals, world space
    };
    struct Node {
        SbBox3f bounds;
        uint32_t first; // leaf: first entry in m_Order; inner: index of the right child
        uint32_t count; // leaf: number of triangles; inner: 0 (left child follows the node)
    };

    static SoCallbackAction::Response shapeCB(void* data, SoCallbackAction* action,
                                              const SoNode* shape);
    static void triangleCB(void* data, SoCallbackAction* action, const SoPrimitiveVertex* v1,
                           const SoPrimitiveVertex* v2, const SoPrimitiveVertex* v3);
    void addTriangle(SoCallbackAction* action, const SoPrimitiveVertex* const vertices[3]);
    void buildHierarchy(void);
    uint32_t buildNode(uint32_t first, uint32_t count, std::vector<SbVec3f>& centroids);
    bool intersectTriangle(uint32_t index, const SbLine& ray, float minDistance, float& distance,
                           float& u, float& v) const;

    std::vector<Triangle> m_Triangles;
    std::vector<uint32_t> m_Order; // triangle indices, grouped by leaf
    std::vector<Node> m_Nodes;     // depth first; m_Nodes[0] is the root
    SbMatrix m_NormalMatrix;       // while building: turns the current shape's normals to world
};

#endif // OIVWINTAV_OIVTRIANGLEINDEX_H
