// A quad mesh (a terrain) searched in object space, with no triangles stored: a cell of the grid
// is found from its row and column, and each is split as Coin's quad strips split it, along the
// diagonal from its first corner. The leaves of the hierarchy are blocks of kBlock × kBlock
// cells, so the index holds a few bytes per triangle. The vertex normals are those Coin
// generates for a mesh without normals of its own, worked out at the hit alone.
#ifndef OIVWINTAV_OIVQUADGRID_H
#define OIVWINTAV_OIVQUADGRID_H

#include "tav/OivObjectSurface.h"

class OivQuadGrid : public OivObjectSurface {
public:
    // The mesh of `rows` × `columns` vertices (at least two each) from `coords` under `model`.
    OivQuadGrid(const SbMatrix& model, const SbVec3f* coords, int rows, int columns);

    // Builds the hierarchy; false, with nothing to search, when a coordinate is not a finite
    // number (such a mesh is left to Coin's own triangles).
    bool build(void) override;
    size_t getMemoryUsage(void) const override;

protected:
    bool findNearest(const OivRay& ray, float minDistance, float& nearest,
                     Candidate& best) const override;
    SbVec3f objectNormal(const Candidate& best) const override;

private:
    // Cells per side of a leaf.
    static constexpr int kBlock = 2;

    // The unit normal of the cell at (row, column), from its first corner.
    SbVec3f cellNormal(int row, int column) const;
    // The unit sum of the normals of the cells around a vertex.
    SbVec3f vertexNormal(int32_t coordinate) const;

    int m_Rows, m_Columns;
};

#endif // OIVWINTAV_OIVQUADGRID_H
