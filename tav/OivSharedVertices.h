// The vertices of one shape's triangles, each pair of a coordinate and a normal the shape gives
// its corners stored once, however many triangles share it: a smooth mesh whose coordinates and
// normals are indexed alike keeps one vertex per coordinate. Vertices are appended to the
// caller's arrays in object space; turning them to world space is left to the caller.
#ifndef OIVWINTAV_OIVSHAREDVERTICES_H
#define OIVWINTAV_OIVSHAREDVERTICES_H

#include "tav/OivRay.h"

#include <Inventor/SbVec3f.h>

#include <cstdint>
#include <vector>

class OivSharedVertices {
public:
    // Normals besides indices into the shape's normals: the corner takes its triangle's own
    // normal (stored as a zero vector), or the +Z Coin gives vertices of a shape without normals.
    static constexpr int32_t kFaceNormal = -1;
    static constexpr int32_t kDefaultNormal = -2;

    // `coordCount` coordinates and `normalCount` normals (either may be null when its count is
    // zero), of which the shape uses at most those in [firstUsed, firstUsed + usedCount); the
    // vertices go to the end of `points` and `vertexNormals`.
    OivSharedVertices(const SbVec3f* coords, int coordCount, const SbVec3f* normals,
                      int normalCount, std::vector<SbVec3f>& points,
                      std::vector<SbVec3f>& vertexNormals, int firstUsed, int usedCount);
    OivSharedVertices(const OivSharedVertices&) = delete;
    OivSharedVertices& operator=(const OivSharedVertices&) = delete;

    bool hasCoordinate(int32_t coordinate) const {
        return coordinate >= m_First && coordinate < m_End;
    }
    // `normal` itself if it is an index into the normals, else kFaceNormal: a normal that is
    // not there is never read.
    int32_t checkedNormal(int32_t normal) const {
        return normal >= 0 && normal < m_NormalCount ? normal : kFaceNormal;
    }
    // The index in the caller's arrays of the vertex at a coordinate for which hasCoordinate
    // holds, with a normal that checkedNormal gave.
    uint32_t vertex(int32_t coordinate, int32_t normal);
    // Whether the corners of a triangle (coordinates for which hasCoordinate holds, normals that
    // checkedNormal gave) share one normal along the triangle's own, to float precision: such a
    // triangle can take its face normal and share its vertices whatever its neighbours' normals
    // (flat shaded meshes, and faces whose normals were generated without a crease angle).
    bool isFlat(const int32_t coordinates[3], const int32_t normals[3]) const {
        // Sine of the largest angle between the normal and the face's that counts as none.
        constexpr float kParallel = 1.0e-5f;
        const SbVec3f normal = normalOf(normals[0]);
        if ((normals[1] != normals[0] && normalOf(normals[1]) != normal) ||
            (normals[2] != normals[0] && normalOf(normals[2]) != normal))
            return false;
        const SbVec3f& p0 = m_Coords[coordinates[0]];
        const SbVec3f face =
            OivRay::cross(m_Coords[coordinates[1]] - p0, m_Coords[coordinates[2]] - p0);
        const SbVec3f across = OivRay::cross(face, normal);
        const float size = face.dot(face) * normal.dot(normal);
        return size > 0.0f && across.dot(across) <= kParallel * kParallel * size;
    }

    // The vertex normal of a normal that checkedNormal gave, or kDefaultNormal.
    SbVec3f normalOf(int32_t normal) const {
        if (normal >= 0)
            return m_Normals[normal];
        return SbVec3f(0.0f, 0.0f, normal == kDefaultNormal ? 1.0f : 0.0f);
    }

private:
    // A vertex at a coordinate; the first at each coordinate has the coordinate's slot, others
    // are chained behind it.
    struct Slot {
        int32_t normal;
        uint32_t vertex;
        uint32_t next; // 0: the last of its coordinate (slot 0 is never chained)
    };
    static constexpr uint32_t kNoVertex = UINT32_MAX;

    uint32_t add(int32_t coordinate, int32_t normal);

    const SbVec3f* m_Coords;
    int m_First, m_End; // the coordinates that can be used
    const SbVec3f* m_Normals;
    int m_NormalCount;
    std::vector<SbVec3f>& m_Points;
    std::vector<SbVec3f>& m_VertexNormals;
    std::vector<Slot> m_Slots; // from m_First on, once a vertex is asked for
};

#endif // OIVWINTAV_OIVSHAREDVERTICES_H
