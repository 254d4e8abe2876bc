// The curve viewer's hot paths. Snapping: every panning mouse move looks for the resampled curve
// point nearest to the focal point; here the viewer's search and a plain loop over the same
// points answer the same queries, on resampled curves of 10 000 and 50 000 points, for focal
// points near the curve (what a drag gives) and far from it. Setting a curve: a 49 000-point
// matrix-form curve installed in a viewer, beside the bare transformation of its points.
// After the table the ratios to the plain loop are printed.
#include "viewers/OivCurveResampler.h"
#include "viewers/OivNearestPointIndex.h"
#include "viewers/OivWinCurveViewer.h"

#include <Inventor/SbMatrix.h>
#include <Inventor/Win/SoWin.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

// The viewer's matrix form cuts a curve into about this many steps beyond its own points.
constexpr int kMatrixFormDivisions = 1000;
constexpr int kQueries = 1024;

// A well path of `count` points: down, then building angle and turning, a few metres apart.
std::vector<SbVec3f> wellPath(int count) {
    std::vector<SbVec3f> points;
    for (int i = 0; i < count; ++i) {
        const float t = float(i) / float(count);
        const float reach = 3000.0f * t * t;
        points.emplace_back(reach * std::cos(3.0f * t), reach * std::sin(3.0f * t),
                            -4000.0f * t + 40.0f * std::sin(40.0f * t));
    }
    return points;
}

// `resampled` points of the curve the viewer would snap to for a well path (the start of the
// resampling of a path long enough to give at least that many).
const std::vector<SbVec3f>& resampledCurve(int resampled) {
    static std::map<int, std::vector<SbVec3f>> curves;
    std::vector<SbVec3f>& curve = curves[resampled];
    for (int input = resampled - kMatrixFormDivisions; int(curve.size()) < resampled;
         input += resampled - int(curve.size())) {
        const std::vector<SbVec3f> path = wellPath(input);
        const OivCurveResampler resampler(path.data(), int(path.size()), kMatrixFormDivisions);
        curve.resize(resampler.countPoints());
        resampler.resample(nullptr, curve.data());
    }
    curve.resize(resampled);
    return curve;
}

// Focal points a drag leaves: a few metres off the curve, spread along it; or far off it.
std::vector<SbVec3f> queries(const std::vector<SbVec3f>& curve, bool nearCurve) {
    std::vector<SbVec3f> result;
    for (int i = 0; i < kQueries; ++i) {
        const SbVec3f& on = curve[(size_t(i) * 7919u) % curve.size()];
        result.push_back(nearCurve ? on + SbVec3f(3.0f, -2.0f, 1.5f)
                                   : SbVec3f(-5000.0f, 5000.0f, 2000.0f) + on * 0.01f);
    }
    return result;
}

benchmark::Counter thousands(double value) {
    return benchmark::Counter(value, benchmark::Counter::kDefaults, benchmark::Counter::kIs1000);
}

void BM_PlainLoop(benchmark::State& state, bool nearCurve) {
    const std::vector<SbVec3f>& curve = resampledCurve(int(state.range(0)));
    const std::vector<SbVec3f> focalPoints = queries(curve, nearCurve);
    size_t next = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(OivNearestPointIndex::scanNearest(curve.data(), int(curve.size()),
                                                                   focalPoints[next++ % kQueries]));
    state.counters["points"] = thousands(double(curve.size()));
}

void BM_Snap(benchmark::State& state, bool nearCurve) {
    const std::vector<SbVec3f>& curve = resampledCurve(int(state.range(0)));
    const std::vector<SbVec3f> focalPoints = queries(curve, nearCurve);
    OivNearestPointIndex index;
    index.build(curve.data(), int(curve.size()));
    size_t next = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(index.findNearest(focalPoints[next++ % kQueries]));
    state.counters["points"] = thousands(double(curve.size()));
}

BENCHMARK_CAPTURE(BM_PlainLoop, near, true)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Snap, near, true)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlainLoop, far, false)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Snap, far, false)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

constexpr int kLongCurve = 49000;

SbMatrix wellPlacement() {
    SbMatrix matrix;
    matrix.setTransform(SbVec3f(250, 100, 30), SbRotation(SbVec3f(0, 0, 1), 0.3f),
                        SbVec3f(1, 1, 2));
    return matrix;
}

// What any curve installation must at least do: transform every point once.
void BM_TransformPoints(benchmark::State& state) {
    const std::vector<SbVec3f> path = wellPath(kLongCurve);
    std::vector<SbVec3f> world(path.size());
    const SbMatrix matrix = wellPlacement();
    for (auto _ : state) {
        for (size_t i = 0; i < path.size(); ++i)
            matrix.multVecMatrix(path[i], world[i]);
        benchmark::DoNotOptimize(world.data());
    }
}
BENCHMARK(BM_TransformPoints)->Unit(benchmark::kMillisecond);

void BM_SetTrackingCurve(benchmark::State& state) {
    const std::vector<SbVec3f> path = wellPath(kLongCurve);
    OivWinCurveViewer viewer(SoWin::getTopLevelWidget());
    const SbMatrix matrix = wellPlacement();
    for (auto _ : state)
        viewer.setTrackingCurve(0, int(path.size()), path.data(), path[0], matrix, false);
    state.counters["resampled"] = thousands(viewer.getNumResampledPoints());
}
BENCHMARK(BM_SetTrackingCurve)->Unit(benchmark::kMillisecond);

// Keeps each run's time per iteration (in the run's own unit) to print the ratios afterwards.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            m_Times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatio(const std::string& ours, const std::string& plain) const {
        const auto a = m_Times.find(ours), b = m_Times.find(plain);
        if (a != m_Times.end() && b != m_Times.end() && b->second > 0.0)
            std::printf("%-32s / %-32s = %.3f\n", ours.c_str(), plain.c_str(),
                        a->second / b->second);
    }

private:
    std::map<std::string, double> m_Times;
};

} // namespace

int main(int argc, char** argv) {
    unsetenv("DISPLAY");
    SoWin::init("CurveViewerBench");
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios (time of the first over time of the second):\n");
    for (const char* where : {"near", "far"})
        for (const char* points : {"10000", "50000"})
            reporter.printRatio(std::string("BM_Snap/") + where + "/" + points,
                                std::string("BM_PlainLoop/") + where + "/" + points);
    reporter.printRatio("BM_SetTrackingCurve", "BM_TransformPoints");
    benchmark::Shutdown();
    return 0;
}
