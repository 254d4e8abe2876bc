// Finds, among a fixed list of points, the one nearest to a query point: by squared Euclidean
// distance computed in single precision as (p - q).sqrLength(), ties going to the lower index.
// The answer is exactly that of a plain loop over all points that keeps the first best, but the
// points are kept in runs of consecutive points with a bounding box each, and a run whose box is
// farther than the best point found so far is never looked at. Points along a curve lie in small
// boxes, so a query near the curve reads a few runs instead of the whole list.
//
// A point with a coordinate that is not a number never wins unless it is the first point and its
// own distance is not a number: then, as with the plain loop, the first point is the answer.
#ifndef OIVWINTAV_OIVNEARESTPOINTINDEX_H
#define OIVWINTAV_OIVNEARESTPOINTINDEX_H

#include <Inventor/SbVec3f.h>

#include <vector>

class OivNearestPointIndex {
public:
    // Replaces the points by a copy of `count` points (none when count < 1 or points is null).
    void build(const SbVec3f* points, int count);
    void clear(void);

    int getNumPoints(void) const { return m_NumPoints; }

    // Index of the point nearest to `query`, or -1 when there are no points.
    int findNearest(const SbVec3f& query) const;

    // The same answer for `count` points by reading every one of them in order: the rule
    // findNearest keeps, for checking it and for measuring what the index saves.
    static int scanNearest(const SbVec3f* points, int count, const SbVec3f& query);

private:
    float distanceTo(int index, const SbVec3f& query) const;
    void computeRunBounds(const SbVec3f& query) const;
    void scanRun(int run, const SbVec3f& query, float& bestDistance, int& bestIndex) const;

    int m_NumPoints = 0;
    int m_NumRuns = 0;
    // The points, one array per coordinate, so that a run is read as three short rows.
    std::vector<float> m_X, m_Y, m_Z;
    // Bounding box of each run, one array per bound.
    std::vector<float> m_MinX, m_MinY, m_MinZ, m_MaxX, m_MaxY, m_MaxZ;
    // Per query: the squared distance from the query to each run's box. Kept to spare an
    // allocation on every mouse move.
    mutable std::vector<float> m_RunBound;
};

#endif // OIVWINTAV_OIVNEARESTPOINTINDEX_H
