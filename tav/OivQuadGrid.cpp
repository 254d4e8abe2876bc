#include "tav/OivQuadGrid.h"

#include "tav/OivFinite.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

namespace {

// Scales to unit length; a zero vector stays as it is.
SbVec3f unit(SbVec3f v) {
    const float length = std::sqrt(v.dot(v));
    return length > 0.0f ? v / length : v;
}

// Blocks of `side` cells along `cells` cells.
uint32_t blocks(int cells, int side) {
    return uint32_t((cells + side - 1) / side);
}

} // namespace

OivQuadGrid::OivQuadGrid(const SbMatrix& model, const SbVec3f* coords, int rows, int columns)
    : OivObjectSurface(model, coords), m_Rows(rows), m_Columns(columns) {
    m_TriangleCount = 2 * size_t(rows - 1) * size_t(columns - 1);
}

bool OivQuadGrid::build(void) {
    const uint32_t blockRows = blocks(m_Rows - 1, kBlock);
    const uint32_t blockColumns = blocks(m_Columns - 1, kBlock);
    std::vector<OivBoxLevels::Box> leaves(size_t(blockRows) * blockColumns);
    bool finite = true;
    for (uint32_t blockRow = 0; blockRow < blockRows; ++blockRow) {
        // The vertices of a block's cells: one row and column more than the cells.
        const int firstRow = int(blockRow) * kBlock;
        const int endRow = std::min(m_Rows, firstRow + kBlock + 1);
        for (uint32_t blockColumn = 0; blockColumn < blockColumns; ++blockColumn) {
            const int firstColumn = int(blockColumn) * kBlock;
            const int endColumn = std::min(m_Columns, firstColumn + kBlock + 1);
            const SbVec3f& first = m_Coords[size_t(firstRow) * m_Columns + firstColumn];
            OivBoxLevels::Box box{first, first};
            for (int row = firstRow; row < endRow; ++row)
                for (int column = firstColumn; column < endColumn; ++column) {
                    const SbVec3f& point = m_Coords[size_t(row) * m_Columns + column];
                    finite = finite && OivFinite::isFinite(point);
                    OivBoxLevels::include(box, point);
                }
            leaves[size_t(blockRow) * blockColumns + blockColumn] = box;
        }
    }
    if (!finite)
        return false;
    m_Levels.build(std::move(leaves), blockRows, blockColumns);
    return true;
}

size_t OivQuadGrid::getMemoryUsage(void) const {
    return sizeof(*this) + m_Levels.getMemoryUsage();
}

bool OivQuadGrid::findNearest(const OivRay& ray, float minDistance, float& nearest,
                              Candidate& best) const {
    bool found = false;
    m_Levels.visit(ray, minDistance, nearest, [&](uint32_t blockRow, uint32_t blockColumn) {
        const int firstRow = int(blockRow) * kBlock, firstColumn = int(blockColumn) * kBlock;
        const int endRow = std::min(m_Rows - 1, firstRow + kBlock);
        const int endColumn = std::min(m_Columns - 1, firstColumn + kBlock);
        for (int row = firstRow; row < endRow; ++row)
            for (int column = firstColumn; column < endColumn; ++column) {
                const int32_t a = row * m_Columns + column, b = a + m_Columns, c = a + 1, d = b + 1;
                found |= tryTriangle(ray, a, b, d, minDistance, nearest, best);
                found |= tryTriangle(ray, a, d, c, minDistance, nearest, best);
            }
    });
    return found;
}

SbVec3f OivQuadGrid::cellNormal(int row, int column) const {
    const SbVec3f& corner = m_Coords[size_t(row) * m_Columns + column];
    return unit(OivRay::cross(m_Coords[size_t(row + 1) * m_Columns + column] - corner,
                              m_Coords[size_t(row) * m_Columns + column + 1] - corner));
}

SbVec3f OivQuadGrid::vertexNormal(int32_t coordinate) const {
    // The winding does not matter: Coin negates the cells' and then the vertices' normals alike.
    const int row = coordinate / m_Columns, column = coordinate % m_Columns;
    const bool below = row + 1 < m_Rows, above = row > 0;
    const bool right = column + 1 < m_Columns, left = column > 0;
    SbVec3f sum(0.0f, 0.0f, 0.0f);
    if (below && right)
        sum += cellNormal(row, column);
    if (above && right)
        sum += cellNormal(row - 1, column);
    if (above && left)
        sum += cellNormal(row - 1, column - 1);
    if (below && left)
        sum += cellNormal(row, column - 1);
    return unit(sum);
}

SbVec3f OivQuadGrid::objectNormal(const Candidate& best) const {
    const float w = 1.0f - best.u - best.v;
    return vertexNormal(best.coordinates[0]) * w + vertexNormal(best.coordinates[1]) * best.u +
           vertexNormal(best.coordinates[2]) * best.v;
}
