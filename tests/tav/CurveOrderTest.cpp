// The order along a space-filling curve puts items in the order of their curve codes down to
// cells of a leaf's size, items of one such cell in the order they came in, and hands every item
// over in runs that follow each other, whether the points lie on a flat surface, fill a volume,
// crowd into one corner of a wide box or all share one cell.
#include "tav/OivCurveOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

// Codes that differ only in these low bits share a cell the order keeps as it came.
constexpr int kCellBits = 8;

struct Case {
    std::string name;
    std::vector<SbVec3f> (*points)(void);
};

std::vector<SbVec3f> randomPoints(int count, const SbVec3f& low, const SbVec3f& high) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<SbVec3f> points;
    for (int i = 0; i < count; ++i) {
        SbVec3f point;
        for (int axis = 0; axis < 3; ++axis)
            point[axis] = low[axis] + unit(random) * (high[axis] - low[axis]);
        points.push_back(point);
    }
    return points;
}

const Case kCases[] = {
    {"flat_surface",
     [] {
         return randomPoints(20000, {-5, -5, -0.1f}, {5, 5, 0.1f});
     }},
    {"volume",
     [] {
         return randomPoints(20000, {-1, -2, -3}, {1, 2, 3});
     }},
    {"crowded_corner",
     [] {
         // Thousands of points in one bucket of a flat box, over many of its cells.
         std::vector<SbVec3f> points = randomPoints(5000, {0, 0, 0}, {0.3f, 0.3f, 0});
         points.push_back(SbVec3f(100, 100, 0));
         return points;
     }},
    {"one_cell", [] { return std::vector<SbVec3f>(300, SbVec3f(1, 2, 3)); }},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class CurveOrderTest : public testing::TestWithParam<Case> {};

TEST_P(CurveOrderTest, OrdersByCellAlongTheCurveKeepingTheOrderWithinACell) {
    const std::vector<SbVec3f> points = GetParam().points();
    SbVec3f low = points[0], high = points[0];
    for (const SbVec3f& point : points)
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], point[axis]);
            high[axis] = std::max(high[axis], point[axis]);
        }
    const OivCurveOrder curve(low, high);
    const uint32_t count = uint32_t(points.size());
    std::vector<uint32_t> expected(count);
    std::iota(expected.begin(), expected.end(), 0u);
    std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) {
        return curve.code(points[a]) >> kCellBits < curve.code(points[b]) >> kCellBits;
    });

    std::vector<uint32_t> sorted(count);
    uint32_t handedOver = 0;
    curve.sort(
        sorted.data(), count,
        [&](const auto& emit) {
            for (uint32_t i = 0; i < count; ++i)
                emit(i);
        },
        [&](uint32_t i) { return points[i]; },
        [&](uint32_t first, uint32_t end) {
            EXPECT_EQ(first, handedOver);
            handedOver = end;
        });
    EXPECT_EQ(handedOver, count);
    EXPECT_EQ(sorted, expected);
}

INSTANTIATE_TEST_SUITE_P(Points, CurveOrderTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

} // namespace
