#include "tav/OivCurveOrder.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Morton codes: this many bits per axis; Hilbert codes: this many per wide axis.
constexpr int kMortonBits = 10;
constexpr uint32_t kMortonCells = 1u << kMortonBits;
constexpr int kHilbertBits = 16;
constexpr uint32_t kHilbertCells = 1u << kHilbertBits;
// A Hilbert code is made this many bits of each axis at a time, through a table.
constexpr int kStepBits = 4;
constexpr uint32_t kStepMask = (1u << kStepBits) - 1;
// The curve's turn so far: whether both axes are flipped, and whether they are swapped.
constexpr uint32_t kHilbertStates = 4;
constexpr uint32_t kHilbertSteps = kHilbertStates << (2 * kStepBits);
// Within a bucket, the codes are sorted by this many bits below their top digit: cells finer
// than those of the code without its lowest bits hold about one leaf's items of the largest
// surfaces, kept in the order they came in.
constexpr int kRadixBits = 12;
constexpr int kIgnoredBits = 8;
constexpr uint32_t kBuckets = 1u << kRadixBits;
using DigitCounts = std::array<uint32_t, kBuckets>;

// The bits of a 10-bit value spread to every third bit.
uint32_t spreadBits(uint32_t v) {
    v = (v | (v << 16)) & 0x030000FFu;
    v = (v | (v << 8)) & 0x0300F00Fu;
    v = (v | (v << 4)) & 0x030C30C3u;
    v = (v | (v << 2)) & 0x09249249u;
    return v;
}

// Three lookups per code instead of spreading the bits of three axes.
const std::array<uint32_t, kMortonCells>& spreadTable() {
    static const std::array<uint32_t, kMortonCells> kSpread = [] {
        std::array<uint32_t, kMortonCells> table{};
        for (uint32_t v = 0; v < table.size(); ++v)
            table[v] = spreadBits(v);
        return table;
    }();
    return kSpread;
}

struct HilbertStep {
    uint8_t digits; // the code's next 2 × kStepBits bits
    uint8_t next;   // the state after them
};

// The Hilbert curve a bit at a time: in each quadrant the curve is the whole one turned, the
// quadrants visited in the order 0, 1, 3, 2 of (x, y) bits as turned so far.
HilbertStep hilbertStep(uint32_t state, uint32_t x, uint32_t y) {
    uint32_t flip = state & 1, swap = state >> 1, digits = 0;
    for (int bit = kStepBits - 1; bit >= 0; --bit) {
        uint32_t bx = ((x >> bit) & 1) ^ flip, by = ((y >> bit) & 1) ^ flip;
        const uint32_t swapped = (bx ^ by) & swap;
        bx ^= swapped;
        by ^= swapped;
        digits = (digits << 2) | ((3 * bx) ^ by);
        const uint32_t turn = by ^ 1;
        flip ^= bx & turn;
        swap ^= turn;
    }
    return HilbertStep{uint8_t(digits), uint8_t(flip | (swap << 1))};
}

const std::array<HilbertStep, kHilbertSteps>& hilbertTable() {
    static const std::array<HilbertStep, kHilbertSteps> kSteps = [] {
        std::array<HilbertStep, kHilbertSteps> table{};
        for (uint32_t i = 0; i < kHilbertSteps; ++i)
            table[i] =
                hilbertStep(i >> (2 * kStepBits), (i >> kStepBits) & kStepMask, i & kStepMask);
        return table;
    }();
    return kSteps;
}

uint32_t digit(uint64_t item) {
    return uint32_t(item >> (32 + kIgnoredBits)) & (kBuckets - 1);
}

// Turns the counts of each digit into the offsets where its items start.
void countsToOffsets(DigitCounts& counts) {
    uint32_t sum = 0;
    for (uint32_t& offset : counts) {
        const uint32_t count = offset;
        offset = sum;
        sum += count;
    }
}

} // namespace

OivCurveOrder::OivCurveOrder(const SbVec3f& low, const SbVec3f& high) : m_Low(low) {
    const SbVec3f extent = high - low;
    int narrowest = 0;
    for (int axis = 1; axis < 3; ++axis)
        if (extent[axis] < extent[narrowest])
            narrowest = axis;
    m_WideAxes[0] = narrowest == 0 ? 1 : 0;
    m_WideAxes[1] = narrowest == 2 ? 1 : 2;
    const float middle = std::min(extent[m_WideAxes[0]], extent[m_WideAxes[1]]);
    m_Flat = extent[narrowest] <= kFlatness * middle;
    // Cells are squares or cubes, so that a surface is not cut as often across its narrow extent
    // as along its wide ones.
    const float cells = m_Flat ? float(kHilbertCells - 1) : float(kMortonCells - 1);
    const float widest = std::max({extent[0], extent[1], extent[2]});
    m_Scale = widest > 0.0f ? cells / widest : 0.0f;
    m_MaxCell = cells;
}

uint32_t OivCurveOrder::mortonCode(const SbVec3f& point) const {
    const std::array<uint32_t, kMortonCells>& spread = spreadTable();
    uint32_t code = 0;
    for (int axis = 0; axis < 3; ++axis)
        code |= spread[cell(point, axis)] << axis;
    return code;
}

uint32_t OivCurveOrder::hilbertCode(const SbVec3f& point) const {
    const std::array<HilbertStep, kHilbertSteps>& steps = hilbertTable();
    const uint32_t x = cell(point, m_WideAxes[0]), y = cell(point, m_WideAxes[1]);
    uint32_t code = 0, state = 0;
    for (int shift = kHilbertBits - kStepBits; shift >= 0; shift -= kStepBits) {
        const HilbertStep& step =
            steps[(state << (2 * kStepBits)) | (((x >> shift) & kStepMask) << kStepBits) |
                  ((y >> shift) & kStepMask)];
        code = (code << (2 * kStepBits)) | step.digits;
        state = step.next;
    }
    return code;
}

void OivCurveOrder::sortBucket(const uint64_t* items, uint32_t count, uint32_t* values) {
    DigitCounts next{};
    for (uint32_t i = 0; i < count; ++i)
        ++next[digit(items[i])];
    countsToOffsets(next);
    for (uint32_t i = 0; i < count; ++i)
        values[next[digit(items[i])]++] = uint32_t(items[i]);
}
