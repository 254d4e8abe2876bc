#include "tav/OivTriangleIndex.h"

#include "tav/OivFinite.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <memory>

namespace {

constexpr uint32_t kLeafSize = 4;
// Levels of a hierarchy over at most 2^32 triangles, and a stack to visit them depth first.
constexpr int kMaxLevels = 33;
// Morton codes: this many bits per axis, sorted this many bits per radix pass.
constexpr int kMortonBits = 10;
constexpr int kRadixBits = 10;
// Stands in for a zero direction component: its reciprocal is finite, and times any coordinate
// difference of a scene it stays finite or overflows to an infinity of the right sign.
constexpr float kTinyDirection = 1.0e-30f;
// Same degeneracy limit as Coin's own ray-triangle test, so both skip the same slivers.
constexpr float kMinDeterminant = FLT_EPSILON;

// The bits of a 10-bit value spread to every third bit.
uint32_t spreadBits(uint32_t v) {
    v = (v | (v << 16)) & 0x030000FFu;
    v = (v | (v << 8)) & 0x0300F00Fu;
    v = (v | (v << 4)) & 0x030C30C3u;
    v = (v | (v << 2)) & 0x09249249u;
    return v;
}

// Entry distance of a ray through a box (slab test); false when it misses. `inverse` holds no
// infinities (see inverseDirection), so no slab yields NaN and none needs a branch of its own.
bool rayBox(const SbVec3f& low, const SbVec3f& high, const SbVec3f& origin, const SbVec3f& inverse,
            float minDistance, float maxDistance, float& entry) {
    float near = minDistance, far = maxDistance;
    for (int axis = 0; axis < 3; ++axis) {
        const float t0 = (low[axis] - origin[axis]) * inverse[axis];
        const float t1 = (high[axis] - origin[axis]) * inverse[axis];
        near = std::max(near, std::min(t0, t1));
        far = std::min(far, std::max(t0, t1));
    }
    entry = near;
    return near <= far;
}

// The reciprocal of a direction, a zero component taken as a tiny one of the same sign: a ray
// along a slab's planes then enters it at once or never, also from a point on a plane, where an
// infinite reciprocal would give NaN.
SbVec3f inverseDirection(const SbVec3f& direction) {
    SbVec3f inverse;
    for (int axis = 0; axis < 3; ++axis) {
        const float d = direction[axis];
        inverse[axis] = 1.0f / (d != 0.0f ? d : std::copysign(kTinyDirection, d));
    }
    return inverse;
}

constexpr uint32_t kBuckets = 1u << kRadixBits;
// Digits of a code below its top one, which a first pass sorts by.
constexpr int kLowDigits = (3 * kMortonBits + kRadixBits - 1) / kRadixBits - 1;
using DigitCounts = std::array<uint32_t, kBuckets>;

uint32_t digit(uint64_t item, int position) {
    return uint32_t(item >> (32 + position * kRadixBits)) & (kBuckets - 1);
}

// Turns the counts of each digit into the offsets where its items start.
void countsToOffsets(DigitCounts& counts) {
    uint32_t sum = 0;
    for (uint32_t& offset : counts) {
        const uint32_t count = offset;
        offset = sum;
        sum += count;
    }
}

// Least significant digit radix sort of `count` items by their digits below the top one, from
// `items` through `scratch` (both left in any order); writes their values in order to `order`.
void sortByLowDigits(uint64_t* items, uint64_t* scratch, uint32_t count, uint32_t* order) {
    std::array<DigitCounts, kLowDigits> counts{};
    for (uint32_t i = 0; i < count; ++i)
        for (int position = 0; position < kLowDigits; ++position)
            ++counts[size_t(position)][digit(items[i], position)];
    for (int position = 0; position < kLowDigits; ++position) {
        DigitCounts& next = counts[size_t(position)];
        countsToOffsets(next);
        if (position + 1 == kLowDigits) {
            for (uint32_t i = 0; i < count; ++i)
                order[next[digit(items[i], position)]++] = uint32_t(items[i]);
            return;
        }
        for (uint32_t i = 0; i < count; ++i)
            scratch[next[digit(items[i], position)]++] = items[i];
        std::swap(items, scratch);
    }
}

// Keeps the triangles (three corners each) whose corners are all finite points.
void keepFiniteTriangles(std::vector<uint32_t>& corners, const std::vector<bool>& finite) {
    size_t kept = 0;
    for (size_t c = 0; c + 2 < corners.size(); c += 3) {
        if (!finite[corners[c]] || !finite[corners[c + 1]] || !finite[corners[c + 2]])
            continue;
        for (size_t k = 0; k < 3; ++k)
            corners[kept + k] = corners[c + k];
        kept += 3;
    }
    corners.resize(kept);
}

// A triangle with a corner at an infinity or at no number at all (coordinates a host or an
// engine set, or a transformation that overflowed) is neither drawn nor picked as a surface: no
// ray meets it at a point. The triangles are only copied when there is such a corner.
void dropNonFiniteTriangles(OivSceneTriangles& triangles) {
    std::vector<bool> finite(triangles.points.size());
    bool all = true;
    for (size_t i = 0; i < finite.size(); ++i) {
        finite[i] = OivFinite::isFinite(triangles.points[i]);
        all = all && finite[i];
    }
    if (all)
        return;
    keepFiniteTriangles(triangles.orderedCorners, finite);
    keepFiniteTriangles(triangles.unorderedCorners, finite);
}

// Writes the triangles 0 to `count` - 1 to `order` sorted by their Morton codes, triangles of
// one code in their order; `topCounts`, the counts of the codes' top digits, were taken when the
// codes were made. A first pass by the top digit gathers neighbouring cells into buckets small
// enough to be sorted by their other digits in cache: the large arrays are scattered once
// instead of in every pass.
void sortAlongCurve(const uint32_t* codes, uint32_t count, const DigitCounts& topCounts,
                    uint32_t* order) {
    std::unique_ptr<uint64_t[]> buckets(new uint64_t[count]);
    DigitCounts starts = topCounts;
    countsToOffsets(starts);
    DigitCounts next = starts;
    for (uint32_t t = 0; t < count; ++t) {
        const uint64_t item = (uint64_t(codes[t]) << 32) | t;
        buckets[next[digit(item, kLowDigits)]++] = item;
    }
    std::vector<uint64_t> scratch(*std::max_element(topCounts.begin(), topCounts.end()));
    for (uint32_t bucket = 0; bucket < kBuckets; ++bucket)
        if (topCounts[bucket] > 0) {
            const uint32_t start = starts[bucket];
            sortByLowDigits(&buckets[start], scratch.data(), topCounts[bucket], &order[start]);
        }
}

} // namespace

void OivTriangleIndex::clear(void) {
    m_Triangles.clear();
    m_Levels.clear();
}

size_t OivTriangleIndex::getTriangleCount(void) const {
    return m_Triangles.orderedCorners.size() / 3;
}

size_t OivTriangleIndex::getMemoryUsage(void) const {
    size_t bytes = m_Triangles.points.capacity() * sizeof(SbVec3f) +
                   m_Triangles.normals.capacity() * sizeof(SbVec3f) +
                   m_Triangles.orderedCorners.capacity() * sizeof(uint32_t) +
                   m_Levels.capacity() * sizeof(std::vector<Box>);
    for (const std::vector<Box>& level : m_Levels)
        bytes += level.capacity() * sizeof(Box);
    return bytes;
}

void OivTriangleIndex::build(SoNode* root, const SbViewportRegion& viewport,
                             const SoNode* excluded) {
    clear();
    m_Triangles.collect(root, viewport, excluded);
    dropNonFiniteTriangles(m_Triangles);
    appendUnorderedAlongMortonCurve();
    m_Triangles.points.shrink_to_fit();
    m_Triangles.normals.shrink_to_fit();
    m_Triangles.orderedCorners.shrink_to_fit();
    if (getTriangleCount() > 0)
        buildLevels();
}

void OivTriangleIndex::appendUnorderedAlongMortonCurve(void) {
    const std::vector<SbVec3f>& points = m_Triangles.points;
    std::vector<uint32_t>& unordered = m_Triangles.unorderedCorners;
    const uint32_t count = uint32_t(unordered.size() / 3);
    if (count == 0)
        return;
    // The bounds of all points, in order, hold those of the triangles to sort; a little more
    // room costs nothing. Points that are no numbers belong to no triangle kept.
    SbVec3f low(FLT_MAX, FLT_MAX, FLT_MAX), high = -low;
    for (const SbVec3f& point : points) {
        if (!OivFinite::isFinite(point))
            continue;
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], point[axis]);
            high[axis] = std::max(high[axis], point[axis]);
        }
    }
    // Centroids are summed, not averaged: three times the bounds hold them. Cells are cubes, so
    // that a flat terrain is not cut as often across its thin extent as along its wide ones.
    constexpr float kCells = float(1u << kMortonBits);
    const float extent = 3.0f * std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]});
    const float scale = extent > 0.0f ? (kCells - 1.0f) / extent : 0.0f;
    const SbVec3f origin = low * 3.0f;

    // Three lookups per code instead of spreading the bits of three axes.
    static const std::array<uint32_t, 1u << kMortonBits> kSpread = [] {
        std::array<uint32_t, 1u << kMortonBits> table{};
        for (uint32_t v = 0; v < table.size(); ++v)
            table[v] = spreadBits(v);
        return table;
    }();
    std::unique_ptr<uint32_t[]> codes(new uint32_t[count]);
    DigitCounts topCounts{};
    for (uint32_t t = 0; t < count; ++t) {
        const SbVec3f sum =
            points[unordered[3 * t]] + points[unordered[3 * t + 1]] + points[unordered[3 * t + 2]];
        uint32_t code = 0;
        for (int axis = 0; axis < 3; ++axis) {
            // A sum that overflowed can give no number: such a triangle goes to the first cell.
            const float offset = (sum[axis] - origin[axis]) * scale;
            const float cell = offset >= 0.0f ? std::min(offset, kCells - 1.0f) : 0.0f;
            code |= kSpread[uint32_t(cell)] << axis;
        }
        codes[t] = code;
        ++topCounts[digit(uint64_t(code) << 32, kLowDigits)];
    }
    std::unique_ptr<uint32_t[]> order(new uint32_t[count]);
    sortAlongCurve(codes.get(), count, topCounts, order.get());
    codes.reset();

    std::vector<uint32_t>& ordered = m_Triangles.orderedCorners;
    const size_t start = ordered.size();
    ordered.resize(start + unordered.size());
    uint32_t* target = &ordered[start];
    for (uint32_t place = 0; place < count; ++place, target += 3) {
        const uint32_t* corners = &unordered[3 * size_t(order[place])];
        target[0] = corners[0];
        target[1] = corners[1];
        target[2] = corners[2];
    }
    unordered.clear();
    unordered.shrink_to_fit();
}

void OivTriangleIndex::buildLevels(void) {
    const std::vector<SbVec3f>& points = m_Triangles.points;
    const std::vector<uint32_t>& corners = m_Triangles.orderedCorners;
    const size_t count = getTriangleCount();
    std::vector<Box> leaves((count + kLeafSize - 1) / kLeafSize);
    // The boxes of a leaf's triangles first, then their union: a few short chains of
    // comparisons instead of one through every corner.
    const auto triangleBox = [&](size_t triangle) {
        const uint32_t* corner = &corners[3 * triangle];
        Box box{points[corner[0]], points[corner[0]]};
        include(box, Box{points[corner[1]], points[corner[1]]});
        include(box, Box{points[corner[2]], points[corner[2]]});
        return box;
    };
    for (size_t leaf = 0; leaf < leaves.size(); ++leaf) {
        const size_t first = leaf * kLeafSize, end = std::min(count, first + kLeafSize);
        Box box = triangleBox(first);
        for (size_t t = first + 1; t < end; ++t)
            include(box, triangleBox(t));
        leaves[leaf] = box;
    }
    m_Levels.push_back(std::move(leaves));
    while (m_Levels.back().size() > 1) {
        const std::vector<Box>& below = m_Levels.back();
        std::vector<Box> level((below.size() + 1) / 2);
        for (size_t i = 0; i < level.size(); ++i) {
            Box box = below[2 * i];
            if (2 * i + 1 < below.size())
                include(box, below[2 * i + 1]);
            level[i] = box;
        }
        m_Levels.push_back(std::move(level));
    }
}

bool OivTriangleIndex::intersectTriangle(uint32_t triangle, const SbLine& ray, float minDistance,
                                         float& distance, float& u, float& v) const {
    // Möller-Trumbore, as Coin's SoRayPickAction::intersect does it.
    const uint32_t* corner = &m_Triangles.orderedCorners[3 * triangle];
    const SbVec3f& p0 = m_Triangles.points[corner[0]];
    const SbVec3f edge1 = m_Triangles.points[corner[1]] - p0;
    const SbVec3f edge2 = m_Triangles.points[corner[2]] - p0;
    const SbVec3f& direction = ray.getDirection();
    const SbVec3f p = OivSceneTriangles::cross(direction, edge2);
    // Each test is written to fail for NaN, which edges that overflow (corners of a size near
    // the float range) give: such a triangle is never hit, and never at a distance that is none.
    const float determinant = edge1.dot(p);
    if (!(std::fabs(determinant) >= kMinDeterminant))
        return false;
    const float inverse = 1.0f / determinant;
    const SbVec3f s = ray.getPosition() - p0;
    u = s.dot(p) * inverse;
    if (!(u >= 0.0f && u <= 1.0f))
        return false;
    const SbVec3f q = OivSceneTriangles::cross(s, edge1);
    v = direction.dot(q) * inverse;
    if (!(v >= 0.0f && u + v <= 1.0f))
        return false;
    const float d = edge2.dot(q) * inverse;
    if (!(d >= minDistance && d < distance))
        return false;
    distance = d;
    return true;
}

bool OivTriangleIndex::intersect(const SbLine& ray, float minDistance, float maxDistance,
                                 Hit& hit) const {
    const SbVec3f& origin = ray.getPosition();
    const SbVec3f& direction = ray.getDirection();
    // A ray or limit that is no number passes every test below and would hit anything.
    if (m_Levels.empty() || !OivFinite::isFinite(origin) || !OivFinite::isFinite(direction) ||
        !(minDistance <= maxDistance))
        return false;
    const SbVec3f inverse = inverseDirection(direction);

    // The limit is inclusive; intersectTriangle's test is strict.
    float nearest = std::nextafter(maxDistance, FLT_MAX);
    int64_t best = -1;
    float bestU = 0.0f, bestV = 0.0f;
    // Boxes the ray enters, with the entry distance: a box passed its slab test when it was
    // pushed, and only a nearer hit found since can rule it out.
    struct Pending {
        uint32_t level, index;
        float entry;
    };
    Pending stack[2 * kMaxLevels];
    int top = 0;
    const uint32_t rootLevel = uint32_t(m_Levels.size() - 1);
    const Box& root = m_Levels[rootLevel][0];
    float rootEntry;
    if (rayBox(root.min, root.max, origin, inverse, minDistance, nearest, rootEntry))
        stack[top++] = Pending{rootLevel, 0, rootEntry};
    const uint32_t count = uint32_t(getTriangleCount());
    while (top > 0) {
        const Pending pending = stack[--top];
        if (pending.entry > nearest)
            continue;
        if (pending.level == 0) {
            const uint32_t end = std::min(count, (pending.index + 1) * kLeafSize);
            for (uint32_t t = pending.index * kLeafSize; t < end; ++t) {
                float u, v;
                if (intersectTriangle(t, ray, minDistance, nearest, u, v)) {
                    best = t;
                    bestU = u;
                    bestV = v;
                }
            }
            continue;
        }
        // Visit the nearer child first, so the farther one is mostly culled by `nearest`.
        const std::vector<Box>& below = m_Levels[pending.level - 1];
        Pending children[2];
        int found = 0;
        for (uint32_t child = 2 * pending.index; child < 2 * pending.index + 2; ++child) {
            float entry;
            if (child < below.size() && rayBox(below[child].min, below[child].max, origin, inverse,
                                               minDistance, nearest, entry))
                children[found++] = Pending{pending.level - 1, child, entry};
        }
        if (found == 2 && children[0].entry < children[1].entry)
            std::swap(children[0], children[1]);
        for (int i = 0; i < found; ++i)
            stack[top++] = children[i];
    }
    if (best < 0)
        return false;

    const uint32_t* corner = &m_Triangles.orderedCorners[3 * best];
    const std::vector<SbVec3f>& normals = m_Triangles.normals;
    hit.distance = nearest;
    hit.point = origin + direction * nearest;
    const float w = 1.0f - bestU - bestV;
    hit.normal = normals[corner[0]] * w + normals[corner[1]] * bestU + normals[corner[2]] * bestV;
    // Normals at an infinity or that are no number do not say which way the face looks.
    if (!(hit.normal.normalize() > 0.0f) || !OivFinite::isFinite(hit.normal)) {
        const SbVec3f& p0 = m_Triangles.points[corner[0]];
        hit.normal = OivSceneTriangles::cross(m_Triangles.points[corner[1]] - p0,
                                              m_Triangles.points[corner[2]] - p0);
        hit.normal.normalize();
    }
    return true;
}
