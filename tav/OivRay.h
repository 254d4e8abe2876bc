// A ray made ready for the tests a surface index runs millions of times: its reciprocal
// direction for box slabs, and the degeneracy limit of its triangle test. The same ray can be
// taken to a shape's object space, where its direction keeps the length the model matrix gives
// it, so that distances along it stay those of the world ray.
#ifndef OIVWINTAV_OIVRAY_H
#define OIVWINTAV_OIVRAY_H

#include "tav/OivFinite.h"

#include <Inventor/SbVec3f.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

class OivRay {
public:
    // An axis-aligned box.
    struct Box {
        SbVec3f min, max;
    };
    // Inline, unlike SbVec3f's own, which costs a library call per triangle.
    static SbVec3f cross(const SbVec3f& a, const SbVec3f& b) {
        return SbVec3f(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                       a[0] * b[1] - a[1] * b[0]);
    }

    // Where a ray meets a surface.
    struct Hit {
        SbVec3f point; // world space
        // World space, unit length, interpolated from the vertex normals; for a flat face (its
        // vertex normals zero) the face's own normal, which may point to either side.
        SbVec3f normal;
        float distance; // along the ray's direction from its start
    };

    // `interpolated` at unit length, or the face's normal `face` at unit length where normals at
    // an infinity, that are no number or that cancel out do not say which way the face looks.
    static SbVec3f unitNormal(SbVec3f interpolated, SbVec3f face) {
        if (interpolated.normalize() > 0.0f && OivFinite::isFinite(interpolated))
            return interpolated;
        face.normalize();
        return face;
    }

    // A ray from `origin` along `direction`; distances are measured in lengths of `direction`.
    OivRay(const SbVec3f& origin, const SbVec3f& direction)
        : m_Origin(origin), m_Direction(direction) {
        for (int axis = 0; axis < 3; ++axis) {
            // A zero component taken as a tiny one of the same sign: a ray along a slab's planes
            // then enters it at once or never, also from a point on a plane, where an infinite
            // reciprocal would give NaN.
            const float d = direction[axis];
            m_Inverse[axis] = 1.0f / (d != 0.0f ? d : std::copysign(kTinyDirection, d));
        }
        // Coin tests triangles along a unit direction; a longer one scales the determinant.
        m_MinDeterminant = kMinDeterminant * std::sqrt(direction.dot(direction));
    }

    const SbVec3f& getOrigin(void) const { return m_Origin; }
    const SbVec3f& getDirection(void) const { return m_Direction; }

    // Entry distance into `box` within [minDistance, maxDistance] (slab test); false when the
    // ray misses it there. The reciprocal holds no infinities, so no slab yields NaN.
    bool entersBox(const Box& box, float minDistance, float maxDistance, float& entry) const {
        float near = minDistance, far = maxDistance;
        for (int axis = 0; axis < 3; ++axis) {
            const float t0 = (box.min[axis] - m_Origin[axis]) * m_Inverse[axis];
            const float t1 = (box.max[axis] - m_Origin[axis]) * m_Inverse[axis];
            near = std::max(near, std::min(t0, t1));
            far = std::min(far, std::max(t0, t1));
        }
        entry = near;
        return near <= far;
    }

    // Möller-Trumbore, as Coin's SoRayPickAction::intersect does it: true when the triangle is
    // hit at a distance in [minDistance, distance), which then becomes the hit's, with the
    // barycentric coordinates of corners 1 and 2 in `u` and `v`. Both faces count.
    bool hitsTriangle(const SbVec3f& p0, const SbVec3f& p1, const SbVec3f& p2, float minDistance,
                      float& distance, float& u, float& v) const {
        const SbVec3f edge1 = p1 - p0, edge2 = p2 - p0;
        const SbVec3f p = cross(m_Direction, edge2);
        // Each test is written to fail for NaN, which edges that overflow (corners of a size
        // near the float range) give: such a triangle is never hit, and never at a distance that
        // is none.
        const float determinant = edge1.dot(p);
        if (!(std::fabs(determinant) >= m_MinDeterminant))
            return false;
        const float inverse = 1.0f / determinant;
        const SbVec3f s = m_Origin - p0;
        const float a = s.dot(p) * inverse;
        if (!(a >= -kEdgeSlack && a <= 1.0f + kEdgeSlack))
            return false;
        const SbVec3f q = cross(s, edge1);
        const float b = m_Direction.dot(q) * inverse;
        if (!(b >= -kEdgeSlack && a + b <= 1.0f + kEdgeSlack))
            return false;
        const float d = edge2.dot(q) * inverse;
        if (!(d >= minDistance && d < distance))
            return false;
        distance = d;
        u = a;
        v = b;
        return true;
    }

private:
    // Stands in for a zero direction component: its reciprocal is finite, and times any
    // coordinate difference of a scene it stays finite or overflows to an infinity of the right
    // sign.
    static constexpr float kTinyDirection = 1.0e-30f;
    // How far outside a triangle (in barycentric coordinates) a ray still hits it: a ray through
    // the edge two triangles share would otherwise pass between them where rounding puts it
    // just outside both (Coin's own test works in double precision).
    static constexpr float kEdgeSlack = 1.0e-6f;
    // Same degeneracy limit as Coin's own ray-triangle test, so both skip the same slivers.
    static constexpr float kMinDeterminant = FLT_EPSILON;

    SbVec3f m_Origin, m_Direction, m_Inverse;
    float m_MinDeterminant;
};

#endif // OIVWINTAV_OIVRAY_H
