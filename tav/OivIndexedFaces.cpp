#include "tav/OivIndexedFaces.h"

#include "tav/OivCurveOrder.h"
#include "tav/OivFinite.h"

#include <Inventor/caches/SoNormalCache.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <memory>

OivIndexedFaces::OivIndexedFaces(const SbMatrix& model, const SbVec3f* coords, int coordCount,
                                 const int32_t* index, int count, const Normals& normals,
                                 bool strips)
    : OivObjectSurface(model, coords), m_CoordCount(coordCount), m_Index(index), m_Count(count),
      m_Normals(normals), m_Strips(strips), m_MaxCorners(strips ? 3 : INT_MAX),
      m_SmoothLimit(
          float(std::cos(double(std::min(std::max(normals.creaseAngle, 0.0f), float(M_PI)))))) {
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
    const Layout layout = scanIndex();
    const uint32_t faces = layout.faces;
    const size_t triangles = layout.triangles;
    m_TriangleCount = triangles;
    // Coin generates normals from every run of the index, searched or not.
    const bool generatedAsSearched = layout.allInside && layout.complete && layout.fanned;
    if (triangles < kMinTriangles || (!m_Normals.vectors && !generatedAsSearched))
        return false;
    m_RunLength = layout.allInside ? layout.runLength : 0;
    m_RunCount = layout.runs;
    m_TrianglesOnly = m_Strips || m_RunLength == 3;
    if (readAll)
        for (int i = 0; i < m_CoordCount; ++i)
            include(m_Coords[i]);
    else
        visitFaces([&](uint32_t start) {
            for (int k = 0, count = cornerCount(start); k < count; ++k)
                include(m_Coords[m_Index[start + uint32_t(k)]]);
        });
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
        m_Faces.get(), faces, [&](const auto& emit) { visitFaces(emit); },
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

OivIndexedFaces::Layout OivIndexedFaces::scanIndex(void) {
    Layout layout;
    m_StripStarts.clear();
    // Entry by entry, in one short loop: the index of a large mesh is read at the speed of memory.
    int start = 0;
    bool inside = true;
    for (int i = 0; i <= m_Count; ++i) {
        const int32_t corner = i < m_Count ? m_Index[i] : -1;
        if (corner >= 0) {
            inside &= corner < m_CoordCount;
            continue;
        }
        const int length = i - start;
        if (length < 3) {
            // A run of fewer than three corners ends what Coin draws, but not what it reads.
            layout.complete = i >= m_Count && length == 0;
            break;
        }
        layout.runLength = layout.runs == 0 || layout.runLength == length ? length : 0;
        ++layout.runs;
        if (inside) {
            layout.faces += m_Strips ? uint32_t(length - 2) : 1;
            layout.triangles += size_t(length - 2);
            layout.fanned &= length <= kFannedCorners || m_Normals.convexFaces;
            if (m_Strips)
                m_StripStarts.push_back(uint32_t(start));
        }
        layout.allInside &= inside;
        inside = true;
        start = i + 1;
    }
    m_StripStarts.shrink_to_fit();
    return layout;
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
    return sizeof(*this) + m_Faces.size() * sizeof(uint32_t) +
           m_StripStarts.capacity() * sizeof(uint32_t) + m_Around.capacity() * sizeof(AroundFace) +
           m_Levels.getMemoryUsage();
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
            for (int k = 1; k + 1 < m_MaxCorners && start + k + 1 < m_Count && corner[k + 1] >= 0;
                 ++k)
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

SbVec3f OivIndexedFaces::faceNormal(uint32_t start) const {
    // As Coin computes it, operation for operation, so that the sums below come out alike.
    const int32_t* corner = m_Index + start;
    const int count = cornerCount(start);
    const SbVec3f& first = m_Coords[corner[0]];
    SbVec3f normal(0.0f, 0.0f, 0.0f);
    if (count == 3) {
        const SbVec3f& second = m_Coords[corner[1]];
        const SbVec3f& third = m_Coords[corner[2]];
        const bool turned = m_Strips && (start - stripStart(start)) % 2 == 1;
        normal = m_Normals.counterClockwise != turned ? (third - second).cross(first - second)
                                                      : (first - second).cross(third - second);
        normal.normalize();
        return normal;
    }
    // Newell's method, over the edges and back to the first corner.
    for (int k = 0; k < count; ++k) {
        const SbVec3f& from = m_Coords[corner[k]];
        const SbVec3f& to = k + 1 < count ? m_Coords[corner[k + 1]] : first;
        normal[0] += (from[1] - to[1]) * (from[2] + to[2]);
        normal[1] += (from[2] - to[2]) * (from[0] + to[0]);
        normal[2] += (from[0] - to[0]) * (from[1] + to[1]);
    }
    normal.normalize();
    return m_Normals.counterClockwise ? normal : -normal;
}

bool OivIndexedFaces::givenNormals(const Candidate& best, SbVec3f corners[3]) const {
    for (int k = 0; k < 3; ++k) {
        const int32_t position = best.positions[k];
        const int32_t normal = position < m_Normals.indexCount ? m_Normals.indices[position] : -1;
        if (normal < 0 || normal >= m_Normals.count)
            return false;
        corners[k] = m_Normals.vectors[normal];
    }
    return true;
}

bool OivIndexedFaces::generatedNormals(const Candidate& best, SbVec3f corners[3]) const {
    const uint32_t start = uint32_t(best.positions[0]);
    // Without a crease angle a triangle's corners all take its own normal (not so in a strip,
    // whose corners take those of the triangles they end).
    if (!m_Strips && m_SmoothLimit >= 1.0f && cornerCount(start) == 3)
        return false;
    const int32_t coordinates[3] = {m_Index[best.positions[0]], m_Index[best.positions[1]],
                                    m_Index[best.positions[2]]};
    const std::vector<AroundFace>& around = facesAround(coordinates);
    for (int k = 0; k < 3; ++k) {
        const uint32_t own = ownFace(start, best.positions[k]);
        const auto isOwn = [own](const AroundFace& face) { return face.start == own; };
        const auto ownFound = std::find_if(around.begin(), around.end(), isOwn);
        if (ownFound == around.end())
            return false; // not for a mesh the build accepted
        const SbVec3f ownNormal = ownFound->normal;
        // Each other face at the corner's coordinate, once for each of its corners there, in
        // the order the index lists them.
        SbVec3f normal = ownNormal;
        for (const AroundFace& face : around)
            for (int use = 0; use < face.uses[k] && face.start != own; ++use)
                if (face.normal.dot(ownNormal) > m_SmoothLimit)
                    normal += face.normal;
        normal.normalize();
        corners[k] = normal;
    }
    return true;
}

const std::vector<OivIndexedFaces::AroundFace>&
OivIndexedFaces::facesAround(const int32_t coordinates[3]) const {
    // The faces at the coordinates lie in the leaves whose boxes hold them.
    const auto holdsCorner = [&](const OivBoxLevels::Box& box) {
        return OivBoxLevels::holds(box, m_Coords[coordinates[0]]) ||
               OivBoxLevels::holds(box, m_Coords[coordinates[1]]) ||
               OivBoxLevels::holds(box, m_Coords[coordinates[2]]);
    };
    std::vector<AroundFace>& around = m_Around;
    around.clear();
    m_Levels.visitWhere(holdsCorner, [&](uint32_t, uint32_t leaf) {
        const size_t first = size_t(leaf) * m_FacesPerLeaf;
        const size_t end = std::min(m_Faces.size(), first + m_FacesPerLeaf);
        for (size_t face = first; face < end; ++face) {
            AroundFace found{m_Faces[face], SbVec3f(), {0, 0, 0}};
            for (int c = 0, count = cornerCount(found.start); c < count; ++c)
                for (int k = 0; k < 3; ++k)
                    found.uses[k] += m_Index[found.start + uint32_t(c)] == coordinates[k] ? 1 : 0;
            if (found.uses[0] + found.uses[1] + found.uses[2] > 0)
                around.push_back(found);
        }
    });
    std::sort(around.begin(), around.end(),
              [](const AroundFace& a, const AroundFace& b) { return a.start < b.start; });
    for (AroundFace& face : around)
        face.normal = faceNormal(face.start);
    return around;
}

SbVec3f OivIndexedFaces::objectNormal(const Candidate& best) const {
    SbVec3f corners[3];
    if (!(m_Normals.vectors ? givenNormals(best, corners) : generatedNormals(best, corners)))
        return SbVec3f(0.0f, 0.0f, 0.0f);
    const float w = 1.0f - best.u - best.v;
    return corners[0] * w + corners[1] * best.u + corners[2] * best.v;
}
