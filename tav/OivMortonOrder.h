// Orders items along a Morton curve through the cells of a box, so that items close in space
// end up close in the order, as the leaves of a bounding volume hierarchy want them. An item is
// a 64-bit number: its cell's code in the upper half, a value of the caller's (an index) in the
// lower; sorting takes one pass that gathers neighbouring cells into buckets in place, then
// sorts each bucket, small enough to stay in cache, by the codes' other digits.
#ifndef OIVWINTAV_OIVMORTONORDER_H
#define OIVWINTAV_OIVMORTONORDER_H

#include <Inventor/SbVec3f.h>

#include <cstdint>

class OivMortonOrder {
public:
    // Cubic cells over the box from `low` to `high`; points outside it take the nearest cell.
    OivMortonOrder(const SbVec3f& low, const SbVec3f& high);

    // The item of `value` at `point`; a point that is no number goes to the first cell.
    uint64_t item(const SbVec3f& point, uint32_t value) const;

    // Writes the values of `count` items to `values` in the order of their codes, items of one
    // code in any order; `items` is left in any order.
    static void sort(uint64_t* items, uint32_t count, uint32_t* values);

private:
    SbVec3f m_Low;
    float m_Scale; // cells per unit
};

#endif // OIVWINTAV_OIVMORTONORDER_H
