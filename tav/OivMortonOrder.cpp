#include "tav/OivMortonOrder.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

// Morton codes: this many bits per axis, sorted this many bits per radix pass.
constexpr int kMortonBits = 10;
constexpr int kRadixBits = 10;
constexpr float kCells = float(1u << kMortonBits);
constexpr uint32_t kBuckets = 1u << kRadixBits;
// Digits of a code below its top one, by which a bucket is sorted.
constexpr int kLowDigits = (3 * kMortonBits + kRadixBits - 1) / kRadixBits - 1;
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
const std::array<uint32_t, 1u << kMortonBits>& spreadTable() {
    static const std::array<uint32_t, 1u << kMortonBits> kSpread = [] {
        std::array<uint32_t, 1u << kMortonBits> table{};
        for (uint32_t v = 0; v < table.size(); ++v)
            table[v] = spreadBits(v);
        return table;
    }();
    return kSpread;
}

uint32_t digit(uint64_t item, int position) {
    return uint32_t(item >> (32 + position * kRadixBits)) & (kBuckets - 1);
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

// Least significant digit radix sort of `count` items by their digits below the top one, from
// `items` through `scratch` (both left in any order); writes their values in order to `values`.
void sortByLowDigits(uint64_t* items, uint64_t* scratch, uint32_t count, uint32_t* values) {
    std::array<DigitCounts, kLowDigits> counts{};
    for (uint32_t i = 0; i < count; ++i)
        for (int position = 0; position < kLowDigits; ++position)
            ++counts[size_t(position)][digit(items[i], position)];
    for (int position = 0; position < kLowDigits; ++position) {
        DigitCounts& next = counts[size_t(position)];
        countsToOffsets(next);
        if (position + 1 == kLowDigits) {
            for (uint32_t i = 0; i < count; ++i)
                values[next[digit(items[i], position)]++] = uint32_t(items[i]);
            return;
        }
        for (uint32_t i = 0; i < count; ++i)
            scratch[next[digit(items[i], position)]++] = items[i];
        std::swap(items, scratch);
    }
}

// Moves each item into the bucket of its top digit, in place (each item is moved at most once
// more after it was read); `starts` are the buckets' offsets, `counts` their sizes.
void gatherByTopDigit(uint64_t* items, const DigitCounts& starts, const DigitCounts& counts) {
    DigitCounts next = starts;
    for (uint32_t bucket = 0; bucket < kBuckets; ++bucket) {
        const uint32_t end = starts[bucket] + counts[bucket];
        while (next[bucket] < end) {
            uint64_t item = items[next[bucket]];
            for (uint32_t home = digit(item, kLowDigits); home != bucket;
                 home = digit(item, kLowDigits))
                std::swap(item, items[next[home]++]);
            items[next[bucket]++] = item;
        }
    }
}

} // namespace

OivMortonOrder::OivMortonOrder(const SbVec3f& low, const SbVec3f& high) : m_Low(low) {
    // Cubes, so that a flat terrain is not cut as often across its thin extent as along its
    // wide ones.
    const float extent = std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]});
    m_Scale = extent > 0.0f ? (kCells - 1.0f) / extent : 0.0f;
}

uint64_t OivMortonOrder::item(const SbVec3f& point, uint32_t value) const {
    const std::array<uint32_t, 1u << kMortonBits>& spread = spreadTable();
    uint32_t code = 0;
    for (int axis = 0; axis < 3; ++axis) {
        const float offset = (point[axis] - m_Low[axis]) * m_Scale;
        const float cell = offset >= 0.0f ? std::min(offset, kCells - 1.0f) : 0.0f;
        code |= spread[uint32_t(cell)] << axis;
    }
    return (uint64_t(code) << 32) | value;
}

void OivMortonOrder::sort(uint64_t* items, uint32_t count, uint32_t* values) {
    DigitCounts counts{};
    for (uint32_t i = 0; i < count; ++i)
        ++counts[digit(items[i], kLowDigits)];
    DigitCounts starts = counts;
    countsToOffsets(starts);
    gatherByTopDigit(items, starts, counts);
    std::vector<uint64_t> scratch(*std::max_element(counts.begin(), counts.end()));
    for (uint32_t bucket = 0; bucket < kBuckets; ++bucket)
        if (counts[bucket] > 0)
            sortByLowDigits(&items[starts[bucket]], scratch.data(), counts[bucket],
                            &values[starts[bucket]]);
}
