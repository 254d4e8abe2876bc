#include "tav/OivTriangleIndex.h"

#include <Inventor/SoPrimitiveVertex.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/elements/SoPickStyleElement.h>
#include <Inventor/nodes/SoShape.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

constexpr uint32_t kLeafSize = 4;
constexpr int kMaxDepth = 64;
// Same degeneracy limit as Coin's own ray-triangle test, so both skip the same slivers.
constexpr float kMinDeterminant = FLT_EPSILON;

struct PruneData {
    const SoNode* excluded;
};

SoCallbackAction::Response pruneExcludedCB(void* data, SoCallbackAction*, const SoNode* node) {
    return node == static_cast<PruneData*>(data)->excluded ? SoCallbackAction::PRUNE
                                                           : SoCallbackAction::CONTINUE;
}

// Entry and exit distances of a ray through a box (slab test); false when it misses.
bool rayBox(const SbBox3f& box, const SbVec3f& origin, const SbVec3f& inverse, float minDistance,
            float maxDistance, float& entry) {
    float low = minDistance, high = maxDistance;
    for (int axis = 0; axis < 3; ++axis) {
        float t0 = (box.getMin()[axis] - origin[axis]) * inverse[axis];
        float t1 = (box.getMax()[axis] - origin[axis]) * inverse[axis];
        if (t0 > t1)
            std::swap(t0, t1);
        // NaN (a zero direction component with the origin on a slab plane) must not reject.
        if (!(t0 <= high) || !(t1 >= low)) {
            if (!std::isnan(t0) && !std::isnan(t1))
                return false;
            continue;
        }
        low = std::max(low, t0);
        high = std::min(high, t1);
    }
    entry = low;
    return low <= high;
}

} // namespace

void OivTriangleIndex::clear(void) {
    m_Triangles.clear();
    m_Order.clear();
    m_Nodes.clear();
}

void OivTriangleIndex::build(SoNode* root, const SbViewportRegion& viewport,
                             const SoNode* excluded) {
    clear();
    if (!root)
        return;
    SoCallbackAction action(viewport);
    PruneData prune{excluded};
    if (excluded)
        action.addPreCallback(excluded->getTypeId(), pruneExcludedCB, &prune);
    action.addPreCallback(SoShape::getClassTypeId(), shapeCB, this);
    action.addTriangleCallback(SoShape::getClassTypeId(), triangleCB, this);
    action.apply(root);
    buildHierarchy();
}

SoCallbackAction::Response OivTriangleIndex::shapeCB(void* data, SoCallbackAction* action,
                                                     const SoNode*) {
    // All triangles of a shape share its model matrix: invert it once, not per triangle.
    static_cast<OivTriangleIndex*>(data)->m_NormalMatrix =
        action->getModelMatrix().inverse().transpose();
    return SoCallbackAction::CONTINUE;
}

void OivTriangleIndex::triangleCB(void* data, SoCallbackAction* action, const SoPrimitiveVertex* v1,
                                  const SoPrimitiveVertex* v2, const SoPrimitiveVertex* v3) {
    const SoPrimitiveVertex* const vertices[3] = {v1, v2, v3};
    static_cast<OivTriangleIndex*>(data)->addTriangle(action, vertices);
}

void OivTriangleIndex::addTriangle(SoCallbackAction* action,
                                   const SoPrimitiveVertex* const vertices[3]) {
    if (SoPickStyleElement::get(action->getState()) == SoPickStyleElement::UNPICKABLE)
        return;
    const SbMatrix& model = action->getModelMatrix();
    SbVec3f world[3];
    Triangle triangle;
    for (int i = 0; i < 3; ++i) {
        model.multVecMatrix(vertices[i]->getPoint(), world[i]);
        m_NormalMatrix.multDirMatrix(vertices[i]->getNormal(), triangle.normals[i]);
    }
    triangle.corner = world[0];
    triangle.edge1 = world[1] - world[0];
    triangle.edge2 = world[2] - world[0];
    m_Triangles.push_back(triangle);
}

void OivTriangleIndex::buildHierarchy(void) {
    if (m_Triangles.empty())
        return;
    const uint32_t count = uint32_t(m_Triangles.size());
    std::vector<SbVec3f> centroids(count);
    m_Order.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const Triangle& t = m_Triangles[i];
        centroids[i] = t.corner + (t.edge1 + t.edge2) / 3.0f;
        m_Order[i] = i;
    }
    m_Nodes.reserve(2 * count / kLeafSize + 1);
    buildNode(0, count, centroids);
}

uint32_t OivTriangleIndex::buildNode(uint32_t first, uint32_t count,
                                     std::vector<SbVec3f>& centroids) {
    const uint32_t index = uint32_t(m_Nodes.size());
    m_Nodes.push_back(Node{SbBox3f(), first, count});
    SbBox3f bounds, centroidBounds;
    for (uint32_t i = first; i < first + count; ++i) {
        const Triangle& t = m_Triangles[m_Order[i]];
        bounds.extendBy(t.corner);
        bounds.extendBy(t.corner + t.edge1);
        bounds.extendBy(t.corner + t.edge2);
        centroidBounds.extendBy(centroids[m_Order[i]]);
    }
    m_Nodes[index].bounds = bounds;
    if (count <= kLeafSize)
        return index;

    // Median split along the widest extent of the centroids: balanced, so the depth stays
    // logarithmic even for the regular grids that terrain surfaces are.
    float dx, dy, dz;
    centroidBounds.getSize(dx, dy, dz);
    const int axis = (dx >= dy && dx >= dz) ? 0 : (dy >= dz ? 1 : 2);
    const uint32_t half = count / 2;
    std::nth_element(
        m_Order.begin() + first, m_Order.begin() + first + half, m_Order.begin() + first + count,
        [&](uint32_t a, uint32_t b) { return centroids[a][axis] < centroids[b][axis]; });
    m_Nodes[index].count = 0;
    buildNode(first, half, centroids);
    const uint32_t right = buildNode(first + half, count - half, centroids);
    m_Nodes[index].first = right;
    return index;
}

bool OivTriangleIndex::intersectTriangle(uint32_t index, const SbLine& ray, float minDistance,
                                         float& distance, float& u, float& v) const {
    // Möller-Trumbore, as Coin's SoRayPickAction::intersect does it.
    const Triangle& t = m_Triangles[index];
    const SbVec3f& direction = ray.getDirection();
    const SbVec3f p = direction.cross(t.edge2);
    const float determinant = t.edge1.dot(p);
    if (std::fabs(determinant) < kMinDeterminant)
        return false;
    const float inverse = 1.0f / determinant;
    const SbVec3f s = ray.getPosition() - t.corner;
    u = s.dot(p) * inverse;
    if (u < 0.0f || u > 1.0f)
        return false;
    const SbVec3f q = s.cross(t.edge1);
    v = direction.dot(q) * inverse;
    if (v < 0.0f || u + v > 1.0f)
        return false;
    const float d = t.edge2.dot(q) * inverse;
    if (d < minDistance || d >= distance)
        return false;
    distance = d;
    return true;
}

bool OivTriangleIndex::intersect(const SbLine& ray, float minDistance, float maxDistance,
                                 Hit& hit) const {
    if (m_Nodes.empty())
        return false;
    const SbVec3f& origin = ray.getPosition();
    const SbVec3f& direction = ray.getDirection();
    const SbVec3f inverse(1.0f / direction[0], 1.0f / direction[1], 1.0f / direction[2]);

    float nearest = maxDistance;
    // The limit is inclusive; intersectTriangle's test is strict.
    nearest = std::nextafter(nearest, FLT_MAX);
    int32_t best = -1;
    float bestU = 0.0f, bestV = 0.0f;
    // Nodes whose box the ray enters, with the entry distance: a box passed its slab test when
    // it was pushed, and only a nearer hit found since can rule it out.
    struct Pending {
        uint32_t index;
        float entry;
    };
    Pending stack[2 * kMaxDepth];
    int top = 0;
    float rootEntry;
    if (rayBox(m_Nodes[0].bounds, origin, inverse, minDistance, nearest, rootEntry))
        stack[top++] = Pending{0, rootEntry};
    while (top > 0) {
        const Pending pending = stack[--top];
        if (pending.entry > nearest)
            continue;
        const uint32_t index = pending.index;
        const Node& node = m_Nodes[index];
        if (node.count > 0) {
            for (uint32_t i = node.first; i < node.first + node.count; ++i) {
                float u, v;
                if (intersectTriangle(m_Order[i], ray, minDistance, nearest, u, v)) {
                    best = int32_t(m_Order[i]);
                    bestU = u;
                    bestV = v;
                }
            }
            continue;
        }
        // Visit the nearer child first, so the farther one is mostly culled by `nearest`.
        const uint32_t left = index + 1, right = node.first;
        float leftEntry = FLT_MAX, rightEntry = FLT_MAX;
        const bool hitLeft =
            rayBox(m_Nodes[left].bounds, origin, inverse, minDistance, nearest, leftEntry);
        const bool hitRight =
            rayBox(m_Nodes[right].bounds, origin, inverse, minDistance, nearest, rightEntry);
        const Pending leftChild{left, leftEntry}, rightChild{right, rightEntry};
        if (hitLeft && hitRight) {
            stack[top++] = leftEntry <= rightEntry ? rightChild : leftChild;
            stack[top++] = leftEntry <= rightEntry ? leftChild : rightChild;
        } else if (hitLeft) {
            stack[top++] = leftChild;
        } else if (hitRight) {
            stack[top++] = rightChild;
        }
    }
    if (best < 0)
        return false;

    const Triangle& t = m_Triangles[best];
    hit.distance = nearest;
    hit.point = origin + direction * nearest;
    const float w = 1.0f - bestU - bestV;
    hit.normal = t.normals[0] * w + t.normals[1] * bestU + t.normals[2] * bestV;
    if (hit.normal.normalize() == 0.0f) {
        hit.normal = t.edge1.cross(t.edge2);
        hit.normal.normalize();
    }
    return true;
}
