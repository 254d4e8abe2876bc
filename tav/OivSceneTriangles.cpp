#include "tav/OivSceneTriangles.h"

#include "tav/OivIndexedFaces.h"
#include "tav/OivQuadGrid.h"
#include "tav/OivSharedVertices.h"
#include "tav/OivVertexShapeData.h"

#include <Inventor/SoPrimitiveVertex.h>
#include <Inventor/elements/SoCoordinateElement.h>
#include <Inventor/elements/SoCreaseAngleElement.h>
#include <Inventor/elements/SoNormalBindingElement.h>
#include <Inventor/elements/SoNormalElement.h>
#include <Inventor/elements/SoPickStyleElement.h>
#include <Inventor/elements/SoShapeHintsElement.h>
#include <Inventor/nodes/SoFaceSet.h>
#include <Inventor/nodes/SoIndexedFaceSet.h>
#include <Inventor/nodes/SoIndexedTriangleStripSet.h>
#include <Inventor/nodes/SoQuadMesh.h>
#include <Inventor/nodes/SoShape.h>
#include <Inventor/nodes/SoTriangleStripSet.h>
#include <Inventor/nodes/SoVertexProperty.h>

#include <algorithm>
#include <cmath>

namespace {

// The normal of a coordinate none of whose vertices is known yet.
constexpr int32_t kNoVertexYet = INT32_MIN;

struct PruneData {
    const SoNode* excluded;
};

SoCallbackAction::Response pruneExcludedCB(void* data, SoCallbackAction*, const SoNode* node) {
    return node == static_cast<PruneData*>(data)->excluded ? SoCallbackAction::PRUNE
                                                           : SoCallbackAction::CONTINUE;
}

// The rows of a matrix as plain numbers, which the compiler keeps in registers: read through
// the matrix, every element would be read again after each vertex written.
struct MatrixRows {
    explicit MatrixRows(const SbMatrix& matrix) {
        const SbMat& m = matrix.getValue();
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 3; ++column)
                rows[row][column] = m[row][column];
    }
    // By the upper left 3 × 3.
    SbVec3f turn(const SbVec3f& v) const {
        const float x = v[0], y = v[1], z = v[2];
        return SbVec3f(x * rows[0][0] + y * rows[1][0] + z * rows[2][0],
                       x * rows[0][1] + y * rows[1][1] + z * rows[2][1],
                       x * rows[0][2] + y * rows[1][2] + z * rows[2][2]);
    }
    // Turned, then moved by the translation.
    SbVec3f move(const SbVec3f& v) const {
        const SbVec3f turned = turn(v);
        return SbVec3f(turned[0] + rows[3][0], turned[1] + rows[3][1], turned[2] + rows[3][2]);
    }
    float rows[4][3];
};

// Points in world space. An affine model matrix (the usual case) is applied without the
// projective division (and the library call) multVecMatrix costs for every point.
void transformPoints(const SbMatrix& matrix, const SbVec3f* source, int count, SbVec3f* target) {
    const SbMat& m = matrix.getValue();
    if (m[0][3] != 0.0f || m[1][3] != 0.0f || m[2][3] != 0.0f || m[3][3] != 1.0f) {
        for (int i = 0; i < count; ++i)
            matrix.multVecMatrix(source[i], target[i]);
        return;
    }
    const MatrixRows rows(matrix);
    for (int i = 0; i < count; ++i)
        target[i] = rows.move(source[i]);
}

// Directions (normals) turned by the upper left 3 × 3 of a matrix, in place.
void turnDirections(const SbMatrix& matrix, SbVec3f* directions, int count) {
    const MatrixRows rows(matrix);
    for (int i = 0; i < count; ++i)
        directions[i] = rows.turn(directions[i]);
}

// Which corners of a run (a face or a strip) Coin's generation hands the next normal to, and
// from where; the others keep the one before. A run's first corner without a normal of its own
// takes the shape's overall normal.
struct NormalSteps {
    bool indexed;  // through the normal indices, else counting through the normals
    bool first;    // the first corner of a run
    bool second;   // its second and third corners
    bool later;    // corners from the fourth on
    bool skipsEnd; // the end mark of a run has its entry in the normal indices
};

constexpr NormalSteps kOverall{false, false, false, false, false};
constexpr NormalSteps kPerVertex{false, true, true, true, false};
constexpr NormalSteps kPerVertexIndexed{true, true, true, true, true};
constexpr NormalSteps kPerRun{false, true, false, false, false};
constexpr NormalSteps kPerRunIndexed{true, true, false, false, false};
constexpr NormalSteps kPerStripTriangle{false, true, false, true, false};
constexpr NormalSteps kPerStripTriangleIndexed{true, true, false, true, false};

// As Coin's generation of an indexed shape reads a normal binding: generated normals always come
// per vertex through the cache's indices, or per face (triangle, strip) in order.
NormalSteps indexedSteps(SoNormalBindingElement::Binding binding, bool generated, bool strips) {
    switch (binding) {
    case SoNormalBindingElement::OVERALL:
        return kOverall;
    case SoNormalBindingElement::PER_VERTEX:
        return generated ? kPerVertexIndexed : kPerVertex;
    case SoNormalBindingElement::PER_VERTEX_INDEXED:
        return kPerVertexIndexed;
    case SoNormalBindingElement::PER_PART:
        return kPerRun;
    case SoNormalBindingElement::PER_PART_INDEXED:
        return generated ? kPerRun : kPerRunIndexed;
    case SoNormalBindingElement::PER_FACE:
        return strips ? kPerStripTriangle : kPerRun;
    case SoNormalBindingElement::PER_FACE_INDEXED:
        if (strips)
            return generated ? kPerStripTriangle : kPerStripTriangleIndexed;
        return generated ? kPerRun : kPerRunIndexed;
    }
    return kPerVertexIndexed;
}

// As Coin's generation of a face set or triangle strip set reads a normal binding: in order,
// given or generated.
NormalSteps nonIndexedSteps(SoNormalBindingElement::Binding binding, bool strips) {
    switch (binding) {
    case SoNormalBindingElement::OVERALL:
        return kOverall;
    case SoNormalBindingElement::PER_PART:
    case SoNormalBindingElement::PER_PART_INDEXED:
        return kPerRun;
    case SoNormalBindingElement::PER_FACE:
    case SoNormalBindingElement::PER_FACE_INDEXED:
        return strips ? kPerStripTriangle : kPerRun;
    default:
        return kPerVertex;
    }
}

// The normals handed out in turn, checked: one that is not there is never read.
class NormalSequence {
public:
    NormalSequence(const OivSharedVertices& vertices, const NormalSteps& steps,
                   const int32_t* indices, int count)
        : m_Vertices(vertices), m_Indexed(steps.indexed), m_Indices(indices),
          m_Count(indices ? count : 0) {}
    int32_t next() {
        const int32_t position = m_Next++;
        if (!m_Indexed)
            return m_Vertices.checkedNormal(position);
        return m_Vertices.checkedNormal(position < m_Count ? m_Indices[position] : -1);
    }
    void skip() { ++m_Next; }

private:
    const OivSharedVertices& m_Vertices;
    bool m_Indexed;
    const int32_t* m_Indices;
    int m_Count;
    int32_t m_Next = 0;
};

// Calls visit(a, b, c) with the positions in a run of `count` corners at `coords` of each
// triangle Coin's generation makes of it, in its winding, leaving out those with a corner for
// which has(coordinate) fails. Coin splits quads along the diagonal from their first corner, and
// larger convex faces as a fan from it; a face with a corner outside the coordinates has no
// shape: all of it goes. Every other triangle of a strip turns its first two corners: the
// winding alternates and each triangle starts where Coin's does.
template <typename Has, typename Visit>
void visitRunTriangles(const int32_t* coords, int count, bool strips, const Has& has,
                       const Visit& visit) {
    if (strips) {
        for (int k = 0; k + 2 < count; ++k) {
            const int odd = k & 1;
            if (has(coords[k]) && has(coords[k + 1]) && has(coords[k + 2]))
                visit(k + odd, k + 1 - odd, k + 2);
        }
        return;
    }
    for (int k = 0; k < count; ++k)
        if (!has(coords[k]))
            return;
    for (int k = 1; k + 1 < count; ++k)
        visit(0, k, k + 1);
}

// Whether a triangle takes its own face normal: a corner without a normal leaves the whole
// triangle to it, and so does one normal along the face's.
bool takesFaceNormal(const OivSharedVertices& vertices, const int32_t corners[3],
                     const int32_t normals[3]) {
    return normals[0] == OivSharedVertices::kFaceNormal ||
           normals[1] == OivSharedVertices::kFaceNormal ||
           normals[2] == OivSharedVertices::kFaceNormal || vertices.isFlat(corners, normals);
}

// Runs of corners (faces or strips) as the triangles Coin's generation makes of them, each
// corner with the normal it hands that corner.
class RunTriangles {
public:
    // `overall`: the normal of a first corner that takes none.
    RunTriangles(OivSharedVertices& vertices, const NormalSteps& steps, const int32_t* indices,
                 int indexCount, int32_t overall, bool strips, std::vector<uint32_t>& corners)
        : m_Vertices(vertices), m_Steps(steps), m_Sequence(vertices, steps, indices, indexCount),
          m_Overall(overall), m_Strips(strips), m_Corners(corners) {}
    RunTriangles(const RunTriangles&) = delete;
    RunTriangles& operator=(const RunTriangles&) = delete;

    // A run of `count` corners at these coordinates, and its end mark.
    void add(const int32_t* coords, int count) {
        m_Normals.resize(size_t(count));
        m_RunVertices.assign(2 * size_t(count), kUnknown);
        int32_t normal = m_Steps.first ? m_Sequence.next() : m_Overall;
        for (int k = 0; k < count; ++k) {
            if (k > 0 && (k < 3 ? m_Steps.second : m_Steps.later))
                normal = m_Sequence.next();
            m_Normals[size_t(k)] = normal;
        }
        if (m_Steps.skipsEnd)
            m_Sequence.skip();
        visitRunTriangles(
            coords, count, m_Strips,
            [this](int32_t coordinate) { return m_Vertices.hasCoordinate(coordinate); },
            [&](int a, int b, int c) { addTriangle(coords, a, b, c); });
    }

private:
    void addTriangle(const int32_t* coords, int a, int b, int c) {
        const int32_t corners[3] = {coords[a], coords[b], coords[c]};
        const int32_t normals[3] = {m_Normals[size_t(a)], m_Normals[size_t(b)],
                                    m_Normals[size_t(c)]};
        const bool flat = takesFaceNormal(m_Vertices, corners, normals);
        for (int corner : {a, b, c})
            m_Corners.push_back(vertexAt(coords, corner, flat));
    }

    // The vertex of a run's corner with its own normal or flat, looked up once for all its
    // triangles.
    uint32_t vertexAt(const int32_t* coords, int corner, bool flat) {
        uint32_t& vertex = m_RunVertices[size_t(flat ? m_Normals.size() + corner : corner)];
        if (vertex == kUnknown)
            vertex = m_Vertices.vertex(coords[corner], flat ? OivSharedVertices::kFaceNormal
                                                            : m_Normals[size_t(corner)]);
        return vertex;
    }

    static constexpr uint32_t kUnknown = UINT32_MAX;

    OivSharedVertices& m_Vertices;
    NormalSteps m_Steps;
    NormalSequence m_Sequence;
    int32_t m_Overall;
    bool m_Strips;
    std::vector<uint32_t>& m_Corners;
    std::vector<int32_t> m_Normals; // of the run's corners
    // Of the run's corners, with their own normal and then flat; kUnknown until looked up.
    std::vector<uint32_t> m_RunVertices;
};

// The triangles of runs (faces or strips) of `count` coordinate indices, as many as their
// generation gives at most: two fewer than each run has corners.
size_t countTriangles(const int32_t* index, int count) {
    size_t triangles = 0;
    int corners = 0;
    for (int i = 0; i <= count; ++i) {
        if (i < count && index[i] >= 0) {
            ++corners;
            continue;
        }
        triangles += size_t(std::max(corners - 2, 0));
        corners = 0;
    }
    return triangles;
}

// The runs of a face set or strip set, from their vertex counts.
struct RunLengths {
    int64_t vertices = 0;  // taken from the coordinates
    int64_t triangles = 0; // at most
    int longest = 0;
    bool valid = true; // every run as long as its shape needs
};

RunLengths measureRuns(const int32_t* counts, int runCount, bool strips) {
    RunLengths lengths;
    for (int run = 0; run < runCount; ++run) {
        const int count = counts[run];
        if (count < (strips ? 3 : 1)) {
            lengths.valid = false;
            if (!strips)
                break;
            continue;
        }
        lengths.vertices += count;
        lengths.triangles += std::max(count - 2, 0);
        lengths.longest = std::max(lengths.longest, count);
    }
    return lengths;
}

bool isConvex(SoState* state) {
    return SoShapeHintsElement::getFaceType(state) == SoShapeHintsElement::CONVEX;
}

// The normal of a run's first corner that takes none: the shape's first, or Coin's +Z when it
// has none.
int32_t overallNormal(const OivVertexShapeData& data, const OivSharedVertices& vertices) {
    return data.normals ? vertices.checkedNormal(0) : OivSharedVertices::kDefaultNormal;
}

// Whether a face of five or more corners, which Coin splits with its tessellator unless faces
// are known to be convex, lies among `count` coordinate indices.
bool hasPolygons(const int32_t* index, int count) {
    int corners = 0;
    for (int i = 0; i < count; ++i) {
        corners = index[i] >= 0 ? corners + 1 : 0;
        if (corners > 4)
            return true;
    }
    return false;
}

} // namespace

OivSceneTriangles::OivSceneTriangles() = default;
OivSceneTriangles::~OivSceneTriangles() = default;

void OivSceneTriangles::clear(void) {
    points.clear();
    normals.clear();
    triangleCorners.clear();
    surfaces.clear();
    m_RecentCount = 0;
}

void OivSceneTriangles::collect(SoNode* root, const SbViewportRegion& viewport,
                                const SoNode* excluded) {
    m_Previous = std::move(surfaces);
    clear();
    if (root) {
        SoCallbackAction action(viewport);
        PruneData prune{excluded};
        if (excluded)
            action.addPreCallback(excluded->getTypeId(), pruneExcludedCB, &prune);
        action.addPreCallback(SoShape::getClassTypeId(), shapeCB, this);
        action.addTriangleCallback(SoShape::getClassTypeId(), triangleCB, this);
        action.apply(root);
    }
    m_Previous.clear();
}

SoCallbackAction::Response OivSceneTriangles::shapeCB(void* data, SoCallbackAction* action,
                                                      const SoNode* shape) {
    return static_cast<OivSceneTriangles*>(data)->startShape(action, shape);
}

SoCallbackAction::Response OivSceneTriangles::startShape(SoCallbackAction* action,
                                                         const SoNode* shape) {
    if (SoPickStyleElement::get(action->getState()) == SoPickStyleElement::UNPICKABLE)
        return SoCallbackAction::PRUNE;
    m_Model = action->getModelMatrix();
    // All triangles of a shape share its model matrix: invert it once, not per triangle.
    m_Normal = m_Model.inverse().transpose();
    m_RecentCount = 0;
    const SoType type = shape->getTypeId();
    if (type == SoQuadMesh::getClassTypeId() &&
        readQuadMesh(action, static_cast<const SoQuadMesh*>(shape)))
        return SoCallbackAction::PRUNE;
    if (type == SoIndexedFaceSet::getClassTypeId()) {
        const SoIndexedFaceSet* faces = static_cast<const SoIndexedFaceSet*>(shape);
        if (readGeneratedNormalsFaces(action, faces, false) ||
            readIndexedShape(action, faces, false))
            return SoCallbackAction::PRUNE;
    }
    if (type == SoIndexedTriangleStripSet::getClassTypeId()) {
        const SoIndexedShape* strips = static_cast<const SoIndexedShape*>(shape);
        if (readGeneratedNormalsFaces(action, strips, true) ||
            readIndexedShape(action, strips, true))
            return SoCallbackAction::PRUNE;
    }
    if (type == SoFaceSet::getClassTypeId()) {
        const SoFaceSet* faces = static_cast<const SoFaceSet*>(shape);
        if (readNonIndexedShape(action, faces, faces->numVertices, false))
            return SoCallbackAction::PRUNE;
    }
    if (type == SoTriangleStripSet::getClassTypeId()) {
        const SoTriangleStripSet* strips = static_cast<const SoTriangleStripSet*>(shape);
        if (readNonIndexedShape(action, strips, strips->numVertices, true))
            return SoCallbackAction::PRUNE;
    }
    return SoCallbackAction::CONTINUE;
}

bool OivSceneTriangles::readQuadMesh(SoCallbackAction* action, const SoQuadMesh* mesh) {
    const SbVec3f* coords = nullptr;
    int available = 0;
    if (!findGeneratedNormalsShape(action->getState(), mesh, coords, available))
        return false;
    const int rows = mesh->verticesPerColumn.getValue();
    const int columns = mesh->verticesPerRow.getValue();
    const int start = mesh->startIndex.getValue();
    if (rows < 2 || columns < 2)
        return true; // draws nothing
    if (start < 0 || int64_t(start) + int64_t(rows) * columns > available ||
        !OivObjectSurface::acceptsMatrix(m_Model))
        return false;
    const OivObjectSurface::Source source = surfaceSource(action->getState(), mesh, nullptr);
    return reuseSurface(source) || addSurface(source, std::unique_ptr<OivQuadGrid>(new OivQuadGrid(
                                                          m_Model, coords + start, rows, columns)));
}

bool OivSceneTriangles::readGeneratedNormalsFaces(SoCallbackAction* action,
                                                  const SoIndexedShape* faces, bool strips) {
    SoState* state = action->getState();
    const SbVec3f* coords = nullptr;
    int available = 0;
    // Coin generates these faces' normals from their corners alone: the index makes a hit's
    // when it finds it, and leaves the normals of every face to Coin's drawing.
    if (faces->getNodeType() == SoNode::VRML1 ||
        !findGeneratedNormalsShape(state, faces, coords, available) ||
        !OivObjectSurface::acceptsMatrix(m_Model))
        return false;
    const OivIndexedFaces::Normals generated{nullptr,
                                             0,
                                             nullptr,
                                             0,
                                             nullptr,
                                             SoCreaseAngleElement::get(state),
                                             SoShapeHintsElement::getVertexOrdering(state) !=
                                                 SoShapeHintsElement::CLOCKWISE,
                                             isConvex(state)};
    const OivObjectSurface::Source source = surfaceSource(state, faces, nullptr);
    return reuseSurface(source) ||
           addSurface(source, std::unique_ptr<OivIndexedFaces>(new OivIndexedFaces(
                                  m_Model, coords, available, faces->coordIndex.getValues(0),
                                  faces->coordIndex.getNum(), generated, strips)));
}

bool OivSceneTriangles::readIndexedShape(SoCallbackAction* action, const SoIndexedShape* shape,
                                         bool strips) {
    const int count = shape->coordIndex.getNum();
    if (count < 3)
        return true; // draws nothing
    const int32_t* index = shape->coordIndex.getValues(0);
    SoState* state = action->getState();
    if (shape->getNodeType() == SoNode::VRML1 ||
        (!strips && !isConvex(state) && hasPolygons(index, count)))
        return false;
    // Coin's generation reads from the shape and its cache, which it may write: not a change.
    SoIndexedShape* source = const_cast<SoIndexedShape*>(shape);
    OivVertexShapeData data(action, source);
    if (!data.is3D())
        return false;
    data.readNormals(&source->normalIndex, true);
    const NormalSteps steps =
        indexedSteps(SoNormalBindingElement::get(state), data.normalsGenerated, strips);
    // Normals per vertex indexed without normal indices of their own follow the coordinates'.
    const bool byCoordinates = !data.normalIndices && steps.skipsEnd;
    const int32_t* normalIndex = byCoordinates ? index : data.normalIndices;
    const int normalIndexCount = byCoordinates ? count : data.normalIndexCount;
    // Large faces with normals indexed per vertex (imported meshes) are searched where they are.
    if (!strips && steps.skipsEnd && data.normals && OivObjectSurface::acceptsMatrix(m_Model)) {
        const OivObjectSurface::Source source = surfaceSource(state, shape, data.normalCache);
        const OivIndexedFaces::Normals given{data.normals,
                                             data.normalCount,
                                             normalIndex,
                                             normalIndexCount,
                                             data.normalCache,
                                             0.0f,
                                             true,
                                             true};
        if (reuseSurface(source) ||
            addSurface(source, std::unique_ptr<OivIndexedFaces>(new OivIndexedFaces(
                                   m_Model, data.coords, data.coordCount, index, count, given))))
            return true;
    }
    // All coordinates are turned to world space: not worth it for a few faces of a large
    // coordinate node that many shapes share.
    if (data.coordCount > count)
        return false;

    const uint32_t first = uint32_t(points.size());
    reserve(3 * countTriangles(index, count), size_t(data.coordCount));
    OivSharedVertices vertices(data.coords, data.coordCount, data.normals, data.normalCount, points,
                               normals, 0, data.coordCount);
    // Only normals indexed per vertex have an entry beside every coordinate index.
    if (steps.skipsEnd &&
        readCoordinateVertices(data, index, count, normalIndex, normalIndexCount, strips))
        return true;
    RunTriangles runs(vertices, steps, normalIndex, normalIndexCount, overallNormal(data, vertices),
                      strips, triangleCorners);
    OivIndexedFaces::visitRuns(index, count,
                               [&](int start, int length) { runs.add(index + start, length); });
    turnToWorld(first);
    return true;
}

bool OivSceneTriangles::readCoordinateVertices(const OivVertexShapeData& data, const int32_t* index,
                                               int count, const int32_t* normalIndex,
                                               int normalIndexCount, bool strips) {
    const int coordCount = data.coordCount;
    const uint32_t first = uint32_t(points.size());
    const size_t firstCorner = triangleCorners.size();
    // The first vertex of each coordinate has the coordinate's place; the others (another
    // normal, or flat) are looked up apart and go behind them, once it is known how many
    // there are: the arrays then grow once, to their size.
    const uint32_t firstOther = first + uint32_t(coordCount);
    std::vector<SbVec3f> otherPoints, otherNormals;
    OivSharedVertices others(data.coords, coordCount, data.normals, data.normalCount, otherPoints,
                             otherNormals, 0, coordCount);
    std::vector<int32_t> firstNormals(size_t(coordCount), kNoVertexYet);
    int used = 0;
    bool inside = true;
    const auto has = [&](int32_t coordinate) {
        inside = inside && others.hasCoordinate(coordinate);
        return others.hasCoordinate(coordinate);
    };
    OivIndexedFaces::visitRuns(index, count, [&](int start, int length) {
        const int32_t* run = index + start;
        visitRunTriangles(run, length, strips, has, [&](int a, int b, int c) {
            const int at[3] = {start + a, start + b, start + c};
            const int32_t corners[3] = {index[at[0]], index[at[1]], index[at[2]]};
            int32_t cornerNormals[3];
            for (int k : {0, 1, 2})
                cornerNormals[k] =
                    others.checkedNormal(at[k] < normalIndexCount ? normalIndex[at[k]] : -1);
            const bool flat = takesFaceNormal(others, corners, cornerNormals);
            for (int k : {0, 1, 2}) {
                const int32_t normal = flat ? OivSharedVertices::kFaceNormal : cornerNormals[k];
                int32_t& known = firstNormals[size_t(corners[k])];
                if (known == kNoVertexYet) {
                    known = normal;
                    ++used;
                }
                triangleCorners.push_back(known == normal
                                              ? first + uint32_t(corners[k])
                                              : firstOther + others.vertex(corners[k], normal));
            }
        });
    });
    // A coordinate left out would widen the bounds the triangles are sorted in.
    if (!inside || used != coordCount) {
        triangleCorners.resize(firstCorner);
        return false;
    }
    points.reserve(firstOther + otherPoints.size());
    normals.reserve(firstOther + otherPoints.size());
    points.resize(firstOther);
    normals.resize(firstOther);
    // Through data(): a shape of no coordinates has no element at `first`.
    transformPoints(m_Model, data.coords, coordCount, points.data() + first);
    for (int coordinate = 0; coordinate < coordCount; ++coordinate)
        normals[first + uint32_t(coordinate)] = others.normalOf(firstNormals[size_t(coordinate)]);
    turnDirections(m_Normal, normals.data() + first, coordCount);
    points.insert(points.end(), otherPoints.begin(), otherPoints.end());
    normals.insert(normals.end(), otherNormals.begin(), otherNormals.end());
    turnToWorld(firstOther);
    return true;
}

bool OivSceneTriangles::readNonIndexedShape(SoCallbackAction* action,
                                            const SoNonIndexedShape* shape,
                                            const SoMFInt32& numVertices, bool strips) {
    if (numVertices.getNum() == 1 && numVertices[0] == 0)
        return true; // draws nothing
    SoState* state = action->getState();
    if (shape->getNodeType() == SoNode::VRML1)
        return false;
    SoNonIndexedShape* source = const_cast<SoNonIndexedShape*>(shape);
    OivVertexShapeData data(action, source);
    if (!data.is3D())
        return false;
    const int start = shape->startIndex.getValue();
    // One count of -1 stands for the rest of the coordinates, as one run.
    const int rest = int(std::min<int64_t>(int64_t(data.coordCount) - start, INT32_MAX));
    const bool useRest = numVertices.getNum() == 1 && numVertices[0] == -1;
    const int32_t* counts = useRest ? &rest : numVertices.getValues(0);
    const int runCount = useRest ? (data.coordCount > 1 ? 1 : 0) : numVertices.getNum();
    RunLengths lengths = measureRuns(counts, runCount, strips);
    if (!strips && !isConvex(state) && lengths.longest > 4)
        return false; // Coin's tessellator splits those
    // Coin's normal generation of strips reads the coordinates unchecked.
    const bool inside = start >= 0 && int64_t(start) + lengths.vertices <= data.coordCount;
    data.readNormals(nullptr, inside && lengths.valid);

    // Runs take consecutive coordinates from the start index.
    const uint32_t first = uint32_t(points.size());
    const int used =
        int(std::min<int64_t>(lengths.vertices, INT32_MAX - int64_t(std::max(start, 0))));
    reserve(3 * size_t(lengths.triangles), size_t(std::min(used, data.coordCount)));
    OivSharedVertices vertices(data.coords, data.coordCount, data.normals, data.normalCount, points,
                               normals, start, used);
    const NormalSteps steps = nonIndexedSteps(SoNormalBindingElement::get(state), strips);
    RunTriangles runs(vertices, steps, nullptr, 0, overallNormal(data, vertices), strips,
                      triangleCorners);
    std::vector<int32_t> corners;
    int64_t next = start;
    for (int run = 0; run < runCount; ++run) {
        const int count = counts[run];
        // A face set's count below one ends the shape (Coin's generation would run away);
        // strips of fewer than three vertices are passed over without taking any.
        if (!strips && count < 1)
            break;
        if (strips && count < 3)
            continue;
        corners.resize(size_t(count));
        // Past the coordinates (or the numbers): no corner of the shape.
        for (int32_t& corner : corners)
            corner = next < INT32_MAX ? int32_t(next++) : -1;
        runs.add(corners.data(), count);
    }
    turnToWorld(first);
    return true;
}

OivObjectSurface::Source OivSceneTriangles::surfaceSource(SoState* state, const SoNode* shape,
                                                          const void* normalCache) const {
    return OivObjectSurface::Source{shape,
                                    shape->getNodeId(),
                                    SoCoordinateElement::getInstance(state)->getNodeId(),
                                    SoNormalElement::getInstance(state)->getNodeId(),
                                    normalCache,
                                    int(SoNormalBindingElement::get(state)),
                                    SoCreaseAngleElement::get(state),
                                    int(SoShapeHintsElement::getVertexOrdering(state)),
                                    int(SoShapeHintsElement::getFaceType(state))};
}

bool OivSceneTriangles::reuseSurface(const OivObjectSurface::Source& source) {
    for (std::unique_ptr<OivObjectSurface>& previous : m_Previous)
        if (previous && previous->getSource() == source) {
            previous->setModel(m_Model);
            surfaces.push_back(std::move(previous));
            return true;
        }
    // The shape changed: what the old surface holds goes before the new one is built.
    for (std::unique_ptr<OivObjectSurface>& previous : m_Previous)
        if (previous && previous->getSource().shape == source.shape)
            previous.reset();
    return false;
}

bool OivSceneTriangles::addSurface(const OivObjectSurface::Source& source,
                                   std::unique_ptr<OivObjectSurface> surface) {
    if (!surface->build())
        return false;
    surface->setSource(source);
    surfaces.push_back(std::move(surface));
    return true;
}

void OivSceneTriangles::reserve(size_t corners, size_t vertices) {
    triangleCorners.reserve(triangleCorners.size() + corners);
    points.reserve(points.size() + vertices);
    normals.reserve(normals.size() + vertices);
}

void OivSceneTriangles::turnToWorld(uint32_t first) {
    const int count = int(points.size() - first);
    if (count == 0)
        return;
    transformPoints(m_Model, &points[first], count, &points[first]);
    turnDirections(m_Normal, &normals[first], count);
}

bool OivSceneTriangles::findGeneratedNormalsShape(SoState* state, const SoVertexShape* shape,
                                                  const SbVec3f*& coords, int& available) {
    // Normals of its own, or bound other than per vertex: Coin's generation knows what to do.
    const SoVertexProperty* property =
        static_cast<const SoVertexProperty*>(shape->vertexProperty.getValue());
    if ((property && property->normal.getNum() > 0) ||
        SoNormalElement::getInstance(state)->getNum() > 0)
        return false;
    const SoNormalBindingElement::Binding binding = SoNormalBindingElement::get(state);
    if (binding != SoNormalBindingElement::PER_VERTEX &&
        binding != SoNormalBindingElement::PER_VERTEX_INDEXED)
        return false;
    if (property && property->vertex.getNum() > 0) {
        coords = property->vertex.getValues(0);
        available = property->vertex.getNum();
        return true;
    }
    const SoCoordinateElement* element = SoCoordinateElement::getInstance(state);
    if (!element->is3D())
        return false;
    coords = element->getArrayPtr3();
    available = element->getNum();
    return coords != nullptr || available == 0;
}

void OivSceneTriangles::triangleCB(void* data, SoCallbackAction*, const SoPrimitiveVertex* v1,
                                   const SoPrimitiveVertex* v2, const SoPrimitiveVertex* v3) {
    const SoPrimitiveVertex* const vertices[3] = {v1, v2, v3};
    static_cast<OivSceneTriangles*>(data)->addGenerated(vertices);
}

uint32_t OivSceneTriangles::addVertex(const SbVec3f& point, const SbVec3f& normal) {
    SbVec3f world, worldNormal;
    m_Model.multVecMatrix(point, world);
    m_Normal.multDirMatrix(normal, worldNormal);
    points.push_back(world);
    normals.push_back(worldNormal);
    return uint32_t(points.size() - 1);
}

void OivSceneTriangles::addGenerated(const SoPrimitiveVertex* const vertices[3]) {
    Recent current[3];
    for (int i = 0; i < 3; ++i) {
        const SbVec3f& point = vertices[i]->getPoint();
        const SbVec3f& normal = vertices[i]->getNormal();
        // Strips and fans hand over most vertices again with the next triangle.
        const Recent* same = nullptr;
        for (int k = 0; k < m_RecentCount && !same; ++k)
            if (m_Recent[k].point == point && m_Recent[k].normal == normal)
                same = &m_Recent[k];
        current[i] = Recent{point, normal, same ? same->index : addVertex(point, normal)};
        triangleCorners.push_back(current[i].index);
    }
    std::copy(current, current + 3, m_Recent);
    m_RecentCount = 3;
}
