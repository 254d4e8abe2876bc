#include "viewers/OivCurveResampler.h"

#include <Inventor/SbMatrix.h>

#include <algorithm>
#include <cmath>

namespace {

// No segment is cut into more than this many times the divisions: rounding can make a segment
// look a little longer than the whole curve, and a step that underflowed makes it look endless.
constexpr int kMaxPiecesPerDivision = 2;

void put(const SbVec3f& point, const SbMatrix* matrix, SbVec3f& out) {
    if (matrix)
        matrix->multVecMatrix(point, out);
    else
        out = point;
}

} // namespace

OivCurveResampler::OivCurveResampler(const SbVec3f* points, int numPoints, int divisions)
    : m_Points(points), m_NumPoints(points ? std::max(numPoints, 0) : 0),
      m_MaxPieces(kMaxPiecesPerDivision * std::max(divisions, 1)) {
    float length = 0.0f;
    for (int k = 1; k < m_NumPoints; ++k)
        length += (m_Points[k] - m_Points[k - 1]).length();
    m_Step = float(double(length) / double(std::max(divisions, 1)));
}

int OivCurveResampler::piecesOf(int segmentEnd) const {
    const SbVec3f& from = m_Points[segmentEnd - 1];
    const SbVec3f& to = m_Points[segmentEnd];
    const float dx = to[0] - from[0], dy = to[1] - from[1], dz = to[2] - from[2];
    const float pieces = std::sqrt(dx * dx + dy * dy + dz * dz) / m_Step;
    // Also false for a zero step (0 / 0) and for coordinates that are not numbers: the segment
    // then gives its end point only.
    if (!(pieces >= 2.0f))
        return 1;
    // Bounded before the conversion: a float out of the int range has no integer value.
    return int(std::min(pieces, float(m_MaxPieces)));
}

int OivCurveResampler::countPoints(void) const {
    int count = m_NumPoints > 0 ? 1 : 0;
    for (int k = 1; k < m_NumPoints; ++k)
        count += std::max(piecesOf(k) - 1, 1);
    return count;
}

int OivCurveResampler::resample(const SbMatrix* matrix, SbVec3f* out) const {
    if (m_NumPoints < 1)
        return 0;
    int written = 0;
    put(m_Points[0], matrix, out[written++]);
    for (int k = 1; k < m_NumPoints; ++k) {
        const SbVec3f& from = m_Points[k - 1];
        const SbVec3f& to = m_Points[k];
        const int m = piecesOf(k);
        if (m <= 1) {
            put(to, matrix, out[written++]);
            continue;
        }
        // m - 1 equal pieces, each at least one step long; the last cut point is the end point
        // but for rounding.
        const float d[3] = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
        const float pieces = float(m - 1);
        for (int t = 1; t <= m - 1; ++t)
            put(SbVec3f(d[0] * float(t) / pieces + from[0], d[1] * float(t) / pieces + from[1],
                        d[2] * float(t) / pieces + from[2]),
                matrix, out[written++]);
    }
    return written;
}
