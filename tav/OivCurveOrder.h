// Orders items along a space-filling curve through the cells of a box, so that items close in
// space end up close in the order, as the leaves of a bounding volume hierarchy want them. A flat
// box (a terrain, a horizon) is ordered along a Hilbert curve over its two wide axes: consecutive
// items then always lie in neighbouring cells, so runs of them make compact leaves, where a curve
// through three dimensions leaves and re-enters a thin sheet all the time. Other boxes are ordered
// along a Morton curve through cubic cells.
//
// Sorting is by buckets: a first pass makes each item's code once and counts the items of each
// bucket (cells that share the top bits of their codes), a second puts them there with their
// codes, keeping their order, and each bucket, small enough to stay in cache, is then sorted by
// the codes' other bits, and handed to the caller while its items are still in cache. Besides
// the values' own array, a code per item is held (two while they are put in their buckets),
// and a bucket's scratch.
#ifndef OIVWINTAV_OIVCURVEORDER_H
#define OIVWINTAV_OIVCURVEORDER_H

#include "tav/OivLargeArray.h"

#include <Inventor/SbVec3f.h>

#include <algorithm>
#include <cstdint>
#include <vector>

class OivCurveOrder {
public:
    // Cells over the box from `low` to `high`; points outside it take the nearest cell.
    OivCurveOrder(const SbVec3f& low, const SbVec3f& high);

    // Where the cell of `point` lies along the curve; a point that is no number goes to the
    // first cell.
    uint32_t code(const SbVec3f& point) const {
        return m_Flat ? hilbertCode(point) : mortonCode(point);
    }

    // Writes `count` values to `values` in the order of their points along the curve, values of
    // one cell in the order `visit` gives them. visit(emit) calls emit(value) for each value,
    // in the same order each time it is called (twice); pointOf(value) is the value's point,
    // read once; placed(first, end) is called once values [first, end) have their places, for
    // runs that follow each other to the end, once the sort holds only one code per value.
    template <typename Visit, typename PointOf, typename Placed>
    void sort(uint32_t* values, uint32_t count, const Visit& visit, const PointOf& pointOf,
              const Placed& placed) const;

private:
    // A box is flat when its narrowest extent is at most this part of the middle one.
    static constexpr float kFlatness = 0.25f;
    // The top bits of a code choose its bucket: few enough buckets that putting items in them
    // writes to few places at once.
    static constexpr int kTopShift = 24;
    static constexpr uint32_t kTopBuckets = 1u << (32 - kTopShift);

    static uint32_t topDigit(uint32_t code) { return code >> kTopShift; }
    // Orders a bucket's `count` values, whose codes are `codes`, by the code bits below the top
    // digit, keeping the order of equal ones; `scratch` holds `count` items.
    static void sortBucket(const uint32_t* codes, uint32_t count, uint32_t* values,
                           uint64_t* scratch);

    // The cell of `point` along `axis`.
    uint32_t cell(const SbVec3f& point, int axis) const {
        const float offset = (point[axis] - m_Low[axis]) * m_Scale;
        return uint32_t(offset >= 0.0f ? (offset < m_MaxCell ? offset : m_MaxCell) : 0.0f);
    }
    uint32_t mortonCode(const SbVec3f& point) const;
    uint32_t hilbertCode(const SbVec3f& point) const;

    bool m_Flat;
    int m_WideAxes[2]; // of a flat box
    SbVec3f m_Low;
    float m_Scale;   // cells per unit
    float m_MaxCell; // the last cell along an axis
};

template <typename Visit, typename PointOf, typename Placed>
void OivCurveOrder::sort(uint32_t* values, uint32_t count, const Visit& visit,
                         const PointOf& pointOf, const Placed& placed) const {
    std::vector<uint32_t> starts(kTopBuckets + 1, 0);
    OivLargeArray<uint32_t> codes(count); // in the order of the visit
    uint32_t visited = 0;
    visit([&](uint32_t value) {
        const uint32_t itemCode = code(pointOf(value));
        codes[visited++] = itemCode;
        ++starts[topDigit(itemCode) + 1];
    });
    uint32_t largest = 0;
    for (uint32_t bucket = 0; bucket < kTopBuckets; ++bucket) {
        largest = std::max(largest, starts[bucket + 1]);
        starts[bucket + 1] += starts[bucket];
    }
    std::vector<uint32_t> next(starts.begin(), starts.end() - 1);
    OivLargeArray<uint32_t> placedCodes(count); // in the order of the buckets
    visited = 0;
    visit([&](uint32_t value) {
        const uint32_t itemCode = codes[visited++];
        const uint32_t place = next[topDigit(itemCode)]++;
        values[place] = value;
        placedCodes[place] = itemCode;
    });
    codes.reset();
    next = std::vector<uint32_t>();
    std::vector<uint64_t> scratch(largest);
    for (uint32_t bucket = 0; bucket < kTopBuckets; ++bucket) {
        const uint32_t first = starts[bucket], size = starts[bucket + 1] - first;
        if (size == 0)
            continue;
        sortBucket(&placedCodes[first], size, values + first, scratch.data());
        placed(first, first + size);
    }
}

#endif // OIVWINTAV_OIVCURVEORDER_H
