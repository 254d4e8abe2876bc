// The nearest-point search that curve drags snap with gives exactly what a plain loop over all
// points gives, ties to the lower index included, for curves, clouds with many equal distances,
// and points that are not numbers.
#include "viewers/OivNearestPointIndex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

void expectSameAsPlainLoop(const std::vector<SbVec3f>& points,
                           const std::vector<SbVec3f>& queries) {
    OivNearestPointIndex index;
    index.build(points.data(), int(points.size()));
    for (const SbVec3f& query : queries)
        ASSERT_EQ(index.findNearest(query),
                  OivNearestPointIndex::scanNearest(points.data(), int(points.size()), query))
            << "query (" << query[0] << ", " << query[1] << ", " << query[2] << ")";
}

} // namespace

TEST(NearestPointIndex, AgreesWithThePlainLoopOnCurvesAndTiedClouds) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> cell(-4, 4);
    std::uniform_real_distribution<float> spread(-300.0f, 300.0f);

    // A helix sampled densely, queried near it and far from it.
    std::vector<SbVec3f> helix;
    for (int i = 0; i < 5000; ++i)
        helix.emplace_back(100.0f * std::cos(i * 0.01f), 100.0f * std::sin(i * 0.01f), i * 0.05f);
    std::vector<SbVec3f> queries;
    for (int i = 0; i < 300; ++i)
        queries.emplace_back(spread(random), spread(random), spread(random) + 100.0f);
    queries.emplace_back(0.0f, 0.0f, 125.0f); // on the axis: every turn about as near
    expectSameAsPlainLoop(helix, queries);

    // Lattice points, many repeated, queried on and between lattice points: distances tie often.
    std::vector<SbVec3f> lattice;
    for (int i = 0; i < 3000; ++i)
        lattice.emplace_back(float(cell(random)), float(cell(random)), float(cell(random)));
    std::vector<SbVec3f> latticeQueries;
    for (int i = 0; i < 500; ++i)
        latticeQueries.emplace_back(cell(random) * 0.5f, cell(random) * 0.5f, cell(random) * 0.5f);
    expectSameAsPlainLoop(lattice, latticeQueries);

    // Two points 3 from the origin: the first among points far off, the later one among points
    // that, as a group, come nearer (within 2). The first still wins.
    std::vector<SbVec3f> tied;
    for (int i = 0; i < 200; ++i)
        tied.emplace_back(0.0f, i < 100 ? 3.0f : -2.0f, 10.0f + i);
    tied[5] = SbVec3f(0, 3, 0);
    tied[150] = SbVec3f(0, -3, 0);
    expectSameAsPlainLoop(tied, {SbVec3f(0, 0, 0)});
}

TEST(NearestPointIndex, PointsThatAreNotNumbersBehaveAsInThePlainLoop) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<SbVec3f> points(70, SbVec3f(5, 5, 5));
    points[40] = SbVec3f(1, 1, 1);
    points[41] = SbVec3f(nan, 0, 0);
    expectSameAsPlainLoop(points, {SbVec3f(0, 0, 0), SbVec3f(1, 1, 1), SbVec3f(nan, 0, 0)});
    points[0] = SbVec3f(0, nan, 0);
    expectSameAsPlainLoop(points, {SbVec3f(0, 0, 0)});

    OivNearestPointIndex empty;
    empty.build(nullptr, 5);
    EXPECT_EQ(empty.findNearest(SbVec3f(0, 0, 0)), -1);
}
