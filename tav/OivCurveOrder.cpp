#include "tav/OivCurveOrder.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Morton codes: this many bits per axis; Hilbert codes: this many per wide axis, placed above
// the lowest bits, which the sort does not tell apart.
constexpr int kMortonBits = 10;
constexpr uint32_t kMortonCells = 1u << kMortonBits;
constexpr int kHilbertBits = 12;
constexpr uint32_t kHilbertCells = 1u << kHilbertBits;
constexpr int kHilbertShift = 32 - 2 * kHilbertBits;
// A Hilbert code is made through a table, a step of several bits of each axis at a time: the
// first step starts from the curve's first state, each later one continues from the state the
// step before left.
constexpr int kStepBits = 6;
// An entry of a step's table: the code's next bits, and above them the state after them.
constexpr int kStateShift = 12;
constexpr uint32_t kDigitsMask = (1u << kStateShift) - 1;
// The curve's turn so far: whether both axes are flipped, and whether they are swapped.
constexpr uint32_t kHilbertStates = 4;
// Within a bucket, the codes are sorted by their bits between the top digit and the lowest
// kIgnoredBits: cells finer than those of the code without its lowest bits hold about one leaf's
// items of the largest surfaces, kept in the order they came in. They are sorted in two passes
// of kDigitBits each, lower first: a count of a few hundred digit values costs little however
// few items a bucket has.
constexpr int kIgnoredBits = 8;
constexpr int kDigitBits = 8;
constexpr uint32_t kDigitValues = 1u << kDigitBits;
using DigitCounts = std::array<uint32_t, kDigitValues>;

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

// The Hilbert curve a bit at a time, `bits` bits of x and y from `state`: in each quadrant the
// curve is the whole one turned, the quadrants visited in the order 0, 1, 3, 2 of (x, y) bits as
// turned so far. Returns the entry of the step's table.
uint16_t hilbertStep(int bits, uint32_t state, uint32_t x, uint32_t y) {
    uint32_t flip = state & 1, swap = state >> 1, digits = 0;
    for (int bit = bits - 1; bit >= 0; --bit) {
        uint32_t bx = ((x >> bit) & 1) ^ flip, by = ((y >> bit) & 1) ^ flip;
        const uint32_t swapped = (bx ^ by) & swap;
        bx ^= swapped;
        by ^= swapped;
        digits = (digits << 2) | ((3 * bx) ^ by);
        const uint32_t turn = by ^ 1;
        flip ^= bx & turn;
        swap ^= turn;
    }
    return uint16_t(digits | ((flip | (swap << 1)) << kStateShift));
}

// The table of a step of `bits` bits: entry (state, x, y) at state << 2·bits | x << bits | y.
std::vector<uint16_t> hilbertTable(int bits) {
    std::vector<uint16_t> table(kHilbertStates << (2 * bits));
    const uint32_t mask = (1u << bits) - 1;
    for (uint32_t i = 0; i < table.size(); ++i)
        table[i] = hilbertStep(bits, i >> (2 * bits), (i >> bits) & mask, i & mask);
    return table;
}

const std::vector<uint16_t>& hilbertSteps() {
    static const std::vector<uint16_t> kTable = hilbertTable(kStepBits);
    return kTable;
}

// The pass-th digit (0: the lower) of `code` that orders a bucket.
uint32_t digit(uint32_t code, int pass) {
    return (code >> (kIgnoredBits + pass * kDigitBits)) & (kDigitValues - 1);
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
    const std::vector<uint16_t>& steps = hilbertSteps();
    const uint32_t x = cell(point, m_WideAxes[0]), y = cell(point, m_WideAxes[1]);
    constexpr uint32_t mask = (1u << kStepBits) - 1;
    uint32_t code = 0, state = 0;
    for (int shift = kHilbertBits - kStepBits; shift >= 0; shift -= kStepBits) {
        const uint32_t step = steps[(state << (2 * kStepBits)) |
                                    (((x >> shift) & mask) << kStepBits) | ((y >> shift) & mask)];
        code = (code << (2 * kStepBits)) | (step & kDigitsMask);
        state = step >> kStateShift;
    }
    return code << kHilbertShift;
}

void OivCurveOrder::sortBucket(const uint32_t* codes, uint32_t count, uint32_t* values,
                               uint64_t* scratch) {
    static_assert(kIgnoredBits + 2 * kDigitBits == kTopShift, "two digits below the top one");
    DigitCounts lower{}, upper{};
    for (uint32_t i = 0; i < count; ++i) {
        ++lower[digit(codes[i], 0)];
        ++upper[digit(codes[i], 1)];
    }
    countsToOffsets(lower);
    countsToOffsets(upper);
    for (uint32_t i = 0; i < count; ++i)
        scratch[lower[digit(codes[i], 0)]++] = (uint64_t(codes[i]) << 32) | values[i];
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t item = scratch[i];
        values[upper[digit(uint32_t(item >> 32), 1)]++] = uint32_t(item);
    }
}
