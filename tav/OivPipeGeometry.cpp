#include "tav/OivPipeGeometry.h"

#include "tav/OivFinite.h"

#include <Inventor/SbRotation.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMinSides = 3;
// Past this many sides a ring differs from a circle by less than a tenth of a pixel even where
// the pipe spans a whole screen; a count a file holds beyond it would only cost memory (gigabytes
// at the largest counts) and time.
constexpr int kMaxSides = 256;
// Ring points a pipe is given at most (and as many side normals): a pipe of very many points
// gets fewer sides, never fewer than kMinSides, rather than gigabytes of rings. Pipes of up to
// some 700 000 points keep the default 12 sides.
constexpr size_t kMaxRingPoints = size_t(1) << 23;
// A joint sharper than this (cosine of half the turn) is not mitred further: the mitre of a
// near U-turn would reach far out of the pipe.
constexpr float kMinMitreCosine = 0.25f;

// Any unit vector perpendicular to the unit vector d.
SbVec3f perpendicular(const SbVec3f& d) {
    const SbVec3f axis =
        std::fabs(d[0]) < 0.9f ? SbVec3f(1.0f, 0.0f, 0.0f) : SbVec3f(0.0f, 1.0f, 0.0f);
    SbVec3f p = d.cross(axis);
    p.normalize();
    return p;
}

// The points the pipe runs through: each point that is a number and far enough from the one
// before to give a direction (equal points, or points so close that the distance underflows,
// would not). Points at an infinity or that are no number are left out, so that what is drawn
// and bounded is the pipe through the others.
std::vector<SbVec3f> distinctPoints(const SbVec3f* points, int numPoints) {
    std::vector<SbVec3f> result;
    for (int i = 0; i < numPoints; ++i)
        if (OivFinite::isFinite(points[i]) &&
            (result.empty() || (points[i] - result.back()).length() > 0.0f))
            result.push_back(points[i]);
    return result;
}

template <class Values> bool allFinite(const Values& values) {
    for (const SbVec3f& value : values)
        if (!OivFinite::isFinite(value))
            return false;
    return true;
}

// The sides of a pipe of `rings` rings that asked for `asked` sides.
int sidesFor(int asked, size_t rings) {
    const size_t affordable = kMaxRingPoints / std::max<size_t>(rings, 1);
    const int most = int(std::clamp<size_t>(affordable, kMinSides, kMaxSides));
    return std::clamp(asked, kMinSides, most);
}

} // namespace

OivPipeGeometry::OivPipeGeometry(const SbVec3f* points, int numPoints, float radius, int numSides)
    : m_NumSides(kMinSides), m_Centres(distinctPoints(points, numPoints)) {
    m_NumSides = sidesFor(numSides, m_Centres.size());
    const int n = int(m_Centres.size());
    if (n < 2 || !(radius > 0.0f) || !std::isfinite(radius)) {
        m_Centres.clear();
        return;
    }
    build(radius);
    // Points and a radius that are numbers can still overflow (a segment from -3e38 to 3e38, a
    // radius of 1e38 around such points): such a pipe is not drawn rather than drawn and bounded
    // by infinities.
    if (!isFinite()) {
        m_Centres.clear();
        m_Lengths.clear();
        m_Rings.clear();
        m_SideNormals.clear();
    }
}

bool OivPipeGeometry::isFinite(void) const {
    if (!std::isfinite(m_Lengths.back()))
        return false;
    for (const std::vector<SbVec3f>& ring : m_Rings)
        if (!allFinite(ring))
            return false;
    for (const std::vector<SbVec3f>& normals : m_SideNormals)
        if (!allFinite(normals))
            return false;
    return true;
}

void OivPipeGeometry::build(float radius) {
    const int n = int(m_Centres.size());
    std::vector<SbVec3f> directions(n - 1);
    m_Lengths.assign(1, 0.0f);
    for (int i = 0; i + 1 < n; ++i) {
        directions[i] = m_Centres[i + 1] - m_Centres[i];
        m_Lengths.push_back(m_Lengths.back() + directions[i].normalize());
    }

    // The radial directions are carried from segment to segment by the smallest rotation, so the
    // tube does not twist around its centre line.
    std::vector<SbVec3f> radial(m_NumSides);
    const SbVec3f u = perpendicular(directions[0]);
    const SbVec3f v = directions[0].cross(u);
    for (int k = 0; k < m_NumSides; ++k) {
        const float angle = 2.0f * float(M_PI) * float(k) / float(m_NumSides);
        radial[k] = u * std::cos(angle) + v * std::sin(angle);
    }

    m_Rings.resize(n, std::vector<SbVec3f>(m_NumSides));
    for (int k = 0; k < m_NumSides; ++k)
        m_Rings[0][k] = m_Centres[0] + radial[k] * radius;
    for (int s = 0; s + 1 < n; ++s) {
        m_SideNormals.push_back(radial);
        const SbVec3f& d = directions[s];
        const bool joint = s + 2 < n;
        SbVec3f planeNormal = d;
        if (joint) {
            planeNormal = d + directions[s + 1];
            if (planeNormal.normalize() == 0.0f)
                planeNormal = d;
        }
        const float cosine = std::max(d.dot(planeNormal), kMinMitreCosine);
        // Each line along the segment's wall is cut by the joint's bisecting plane.
        for (int k = 0; k < m_NumSides; ++k) {
            const SbVec3f offset = radial[k] * radius;
            const float along = -offset.dot(planeNormal) / cosine;
            m_Rings[s + 1][k] = m_Centres[s + 1] + offset + d * along;
        }
        if (joint) {
            const SbRotation turn(d, directions[s + 1]);
            for (SbVec3f& r : radial)
                turn.multVec(r, r);
        }
    }
}

SbVec3f OivPipeGeometry::getStartDirection(void) const {
    SbVec3f d = m_Centres[0] - m_Centres[1];
    d.normalize();
    return d;
}

SbVec3f OivPipeGeometry::getEndDirection(void) const {
    const size_t n = m_Centres.size();
    SbVec3f d = m_Centres[n - 1] - m_Centres[n - 2];
    d.normalize();
    return d;
}
