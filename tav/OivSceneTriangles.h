// The pickable triangles of a scene graph in world space, as flat arrays: vertices (points and
// the normals a ray pick interpolates) and three vertex indices per triangle.
//
// Collected are the triangles of every shape an SoCallbackAction reaches (switches, separators
// and transformations are heeded) except those under an UNPICKABLE pick style and those of one
// excluded node. Lines and points are not surfaces and are left out; curved Coin primitives
// (spheres, cones, cylinders) count with their drawn tessellation.
//
// The shapes large surfaces are made of are read straight from their coordinates, with the
// triangles and normals Coin's primitive generation gives them, which costs a fraction of
// generating their primitives: quad meshes with generated normals (terrains), and face sets and
// triangle strip sets, indexed (imported meshes) or not, with normals of their own or generated
// ones of any binding. Quad meshes, and large indexed face sets whose normals are generated flat
// or indexed per vertex, stay where they are, as surfaces searched in object space (see
// OivObjectSurface); the others are copied to world space. Vertices are shared where a shape's
// triangles share a coordinate with the same normal, and triangles whose corners have one normal
// along their face are stored flat (their vertex normals zero), sharing theirs with their
// neighbours. Every other shape, and the rare forms Coin's generation treats otherwise (faces its
// tessellator splits, VRML1 nodes, 4D coordinates, projective model matrices), goes through its
// own primitive generation; vertices it shares between consecutive triangles (strips, fans) are
// stored once.
//
// Coin reads indices in release builds unchecked; here a face or strip triangle with a
// coordinate outside the coordinates is left out, and one with a normal outside the normals (or
// no normal index where one is needed) takes its own face normal. A face set's vertex count
// below one ends the shape.
#ifndef OIVWINTAV_OIVSCENETRIANGLES_H
#define OIVWINTAV_OIVSCENETRIANGLES_H

#include "tav/OivObjectSurface.h"

#include <Inventor/SbMatrix.h>
#include <Inventor/SbVec3f.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/actions/SoCallbackAction.h>

#include <cstdint>
#include <memory>
#include <vector>

class SoIndexedShape;
class SoMFInt32;
class OivVertexShapeData;
class SoNonIndexedShape;
class SoNode;
class SoPrimitiveVertex;
class SoIndexedFaceSet;
class SoQuadMesh;
class SoState;
class SoVertexShape;

class OivSceneTriangles {
public:
    OivSceneTriangles();
    ~OivSceneTriangles();
    OivSceneTriangles(const OivSceneTriangles&) = delete;
    OivSceneTriangles& operator=(const OivSceneTriangles&) = delete;

    // Replaces the contents with the triangles below `root`; `excluded` (may be null) is pruned
    // with everything below it. The viewport matters for screen-space complexity. Surfaces of
    // the last collection whose source did not change are kept, under their new model matrix.
    void collect(SoNode* root, const SbViewportRegion& viewport, const SoNode* excluded);
    void clear(void);

    std::vector<SbVec3f> points;  // world space
    std::vector<SbVec3f> normals; // per point, world space, not of unit length
    // Three point indices per triangle, in the order their shapes list them.
    std::vector<uint32_t> triangleCorners;
    // Surfaces left in their shapes' object space, built.
    std::vector<std::unique_ptr<OivObjectSurface>> surfaces;

private:
    // One vertex of the previous generated triangle, as the shape gave it (object space).
    struct Recent {
        SbVec3f point, normal;
        uint32_t index;
    };

    static SoCallbackAction::Response shapeCB(void* data, SoCallbackAction* action,
                                              const SoNode* shape);
    static void triangleCB(void* data, SoCallbackAction* action, const SoPrimitiveVertex* v1,
                           const SoPrimitiveVertex* v2, const SoPrimitiveVertex* v3);
    SoCallbackAction::Response startShape(SoCallbackAction* action, const SoNode* shape);
    bool readQuadMesh(SoCallbackAction* action, const SoQuadMesh* mesh);
    // An indexed face set (with `strips`, triangle strip set) whose normals Coin generates,
    // searched in object space with its normals made at the hit; false where it cannot be.
    bool readGeneratedNormalsFaces(SoCallbackAction* action, const SoIndexedShape* faces,
                                   bool strips);
    // Faces (split as fans) or strips of an indexed or a non-indexed face set or triangle strip
    // set; false where Coin's generation must do it.
    bool readIndexedShape(SoCallbackAction* action, const SoIndexedShape* shape, bool strips);
    // A shape whose normals are indexed per vertex and every coordinate used (imported meshes):
    // the first vertex of each coordinate takes the coordinate's place, found without a lookup;
    // the vertices are those OivSharedVertices gives. False, with nothing read, for others.
    bool readCoordinateVertices(const OivVertexShapeData& data, const int32_t* index, int count,
                                const int32_t* normalIndex, int normalIndexCount, bool strips);
    bool readNonIndexedShape(SoCallbackAction* action, const SoNonIndexedShape* shape,
                             const SoMFInt32& numVertices, bool strips);
    // What the current shape's surface would be read from.
    OivObjectSurface::Source surfaceSource(SoState* state, const SoNode* shape,
                                           const void* normalCache) const;
    // Keeps the surface of the last collection read from `source`, under the current model
    // matrix; false when there is none (a surface of the shape read from what it was before is
    // dropped then, before its new one is built).
    bool reuseSurface(const OivObjectSurface::Source& source);
    // Builds `surface` and keeps it; false, keeping nothing, when it cannot be built.
    bool addSurface(const OivObjectSurface::Source& source,
                    std::unique_ptr<OivObjectSurface> surface);
    // Room for this many more corners of unordered triangles and vertices.
    void reserve(size_t corners, size_t vertices);
    // Turns the vertices appended since `first` to world space.
    void turnToWorld(uint32_t first);
    // The coordinates of a shape whose normals Coin generates per vertex; false for other shapes
    // and 4D coordinates.
    static bool findGeneratedNormalsShape(SoState* state, const SoVertexShape* shape,
                                          const SbVec3f*& coords, int& available);
    uint32_t addVertex(const SbVec3f& point, const SbVec3f& normal);
    void addGenerated(const SoPrimitiveVertex* const vertices[3]);

    // While collecting: the surfaces of the last collection not yet kept again.
    std::vector<std::unique_ptr<OivObjectSurface>> m_Previous;
    SbMatrix m_Model;  // while collecting: the current shape's model matrix
    SbMatrix m_Normal; // and the matrix that turns its normals to world space
    Recent m_Recent[3];
    int m_RecentCount = 0;
};

#endif // OIVWINTAV_OIVSCENETRIANGLES_H
