#include "viewers/OivNearestPointIndex.h"

#include <algorithm>
#include <limits>

namespace {

// Points per run. Short enough that a run's box hugs the curve, long enough that the boxes are
// few compared with the points.
constexpr int kRunLength = 128;

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// How far `q` lies outside [low, high] along one axis, rounded like the subtraction of a point
// inside: rounding keeps order, so no point of the run comes out nearer than its box. Written as
// selections of values, which the compiler computes for many runs at once.
inline float gap(float low, float high, float q) {
    const float below = low - q;
    const float above = q - high;
    const float outside = above > below ? above : below;
    return outside > 0.0f ? outside : 0.0f;
}

} // namespace

void OivNearestPointIndex::clear(void) {
    build(nullptr, 0);
}

void OivNearestPointIndex::build(const SbVec3f* points, int count) {
    m_NumPoints = points && count > 0 ? count : 0;
    m_NumRuns = (m_NumPoints + kRunLength - 1) / kRunLength;
    for (std::vector<float>* coordinate : {&m_X, &m_Y, &m_Z})
        coordinate->resize(m_NumPoints);
    for (std::vector<float>* bound : {&m_MinX, &m_MinY, &m_MinZ})
        bound->assign(m_NumRuns, kInfinity);
    for (std::vector<float>* bound : {&m_MaxX, &m_MaxY, &m_MaxZ})
        bound->assign(m_NumRuns, -kInfinity);
    m_RunBound.resize(m_NumRuns);
    for (int i = 0; i < m_NumPoints; ++i) {
        const SbVec3f& p = points[i];
        m_X[i] = p[0];
        m_Y[i] = p[1];
        m_Z[i] = p[2];
        const int run = i / kRunLength;
        // Comparisons with a coordinate that is not a number fail, so such a point widens no box:
        // it can never be the nearest anyway.
        if (p[0] < m_MinX[run])
            m_MinX[run] = p[0];
        if (p[1] < m_MinY[run])
            m_MinY[run] = p[1];
        if (p[2] < m_MinZ[run])
            m_MinZ[run] = p[2];
        if (p[0] > m_MaxX[run])
            m_MaxX[run] = p[0];
        if (p[1] > m_MaxY[run])
            m_MaxY[run] = p[1];
        if (p[2] > m_MaxZ[run])
            m_MaxZ[run] = p[2];
    }
}

float OivNearestPointIndex::distanceTo(int index, const SbVec3f& query) const {
    return (SbVec3f(m_X[index], m_Y[index], m_Z[index]) - query).sqrLength();
}

void OivNearestPointIndex::computeRunBounds(const SbVec3f& query) const {
    const float qx = query[0], qy = query[1], qz = query[2];
    // Plain pointers that the compiler knows apart, so that the loop runs on whole vectors.
    const float* __restrict minX = m_MinX.data();
    const float* __restrict minY = m_MinY.data();
    const float* __restrict minZ = m_MinZ.data();
    const float* __restrict maxX = m_MaxX.data();
    const float* __restrict maxY = m_MaxY.data();
    const float* __restrict maxZ = m_MaxZ.data();
    float* __restrict bound = m_RunBound.data();
    for (int run = 0; run < m_NumRuns; ++run) {
        const float gx = gap(minX[run], maxX[run], qx);
        const float gy = gap(minY[run], maxY[run], qy);
        const float gz = gap(minZ[run], maxZ[run], qz);
        bound[run] = gx * gx + gy * gy + gz * gz;
    }
}

void OivNearestPointIndex::scanRun(int run, const SbVec3f& query, float& bestDistance,
                                   int& bestIndex) const {
    const int begin = run * kRunLength;
    const int length = std::min(kRunLength, m_NumPoints - begin);
    const float qx = query[0], qy = query[1], qz = query[2];
    // Same operations in the same order as SbVec3f's subtraction and sqrLength.
    float distance[kRunLength];
    for (int k = 0; k < length; ++k) {
        const float dx = m_X[begin + k] - qx;
        const float dy = m_Y[begin + k] - qy;
        const float dz = m_Z[begin + k] - qz;
        distance[k] = dx * dx + dy * dy + dz * dz;
    }
    for (int k = 0; k < length; ++k) {
        const int index = begin + k;
        if (distance[k] < bestDistance || (distance[k] == bestDistance && index < bestIndex)) {
            bestDistance = distance[k];
            bestIndex = index;
        }
    }
}

int OivNearestPointIndex::findNearest(const SbVec3f& query) const {
    if (m_NumPoints == 0)
        return -1;
    float bestDistance = distanceTo(0, query);
    int bestIndex = 0;
    // Nothing is strictly nearer than a distance that is not a number.
    if (bestDistance != bestDistance)
        return 0;
    computeRunBounds(query);
    // The run with the nearest box usually holds the answer; found first, it rules out the rest.
    const int nearestRun =
        int(std::min_element(m_RunBound.begin(), m_RunBound.end()) - m_RunBound.begin());
    scanRun(nearestRun, query, bestDistance, bestIndex);
    for (int run = 0; run < m_NumRuns; ++run) {
        const float bound = m_RunBound[run];
        // A run can still win only with a point strictly nearer, or as near with a lower index.
        const bool mayWin =
            bound < bestDistance || (bound == bestDistance && run * kRunLength < bestIndex);
        if (run != nearestRun && mayWin)
            scanRun(run, query, bestDistance, bestIndex);
    }
    return bestIndex;
}

int OivNearestPointIndex::scanNearest(const SbVec3f* points, int count, const SbVec3f& query) {
    if (!points || count < 1)
        return -1;
    int best = 0;
    float bestDistance = (points[0] - query).sqrLength();
    for (int i = 1; i < count; ++i) {
        const float distance = (points[i] - query).sqrLength();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}
