// The surface of a pipe, computed from its centre line: one ring of points around every distinct
// centre-line point, each ring in the plane that bisects the joint (so neighbouring segments meet
// without gaps or overlaps), plus the outward direction of every ring point for each segment.
#ifndef OIVWINTAV_OIVPIPEGEOMETRY_H
#define OIVWINTAV_OIVPIPEGEOMETRY_H

#include <Inventor/SbVec3f.h>

#include <vector>

class OivPipeGeometry {
public:
    OivPipeGeometry(const SbVec3f* points, int numPoints, float radius, int numSides);

    bool isEmpty(void) const { return m_Rings.empty(); }
    int getNumSides(void) const { return m_NumSides; }
    int getNumRings(void) const { return int(m_Rings.size()); }
    // Point k (0..numSides-1) of ring r.
    const SbVec3f& getRingPoint(int r, int k) const { return m_Rings[r][k]; }
    // Outward unit normal of the tube wall at side k of segment s (between rings s and s+1).
    const SbVec3f& getSideNormal(int s, int k) const { return m_SideNormals[s][k]; }
    const SbVec3f& getCentre(int r) const { return m_Centres[r]; }
    // Unit direction of the tube at its start and at its end (towards the outside of the end).
    SbVec3f getStartDirection(void) const;
    SbVec3f getEndDirection(void) const;
    // Length along the centre line from the start to ring r.
    float getLengthTo(int r) const { return m_Lengths[r]; }

private:
    void build(float radius);
    bool isFinite(void) const;

    int m_NumSides;
    std::vector<SbVec3f> m_Centres;
    std::vector<float> m_Lengths;
    std::vector<std::vector<SbVec3f>> m_Rings;
    std::vector<std::vector<SbVec3f>> m_SideNormals;
};

#endif // OIVWINTAV_OIVPIPEGEOMETRY_H
