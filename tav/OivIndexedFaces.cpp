#include "tav/OivIndexedFaces.h"

#include "tav/OivCurveOrder.h"
#include "tav/OivFinite.h"

#include <Inventor/caches/SoNormalCache.h>

#include <algorithm>
#include <cfloat>
#include <memory>

OivIndexedFaces::OivIndexedFaces(const SbMatrix& model, const SbVec3f* coords, int coordCount,
                                 const int32_t* index, int count, const Normals& normals)
    : OivObjectSurface(model, coords), m_CoordCount(coordCount), m_Index(index), m_Count(count),
      m_Normals(normals) {
    if (m_Normals.cache)
        m_Normals.cache->ref();
}

OivIndexedFaces::~OivIndexedFaces() {
    if (m_Normals.cache)
        m_Normals.cache->unref();
}

bool OivIndexedFaces::build(void) {
    // The bounds of all coordinates hold those of the faces: read in order, they cost less than
    // the faces' corners, unless the faces use a few of many coordinates.
    const bool readAll = m_CoordCount <= m_Count;
    OivBoxLevels::Box bounds{SbVec3f(FLT_MAX, FLT_MAX, FLT_MAX),
                             SbVec3f(-FLT_MAX, -FLT_MAX, -FLT_MAX)};
    bool finite = true;
    const auto include = [&](const SbVec3f& point) {
        finite = finite && OivFinite::isFinite(point);
        OivBoxLevels::include(bounds, point);
    };
    uint32_t faces = 0;
    size_t triangles = 0;
    bool allTriangles = true;
    visitFaces([&](uint32_t start, int length) {
        ++faces;
        triangles += size_t(length - 2);
        allTriangles = allTriangles && length == 3;
        for (int k = 0; k < length && !readAll; ++k)
            include(m_Coords[m_Index[start + uint32_t(k)]]);
    });
    m_TriangleCount = triangles;
    // Coin's flat normal of a larger face is the face's own, not each of its triangles'.
    if (triangles < kMinTriangles || (!m_Normals.vectors && !allTriangles))
        return false;
    for (int i = 0; i < m_CoordCount && readAll; ++i)
        include(m_Coords[i]);
    if (!finite)
        return false;

    // Leaves of about kLeafTriangles triangles, however many each face has.
    m_FacesPerLeaf =
        uint32_t(std::max<size_t>(1, (kLeafTriangles * faces + triangles / 2) / triangles));
    const uint32_t leafCount = (faces + m_FacesPerLeaf - 1) / m_FacesPerLeaf;
    std::vector<OivBoxLevels::Box> leaves;
    m_Faces = OivLargeArray<uint32_t>(faces);
    // A face is placed by its first corner: the faces of a mesh are small, and one corner is
    // read three times faster than three.
    const OivCurveOrder curve(bounds.min, bounds.max);
    curve.sort(
        m_Faces.get(), faces,
        [&](const auto& emit) { visitFaces([&](uint32_t start, int) { emit(start); }); },
        [&](uint32_t start) { return m_Coords[m_Index[start]]; },
        [&](uint32_t first, uint32_t end) {
            // The leaves take their memory only once the sort has given back part of its own.
            if (leaves.empty())
                leaves.resize(leafCount);
            includeFaces(leaves, first, end);
        });
    m_Levels.build(std::move(leaves), 1, leafCount);
    return true;
}

void OivIndexedFaces::includeFaces(std::vector<OivBoxLevels::Box>& leaves, uint32_t first,
                                   uint32_t end) const {
    uint32_t leaf = first / m_FacesPerLeaf, place = first % m_FacesPerLeaf;
    for (uint32_t face = first; face < end; ++face) {
        if (face + kIndexAhead < end)
            __builtin_prefetch(m_Index + m_Faces[face + kIndexAhead]);
        if (face + kCornersAhead < end) {
            const int32_t* corner = m_Index + m_Faces[face + kCornersAhead];
            for (int k = 0; k < 3; ++k)
                __builtin_prefetch(m_Coords + corner[k]);
        }
        includeFace(leaves[leaf], place == 0, m_Faces[face]);
        if (++place == m_FacesPerLeaf) {
            place = 0;
            ++leaf;
        }
    }
}

size_t OivIndexedFaces::getMemoryUsage(void) const {
    return sizeof(*this) + m_Faces.size() * sizeof(uint32_t) + m_Levels.getMemoryUsage();
}

void OivIndexedFaces::fetchLeaf(size_t first, size_t end) const {
    for (size_t face = first; face < end; ++face)
        __builtin_prefetch(m_Index + m_Faces[face]);
    for (size_t face = first; face < end; ++face) {
        const int32_t* corner = m_Index + m_Faces[face];
        for (int k = 0; k < 3; ++k)
            __builtin_prefetch(m_Coords + corner[k]);
    }
}

bool OivIndexedFaces::findNearest(const OivRay& ray, float minDistance, float& nearest,
                                  Candidate& best) const {
    bool found = false;
    const size_t faces = m_Faces.size();
    m_Levels.visit(ray, minDistance, nearest, [&](uint32_t, uint32_t leaf) {
        const size_t first = size_t(leaf) * m_FacesPerLeaf;
        const size_t end = std::min(faces, first + m_FacesPerLeaf);
        fetchLeaf(first, end);
        for (size_t face = first; face < end; ++face) {
            const int start = int(m_Faces[face]);
            const int32_t* corner = m_Index + start;
            for (int k = 1; start + k + 1 < m_Count && corner[k + 1] >= 0; ++k)
                if (tryTriangle(ray, corner[0], corner[k], corner[k + 1], minDistance, nearest,
                                best)) {
                    best.positions[0] = start;
                    best.positions[1] = start + k;
                    best.positions[2] = start + k + 1;
                    found = true;
                }
        }
    });
    return found;
}

SbVec3f OivIndexedFaces::objectNormal(const Candidate& best) const {
    SbVec3f corners[3];
    for (int k = 0; k < 3; ++k) {
        const int32_t position = best.positions[k];
        const int32_t normal =
            m_Normals.vectors && position < m_Normals.indexCount ? m_Normals.indices[position] : -1;
        if (normal < 0 || normal >= m_Normals.count)
            return SbVec3f(0.0f, 0.0f, 0.0f);
        corners[k] = m_Normals.vectors[normal];
    }
    const float w = 1.0f - best.u - best.v;
    return corners[0] * w + corners[1] * best.u + corners[2] * best.v;
}
