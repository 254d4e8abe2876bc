// A curve viewer's tracking curve: a copy of the polyline it was given, in world space, and a
// dense resampling of it that the camera snaps to, arranged for the nearest-point search that
// every snapping move makes. A polyline given with an object-to-world matrix (picked shapes, long
// paths) is cut finer than one given in world space.
//
// The resampled buffer is made once, large enough for most curves, and kept by later curves, so
// that replacing a curve copies its points without asking for memory again; clearing the curve
// gives the memory back.
#ifndef OIVWINTAV_OIVTRACKINGCURVE_H
#define OIVWINTAV_OIVTRACKINGCURVE_H

#include "viewers/OivNearestPointIndex.h"

#include <Inventor/SbVec3f.h>

#include <vector>

class SbMatrix;

class OivTrackingCurve {
public:
    // Makes points[0] .. points[numPoints - 1] (at least one point), transformed by `matrix` when
    // it is not null, the curve, replacing any earlier one.
    void set(const SbVec3f* points, int numPoints, const SbMatrix* matrix);
    // Forgets the curve and frees its points.
    void clear(void);

    // Whether a curve is set.
    bool isDefined(void) const { return m_Defined; }

    // The input points in world space; null without a curve.
    SbVec3f* getInputPoints(void) { return m_Input.empty() ? nullptr : m_Input.data(); }
    int getNumInputPoints(void) const { return int(m_Input.size()); }

    // The resampled points in world space; null without a curve.
    const SbVec3f* getResampledPoints(void) const;
    int getNumResampledPoints(void) const { return int(m_Resampled.size()); }

    // The resampled point nearest to `query`, or null without a curve.
    const SbVec3f* findNearest(const SbVec3f& query) const;

private:
    void copyInput(const SbVec3f* points, int numPoints, const SbMatrix* matrix);
    void resample(const SbVec3f* points, int numPoints, const SbMatrix* matrix);

    bool m_Defined = false;
    std::vector<SbVec3f> m_Input;
    std::vector<SbVec3f> m_Resampled;
    OivNearestPointIndex m_ResampledIndex;
};

#endif // OIVWINTAV_OIVTRACKINGCURVE_H
