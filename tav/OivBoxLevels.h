// A bounding volume hierarchy over a rows × columns array of leaf boxes, with no pointers or
// indices: each level pairs neighbouring boxes of the level below along its longer side (the
// columns when they are as many as the rows), until one box holds everything. A list of leaves
// is one row; the cells of a grid keep their rows and columns, so a leaf is found from its place
// alone. The boxes take about twice the leaves' memory.
#ifndef OIVWINTAV_OIVBOXLEVELS_H
#define OIVWINTAV_OIVBOXLEVELS_H

#include "tav/OivRay.h"

#include <Inventor/SbVec3f.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class OivBoxLevels {
public:
    using Box = OivRay::Box;

    // Widens `box` to hold `other`.
    static void include(Box& box, const Box& other) {
        for (int axis = 0; axis < 3; ++axis) {
            box.min[axis] = std::min(box.min[axis], other.min[axis]);
            box.max[axis] = std::max(box.max[axis], other.max[axis]);
        }
    }
    // Widens `box` to hold `point`.
    static void include(Box& box, const SbVec3f& point) { include(box, Box{point, point}); }

    // Replaces the levels with those over `leaves`, `rows` × `columns` of them in row order.
    void build(std::vector<Box>&& leaves, uint32_t rows, uint32_t columns);
    void clear(void) { m_Levels.clear(); }
    bool isEmpty(void) const { return m_Levels.empty(); }
    // Bytes the levels hold.
    size_t getMemoryUsage(void) const;

    // Calls leaf(row, column) for each leaf the ray enters within [minDistance, nearest], the
    // nearer of two neighbours first; `leaf` may lower `nearest` (a hit found), which then rules
    // out the boxes behind it.
    template <typename Leaf>
    void visit(const OivRay& ray, float minDistance, const float& nearest, const Leaf& leaf) const;
    // Calls leaf(row, column) for each leaf whose box passes `test(box)`, which every box that
    // holds a passing one passes too.
    template <typename Test, typename Leaf>
    void visitWhere(const Test& test, const Leaf& leaf) const;
    // Whether `box` holds `point`.
    static bool holds(const Box& box, const SbVec3f& point) {
        for (int axis = 0; axis < 3; ++axis)
            if (point[axis] < box.min[axis] || point[axis] > box.max[axis])
                return false;
        return true;
    }

private:
    struct Level {
        std::vector<Box> boxes;
        uint32_t rows, columns;
        bool pairsRows; // its boxes pair rows of the level below, else columns
    };
    // Levels of a hierarchy over at most 2^32 × 2^32 leaves.
    static constexpr int kMaxLevels = 66;

    std::vector<Level> m_Levels; // m_Levels[0]: the leaves; back(): the root alone
};

template <typename Leaf>
void OivBoxLevels::visit(const OivRay& ray, float minDistance, const float& nearest,
                         const Leaf& leaf) const {
    if (m_Levels.empty())
        return;
    // Boxes the ray enters, with the entry distance: a box passed its slab test when it was
    // pushed, and only a nearer hit found since can rule it out.
    struct Pending {
        uint32_t level, row, column;
        float entry;
    };
    Pending stack[2 * kMaxLevels];
    int top = 0;
    const uint32_t rootLevel = uint32_t(m_Levels.size() - 1);
    float rootEntry;
    if (ray.entersBox(m_Levels[rootLevel].boxes[0], minDistance, nearest, rootEntry))
        stack[top++] = Pending{rootLevel, 0, 0, rootEntry};
    while (top > 0) {
        const Pending pending = stack[--top];
        if (pending.entry > nearest)
            continue;
        if (pending.level == 0) {
            leaf(pending.row, pending.column);
            continue;
        }
        // Visit the nearer child first, so the farther one is mostly culled by `nearest`.
        const Level& below = m_Levels[pending.level - 1];
        const bool pairsRows = m_Levels[pending.level].pairsRows;
        Pending children[2];
        int found = 0;
        for (uint32_t k = 0; k < 2; ++k) {
            const uint32_t row = pairsRows ? 2 * pending.row + k : pending.row;
            const uint32_t column = pairsRows ? pending.column : 2 * pending.column + k;
            float entry;
            if (row < below.rows && column < below.columns &&
                ray.entersBox(below.boxes[size_t(row) * below.columns + column], minDistance,
                              nearest, entry))
                children[found++] = Pending{pending.level - 1, row, column, entry};
        }
        if (found == 2 && children[0].entry < children[1].entry)
            std::swap(children[0], children[1]);
        for (int i = 0; i < found; ++i)
            stack[top++] = children[i];
    }
}

template <typename Test, typename Leaf>
void OivBoxLevels::visitWhere(const Test& test, const Leaf& leaf) const {
    if (m_Levels.empty() || !test(m_Levels.back().boxes[0]))
        return;
    struct Pending {
        uint32_t level, row, column;
    };
    Pending stack[2 * kMaxLevels];
    int top = 0;
    stack[top++] = Pending{uint32_t(m_Levels.size() - 1), 0, 0};
    while (top > 0) {
        const Pending pending = stack[--top];
        if (pending.level == 0) {
            leaf(pending.row, pending.column);
            continue;
        }
        const Level& below = m_Levels[pending.level - 1];
        const bool pairsRows = m_Levels[pending.level].pairsRows;
        for (uint32_t k = 0; k < 2; ++k) {
            const uint32_t row = pairsRows ? 2 * pending.row + k : pending.row;
            const uint32_t column = pairsRows ? pending.column : 2 * pending.column + k;
            if (row < below.rows && column < below.columns &&
                test(below.boxes[size_t(row) * below.columns + column]))
                stack[top++] = Pending{pending.level - 1, row, column};
        }
    }
}

#endif // OIVWINTAV_OIVBOXLEVELS_H
