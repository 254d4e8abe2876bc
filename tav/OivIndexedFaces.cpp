#include "tav/OivIndexedFaces.h"

#include "tav/OivFinite.h"
#include "tav/OivMortonOrder.h"

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

bool OivIndexedFaces::isInside(int start, int length) const {
    for (int k = 0; k < length; ++k)
        if (m_Index[start + k] >= m_CoordCount)
            return false;
    return true;
}

bool OivIndexedFaces::build(void) {
    uint32_t faces = 0;
    size_t triangles = 0;
    bool finite = true;
    OivBoxLevels::Box bounds{SbVec3f(FLT_MAX, FLT_MAX, FLT_MAX),
                             SbVec3f(-FLT_MAX, -FLT_MAX, -FLT_MAX)};
    visitRuns(m_Index, m_Count, [&](int start, int length) {
        if (!isInside(start, length))
            return;
        ++faces;
        triangles += size_t(length - 2);
        for (int k = 0; k < length; ++k) {
            const SbVec3f& point = m_Coords[m_Index[start + k]];
            finite = finite && OivFinite::isFinite(point);
            OivBoxLevels::include(bounds, point);
        }
    });
    m_TriangleCount = triangles;
    if (!finite || triangles < kMinTriangles)
        return false;
    sortFaces(bounds, faces);
    buildLevels();
    return true;
}

void OivIndexedFaces::sortFaces(const OivBoxLevels::Box& bounds, uint32_t count) {
    // A face is placed by the sum of its first three corners: three times the bounds hold it.
    const OivMortonOrder order(bounds.min * 3.0f, bounds.max * 3.0f);
    std::unique_ptr<uint64_t[]> items(new uint64_t[count]);
    uint32_t next = 0;
    visitRuns(m_Index, m_Count, [&](int start, int length) {
        if (!isInside(start, length))
            return;
        const int32_t* corner = m_Index + start;
        const SbVec3f sum = m_Coords[corner[0]] + m_Coords[corner[1]] + m_Coords[corner[2]];
        items[next++] = order.item(sum, uint32_t(start));
    });
    m_Faces = std::vector<uint32_t>(count);
    OivMortonOrder::sort(items.get(), count, m_Faces.data());
}

void OivIndexedFaces::buildLevels(void) {
    const size_t faces = m_Faces.size();
    // Leaves of about kLeafTriangles triangles, however many each face has.
    m_FacesPerLeaf = uint32_t(
        std::max<size_t>(1, (kLeafTriangles * faces + m_TriangleCount / 2) / m_TriangleCount));
    const uint32_t leafCount = uint32_t((faces + m_FacesPerLeaf - 1) / m_FacesPerLeaf);
    std::vector<OivBoxLevels::Box> leaves(leafCount);
    for (uint32_t leaf = 0; leaf < leafCount; ++leaf) {
        const size_t first = size_t(leaf) * m_FacesPerLeaf;
        const size_t end = std::min(faces, first + m_FacesPerLeaf);
        const SbVec3f& point = m_Coords[m_Index[m_Faces[first]]];
        OivBoxLevels::Box box{point, point};
        for (size_t face = first; face < end; ++face) {
            const uint32_t start = m_Faces[face];
            for (uint32_t k = 0; start + k < uint32_t(m_Count) && m_Index[start + k] >= 0; ++k)
                OivBoxLevels::include(box, m_Coords[m_Index[start + k]]);
        }
        leaves[leaf] = box;
    }
    m_Levels.build(std::move(leaves), 1, leafCount);
}

size_t OivIndexedFaces::getMemoryUsage(void) const {
    return sizeof(*this) + m_Faces.capacity() * sizeof(uint32_t) + m_Levels.getMemoryUsage();
}

bool OivIndexedFaces::findNearest(const OivRay& ray, float minDistance, float& nearest,
                                  Candidate& best) const {
    bool found = false;
    const size_t faces = m_Faces.size();
    m_Levels.visit(ray, minDistance, nearest, [&](uint32_t, uint32_t leaf) {
        const size_t first = size_t(leaf) * m_FacesPerLeaf;
        const size_t end = std::min(faces, first + m_FacesPerLeaf);
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
