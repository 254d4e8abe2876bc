// The order along a space-filling curve puts items in the order of their cells along the curve,
// items of one cell in the order they came in: on a flat surface, in a volume, crowded into a
// corner of a wide box, and all in one cell.
#include "tav/OivCurveOrder.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

// Codes that differ only in these low bits share a cell the order keeps as it came.
constexpr int kCellBits = 8;

struct Case {
    const char* name;
    uint32_t count;
    SbVec3f extent; // of the box from the origin; the last point is its far corner
    float crowd;    // the part of the box the other points fill
};

const Case kCases[] = {{"flat_surface", 20000, {10, 10, 0.2f}, 1},
                       {"volume", 20000, {2, 4, 6}, 1},
                       {"crowded_corner", 5000, {100, 100, 0}, 0.003f},
                       {"one_cell", 300, {0, 0, 0}, 1}};

class CurveOrderTest : public testing::TestWithParam<Case> {};

TEST_P(CurveOrderTest, OrdersByCellAlongTheCurveKeepingTheOrderWithinACell) {
    const Case& c = GetParam();
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<SbVec3f> points(c.count);
    for (SbVec3f& point : points)
        for (int axis = 0; axis < 3; ++axis)
            point[axis] = c.crowd * c.extent[axis] * unit(random);
    points.back() = c.extent;
    const OivCurveOrder curve(SbVec3f(0, 0, 0), c.extent);
    std::vector<uint32_t> expected(c.count), sorted(c.count);
    std::iota(expected.begin(), expected.end(), 0u);
    std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) {
        return curve.code(points[a]) >> kCellBits < curve.code(points[b]) >> kCellBits;
    });
    curve.sort(
        sorted.data(), c.count,
        [&](const auto& emit) {
            for (uint32_t i = 0; i < c.count; ++i)
                emit(i);
        },
        [&](uint32_t i) { return points[i]; }, [](uint32_t, uint32_t) {});
    EXPECT_EQ(sorted, expected);
}

INSTANTIATE_TEST_SUITE_P(Points, CurveOrderTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
