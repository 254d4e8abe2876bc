// Resamples a polyline for a curve viewer: each segment is cut into pieces at least one step
// long, the step being the whole length divided by a fixed number of divisions, so a curve of n
// points gives at most about n + divisions points however long it is. The first point comes
// first, then each segment adds its inner cut points and its end point; a segment shorter than two
// steps adds only its end point. Lengths and cut points are computed in single precision on the
// points as given; only the points written out are transformed, when a matrix is given.
#ifndef OIVWINTAV_OIVCURVERESAMPLER_H
#define OIVWINTAV_OIVCURVERESAMPLER_H

#include <Inventor/SbVec3f.h>

class SbMatrix;

class OivCurveResampler {
public:
    // The curve is points[0] .. points[numPoints - 1]; the resampler reads them, keeps no copy.
    OivCurveResampler(const SbVec3f* points, int numPoints, int divisions);

    // The whole length, summed in single precision, divided by the divisions in double precision.
    float getStep(void) const { return m_Step; }

    // How many points resample writes.
    int countPoints(void) const;

    // Writes the resampled points to `out` (room for countPoints points), each transformed by
    // `matrix` (object to world) when it is not null. Returns how many were written.
    int resample(const SbMatrix* matrix, SbVec3f* out) const;

private:
    int piecesOf(int segmentEnd) const;

    const SbVec3f* m_Points;
    int m_NumPoints;
    int m_MaxPieces;
    float m_Step;
};

#endif // OIVWINTAV_OIVCURVERESAMPLER_H
