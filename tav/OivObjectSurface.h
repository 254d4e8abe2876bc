// A large surface searched in its shape's own object space: its triangles are read from the
// shape's coordinate (and index) arrays where they lie, and each ray is taken to object space
// instead of every vertex to world space, so the surface costs the index little more than its
// bounding volume hierarchy. Picking in object space is also what Coin's ray pick does.
//
// The arrays are the scene's own: the owner builds the surface again (or drops it) after any
// change of the scene before it searches it again. Only shapes under an affine, invertible model
// matrix are searched this way (see acceptsMatrix).
#ifndef OIVWINTAV_OIVOBJECTSURFACE_H
#define OIVWINTAV_OIVOBJECTSURFACE_H

#include "tav/OivBoxLevels.h"
#include "tav/OivRay.h"

#include <Inventor/SbBasic.h>
#include <Inventor/SbMatrix.h>
#include <Inventor/SbVec3f.h>

#include <cstddef>
#include <cstdint>

class SoNode;

class OivObjectSurface {
public:
    // What a surface was read from. Coin gives a node a new id at every change, and a normal
    // cache that is regenerated is a new one (the surface keeps the old one alive): while the
    // source is the same, so are the arrays, and the surface can be searched again under another
    // model matrix without being built again (an edit that moves a terrain, or scales its
    // heights).
    struct Source {
        const SoNode* shape;
        SbUniqueId shapeId, coordinatesId, normalsId;
        const void* normalCache;
        int normalBinding;
        float creaseAngle;
        int vertexOrdering, faceType;
        bool operator==(const Source& other) const {
            return shape == other.shape && shapeId == other.shapeId &&
                   coordinatesId == other.coordinatesId && normalsId == other.normalsId &&
                   normalCache == other.normalCache && normalBinding == other.normalBinding &&
                   creaseAngle == other.creaseAngle && vertexOrdering == other.vertexOrdering &&
                   faceType == other.faceType;
        }
    };

    virtual ~OivObjectSurface() = default;
    OivObjectSurface(const OivObjectSurface&) = delete;
    OivObjectSurface& operator=(const OivObjectSurface&) = delete;

    // Whether a shape under `model` can be searched in object space: no projection, and no
    // flattening (which leaves no object-space ray to follow).
    static bool acceptsMatrix(const SbMatrix& model);

    // Builds what the surface searches; false, with nothing to search, when it cannot be
    // searched this way (the owner then reads the shape otherwise).
    virtual bool build(void) = 0;

    // When `ray` (world space) hits the surface at a distance in [minDistance, nearest), lowers
    // `nearest` to that distance, fills `hit` and returns true.
    bool intersect(const OivRay& ray, float minDistance, float& nearest, OivRay::Hit& hit) const;

    // Places the surface under another model matrix (which acceptsMatrix accepted).
    void setModel(const SbMatrix& model);
    void setSource(const Source& source) { m_Source = source; }
    const Source& getSource(void) const { return m_Source; }

    size_t getTriangleCount(void) const { return m_TriangleCount; }
    // Bytes the surface holds (the scene's arrays it reads are not its own).
    virtual size_t getMemoryUsage(void) const = 0;

protected:
    // The surface of a shape under `model` (which acceptsMatrix accepted) with these coordinates.
    OivObjectSurface(const SbMatrix& model, const SbVec3f* coords);

    // The nearest triangle found so far.
    struct Candidate {
        int32_t coordinates[3]; // its corners
        int32_t positions[3];   // where the shape lists them, for the surfaces that need it
        float u, v;             // barycentric coordinates of corners 1 and 2
    };

    // The nearest triangle within [minDistance, nearest) along `ray` (object space) in `best`,
    // with `nearest` lowered to its distance; false when there is none.
    virtual bool findNearest(const OivRay& ray, float minDistance, float& nearest,
                             Candidate& best) const = 0;
    // The normal at the candidate's hit in object space, interpolated from its vertex normals
    // (not of unit length); a zero vector where the face's own normal holds.
    virtual SbVec3f objectNormal(const Candidate& best) const = 0;

    // Tests the triangle of these corners and takes it as `best` when it is nearer.
    bool tryTriangle(const OivRay& ray, int32_t a, int32_t b, int32_t c, float minDistance,
                     float& nearest, Candidate& best) const {
        float u, v;
        if (!ray.hitsTriangle(m_Coords[a], m_Coords[b], m_Coords[c], minDistance, nearest, u, v))
            return false;
        best.coordinates[0] = a;
        best.coordinates[1] = b;
        best.coordinates[2] = c;
        best.u = u;
        best.v = v;
        return true;
    }

    const SbVec3f* m_Coords;
    OivBoxLevels m_Levels;
    size_t m_TriangleCount = 0;

private:
    Source m_Source{};
    SbMatrix m_Inverse;      // world to object space
    SbMatrix m_NormalMatrix; // object normals to world space
};

#endif // OIVWINTAV_OIVOBJECTSURFACE_H
