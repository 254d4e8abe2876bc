#include "tav/OivTriangleIndex.h"

#include "tav/OivCurveOrder.h"
#include "tav/OivFinite.h"
#include "tav/OivObjectSurface.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>

namespace {

constexpr uint32_t kLeafSize = 4;

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
    keepFiniteTriangles(triangles.triangleCorners, finite);
}

} // namespace

void OivTriangleIndex::clear(void) {
    m_Triangles.clear();
    m_Levels.clear();
}

size_t OivTriangleIndex::getTriangleCount(void) const {
    size_t count = getWorldTriangleCount();
    for (const std::unique_ptr<OivObjectSurface>& surface : m_Triangles.surfaces)
        count += surface->getTriangleCount();
    return count;
}

size_t OivTriangleIndex::getMemoryUsage(void) const {
    size_t bytes = m_Triangles.points.capacity() * sizeof(SbVec3f) +
                   m_Triangles.normals.capacity() * sizeof(SbVec3f) +
                   m_Triangles.triangleCorners.capacity() * sizeof(uint32_t) +
                   m_Triangles.surfaces.capacity() * sizeof(std::unique_ptr<OivObjectSurface>) +
                   m_Levels.getMemoryUsage();
    for (const std::unique_ptr<OivObjectSurface>& surface : m_Triangles.surfaces)
        bytes += surface->getMemoryUsage();
    return bytes;
}

void OivTriangleIndex::build(SoNode* root, const SbViewportRegion& viewport,
                             const SoNode* excluded) {
    // The surfaces of the last build are searched again where their shapes did not change.
    m_Levels.clear();
    m_Triangles.collect(root, viewport, excluded);
    dropNonFiniteTriangles(m_Triangles);
    sortAlongCurve();
    m_Triangles.points.shrink_to_fit();
    m_Triangles.normals.shrink_to_fit();
    m_Triangles.triangleCorners.shrink_to_fit();
    m_Triangles.surfaces.shrink_to_fit();
    if (getWorldTriangleCount() > 0)
        buildLevels();
}

void OivTriangleIndex::sortAlongCurve(void) {
    const std::vector<SbVec3f>& points = m_Triangles.points;
    std::vector<uint32_t>& corners = m_Triangles.triangleCorners;
    const uint32_t count = uint32_t(getWorldTriangleCount());
    if (count == 0)
        return;
    // The bounds of all points hold those of the triangles to sort; a little more room costs
    // nothing. Points that are no numbers belong to no triangle kept.
    OivBoxLevels::Box bounds{SbVec3f(FLT_MAX, FLT_MAX, FLT_MAX),
                             SbVec3f(-FLT_MAX, -FLT_MAX, -FLT_MAX)};
    for (const SbVec3f& point : points)
        if (OivFinite::isFinite(point))
            OivBoxLevels::include(bounds, point);
    // Centroids are summed, not averaged: three times the bounds hold them.
    const OivCurveOrder curve(bounds.min * 3.0f, bounds.max * 3.0f);
    std::unique_ptr<uint32_t[]> order(new uint32_t[count]);
    curve.sort(
        order.get(), count,
        [&](const auto& emit) {
            for (uint32_t t = 0; t < count; ++t)
                emit(t);
        },
        [&](uint32_t t) {
            const uint32_t* corner = &corners[3 * size_t(t)];
            return points[corner[0]] + points[corner[1]] + points[corner[2]];
        },
        [](uint32_t, uint32_t) {});

    std::vector<uint32_t> ordered(corners.size());
    for (uint32_t place = 0; place < count; ++place) {
        const uint32_t* corner = &corners[3 * size_t(order[place])];
        std::copy(corner, corner + 3, &ordered[3 * size_t(place)]);
    }
    corners.swap(ordered);
}

void OivTriangleIndex::buildLevels(void) {
    const std::vector<SbVec3f>& points = m_Triangles.points;
    const std::vector<uint32_t>& corners = m_Triangles.triangleCorners;
    const size_t count = getWorldTriangleCount();
    std::vector<OivBoxLevels::Box> leaves((count + kLeafSize - 1) / kLeafSize);
    // The boxes of a leaf's triangles first, then their union: a few short chains of
    // comparisons instead of one through every corner.
    const auto triangleBox = [&](size_t triangle) {
        const uint32_t* corner = &corners[3 * triangle];
        OivBoxLevels::Box box{points[corner[0]], points[corner[0]]};
        OivBoxLevels::include(box, points[corner[1]]);
        OivBoxLevels::include(box, points[corner[2]]);
        return box;
    };
    for (size_t leaf = 0; leaf < leaves.size(); ++leaf) {
        const size_t first = leaf * kLeafSize, end = std::min(count, first + kLeafSize);
        OivBoxLevels::Box box = triangleBox(first);
        for (size_t t = first + 1; t < end; ++t)
            OivBoxLevels::include(box, triangleBox(t));
        leaves[leaf] = box;
    }
    const uint32_t leafCount = uint32_t(leaves.size());
    m_Levels.build(std::move(leaves), 1, leafCount);
}

bool OivTriangleIndex::intersectWorld(const OivRay& ray, float minDistance, float& nearest,
                                      Hit& hit) const {
    const std::vector<SbVec3f>& points = m_Triangles.points;
    const std::vector<uint32_t>& corners = m_Triangles.triangleCorners;
    const uint32_t count = uint32_t(getWorldTriangleCount());
    int64_t best = -1;
    float bestU = 0.0f, bestV = 0.0f;
    m_Levels.visit(ray, minDistance, nearest, [&](uint32_t, uint32_t leaf) {
        const uint32_t end = std::min(count, (leaf + 1) * kLeafSize);
        for (uint32_t t = leaf * kLeafSize; t < end; ++t) {
            const uint32_t* corner = &corners[3 * size_t(t)];
            float u, v;
            if (ray.hitsTriangle(points[corner[0]], points[corner[1]], points[corner[2]],
                                 minDistance, nearest, u, v)) {
                best = t;
                bestU = u;
                bestV = v;
            }
        }
    });
    if (best < 0)
        return false;

    const uint32_t* corner = &corners[3 * size_t(best)];
    const std::vector<SbVec3f>& normals = m_Triangles.normals;
    hit.distance = nearest;
    hit.point = ray.getOrigin() + ray.getDirection() * nearest;
    const float w = 1.0f - bestU - bestV;
    const SbVec3f& p0 = points[corner[0]];
    hit.normal = OivRay::unitNormal(normals[corner[0]] * w + normals[corner[1]] * bestU +
                                        normals[corner[2]] * bestV,
                                    OivRay::cross(points[corner[1]] - p0, points[corner[2]] - p0));
    return true;
}

bool OivTriangleIndex::intersect(const SbLine& ray, float minDistance, float maxDistance,
                                 Hit& hit) const {
    // A ray or limit that is no number passes every test and would hit anything.
    if (!OivFinite::isFinite(ray.getPosition()) || !OivFinite::isFinite(ray.getDirection()) ||
        !(minDistance <= maxDistance))
        return false;
    const OivRay prepared(ray.getPosition(), ray.getDirection());
    // The limit is inclusive; the triangle test is strict.
    float nearest = std::nextafter(maxDistance, FLT_MAX);
    bool found = !m_Levels.isEmpty() && intersectWorld(prepared, minDistance, nearest, hit);
    for (const std::unique_ptr<OivObjectSurface>& surface : m_Triangles.surfaces)
        found = surface->intersect(prepared, minDistance, nearest, hit) || found;
    return found;
}
