// The faces of an indexed face set, or the triangles of an indexed triangle strip set, searched
// in object space (imported meshes of triangles, quads or strips with shared vertices): the index
// keeps, per face (per triangle of a strip), only where the shape lists its corners, sorted along
// a space-filling curve (see OivCurveOrder), under a hierarchy whose leaves hold about
// kLeafTriangles triangles each. Faces are split as Coin splits convex ones, as a fan from their
// first corner.
//
// The normals are read at the hit: either vertex normals indexed beside the coordinates (the
// shape's own normal indices, its coordinate indices, or those of Coin's normal cache, which is
// kept alive while the surface is), or, for a shape that has none, those Coin generates, made
// for the hit's corners alone from the faces around them, so that neither an edit of the
// coordinates nor the build makes Coin generate the normals of every face. A triangle with a
// normal index outside the normals takes its face normal.
#ifndef OIVWINTAV_OIVINDEXEDFACES_H
#define OIVWINTAV_OIVINDEXEDFACES_H

#include "tav/OivLargeArray.h"
#include "tav/OivObjectSurface.h"

#include <algorithm>
#include <cstdint>
#include <vector>

class SoNormalCache;

class OivIndexedFaces : public OivObjectSurface {
public:
    // Vertex normals indexed beside the coordinate indices.
    struct Normals {
        const SbVec3f* vectors; // null: every triangle takes its face normal
        int count;
        const int32_t* indices;
        int indexCount;
        SoNormalCache* cache; // holding the vectors and indices, or null
        // Without vectors, how Coin generates them: smooth across edges of less than the crease
        // angle, facing the side from which the corners run counterclockwise or clockwise.
        float creaseAngle;
        bool counterClockwise;
        // Whether faces of five or more corners are known to be convex (else Coin tessellates
        // them, and the surface is not built).
        bool convexFaces;
    };

    // Smaller shapes cost a ray more as a surface of their own than among the world's triangles.
    static constexpr size_t kMinTriangles = 1024;

    // The faces (with `strips`, the strips) of `count` coordinate indices at `index` (a shape's
    // coordIndex) into `coordCount` coordinates under `model`. Strips take generated normals only.
    OivIndexedFaces(const SbMatrix& model, const SbVec3f* coords, int coordCount,
                    const int32_t* index, int count, const Normals& normals, bool strips = false);
    ~OivIndexedFaces() override;

    // Calls visit(start, length) for each run (face or strip) of `count` coordinate indices that
    // Coin's generation reads: a run of fewer than three corners ends the shape.
    template <typename Visit> static void visitRuns(const int32_t* index, int count, Visit visit);

    // Builds the hierarchy; false, with nothing to search, for fewer than kMinTriangles
    // triangles, a coordinate read that is not a finite number, or, without vectors, faces Coin
    // tessellates or an index from which it generates normals other than those of the faces
    // searched (a corner outside the coordinates, a run too short to be a face). Faces with a
    // corner outside the coordinates are left out, as Coin's generation leaves them.
    bool build(void) override;
    size_t getMemoryUsage(void) const override;

protected:
    bool findNearest(const OivRay& ray, float minDistance, float& nearest,
                     Candidate& best) const override;
    SbVec3f objectNormal(const Candidate& best) const override;

private:
    static constexpr size_t kLeafTriangles = 8;
    // Coin splits faces of up to this many corners as a fan whether they are convex or not.
    static constexpr int kFannedCorners = 4;
    // How many faces ahead includeFaces fetches indices, and the coordinates of their corners.
    static constexpr uint32_t kIndexAhead = 32;
    static constexpr uint32_t kCornersAhead = 16;

    bool isInside(int start, int length) const {
        for (int k = 0; k < length; ++k)
            if (m_Index[start + k] >= m_CoordCount)
                return false;
        return true;
    }
    // What one pass over the index finds.
    struct Layout {
        uint32_t faces = 0;    // (triangles of strips) whose corners all lie in the coordinates
        size_t triangles = 0;  // of those faces
        uint32_t runs = 0;     // faces or strips Coin's generation reads
        bool allInside = true; // no run has a corner outside the coordinates
        bool complete = false; // every entry belongs to a run, or ends one
        bool fanned = true;    // no face is tessellated
        int runLength = 0;     // of every run, when they all have as many corners, else 0
    };
    Layout scanIndex(void);
    // Calls visit(start) for each face (triangle of a strip) Coin's generation reads whose
    // corners all lie in the coordinates.
    template <typename Visit> void visitFaces(const Visit& visit) const {
        // Runs of one length lie where their number says.
        if (m_RunLength > 0) {
            const uint32_t faces = m_Strips ? uint32_t(m_RunLength - 2) : 1;
            for (uint32_t run = 0, start = 0; run < m_RunCount; ++run, start += m_RunLength + 1)
                for (uint32_t face = 0; face < faces; ++face)
                    visit(start + face);
            return;
        }
        visitRuns(m_Index, m_Count, [&](int start, int length) {
            if (!isInside(start, length))
                return;
            const int faces = m_Strips ? length - 2 : 1;
            for (int face = 0; face < faces; ++face)
                visit(uint32_t(start + face));
        });
    }
    // Widens the leaves' boxes to hold the faces [first, end) of m_Faces, which lie anywhere in
    // the index: the corners of the faces ahead are fetched while those before them are read, the
    // indices further ahead than the coordinates they point to.
    void includeFaces(std::vector<OivBoxLevels::Box>& leaves, uint32_t first, uint32_t end) const;
    // Widens `box` to hold the face at `start`; the first face of a box sets it.
    void includeFace(OivBoxLevels::Box& box, bool first, uint32_t start) const {
        const int32_t* corner = m_Index + start;
        if (m_TrianglesOnly) {
            // The triangle's own box first: two short chains of comparisons, not one.
            OivBoxLevels::Box face{m_Coords[corner[0]], m_Coords[corner[0]]};
            OivBoxLevels::include(face, m_Coords[corner[1]]);
            OivBoxLevels::include(face, m_Coords[corner[2]]);
            if (first)
                box = face;
            else
                OivBoxLevels::include(box, face);
            return;
        }
        if (first)
            box = OivBoxLevels::Box{m_Coords[corner[0]], m_Coords[corner[0]]};
        for (int k = 0; k < m_MaxCorners && int(start) + k < m_Count && corner[k] >= 0; ++k)
            OivBoxLevels::include(box, m_Coords[corner[k]]);
    }
    // The number of corners of the face at `start`.
    int cornerCount(uint32_t start) const {
        int count = 0;
        while (count < m_MaxCorners && int(start) + count < m_Count &&
               m_Index[start + uint32_t(count)] >= 0)
            ++count;
        return count;
    }
    // Where the strip holding the index entry at `position` starts.
    uint32_t stripStart(uint32_t position) const {
        if (m_RunLength > 0)
            return position - position % uint32_t(m_RunLength + 1);
        return *(std::upper_bound(m_StripStarts.begin(), m_StripStarts.end(), position) - 1);
    }
    // The face whose normal the corner at `position` of the face at `start` smooths: the face
    // itself, or in a strip the triangle that corner ends (of the strip's first three corners,
    // the first triangle), as Coin's generation pairs them.
    uint32_t ownFace(uint32_t start, int32_t position) const {
        if (!m_Strips)
            return start;
        return std::max(stripStart(uint32_t(position)), uint32_t(std::max(position - 2, 0)));
    }
    // The unit normal Coin generates for the face at `start` (zero for a face of no area); the
    // triangles of a strip turn alternately.
    SbVec3f faceNormal(uint32_t start) const;
    // A face with a corner at one of a hit's coordinates: where it starts, its unit normal, and
    // how many of its corners lie at each coordinate.
    struct AroundFace {
        uint32_t start;
        SbVec3f normal;
        int uses[3];
    };
    // The faces with a corner at one of `coordinates`, in the order the index lists them; valid
    // until the next call.
    const std::vector<AroundFace>& facesAround(const int32_t coordinates[3]) const;
    // The vertex normals of the candidate's corners, false where the face's own normal holds:
    // read from the given normals, or generated as Coin generates them, each corner's own
    // face's normal (see ownFace) smoothed with those of the other faces at its coordinate that
    // lie within the crease angle, added in the order the index lists them.
    bool givenNormals(const Candidate& best, SbVec3f corners[3]) const;
    bool generatedNormals(const Candidate& best, SbVec3f corners[3]) const;
    // Starts fetching the corners of the faces [first, end) of a leaf all at once, instead of
    // one face after the other as the tests reach them.
    void fetchLeaf(size_t first, size_t end) const;

    int m_CoordCount;
    const int32_t* m_Index;
    int m_Count;
    Normals m_Normals;
    bool m_Strips;
    int m_RunLength = 0; // of every run, when they all lie inside and have as many corners
    uint32_t m_RunCount = 0;
    bool m_TrianglesOnly = false; // every face a triangle: of strips, or runs of three corners
    int m_MaxCorners;             // of a face: 3 in strips
    std::vector<uint32_t> m_StripStarts; // where each strip starts in the index
    float m_SmoothLimit;                 // the cosine of the crease angle
    OivLargeArray<uint32_t> m_Faces;     // where each face starts in the index, in leaf order
    uint32_t m_FacesPerLeaf = 1;
    // Kept between hits, so that a mouse move over a smooth surface allocates nothing.
    mutable std::vector<AroundFace> m_Around;
};

template <typename Visit>
void OivIndexedFaces::visitRuns(const int32_t* index, int count, Visit visit) {
    int i = 0;
    while (i + 2 < count && index[i] >= 0 && index[i + 1] >= 0 && index[i + 2] >= 0) {
        const int start = i;
        while (i < count && index[i] >= 0)
            ++i;
        visit(start, i - start);
        ++i; // the end mark
    }
}

#endif // OIVWINTAV_OIVINDEXEDFACES_H
