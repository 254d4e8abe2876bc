// What keeping eight canvases in step costs beyond drawing them: a camera move in one member of a
// group of eight demo canvases (640 × 480 each), until every member shows the new view, beside
// eight plain redraws of one canvas. The synchronisation itself is also timed on its own and set
// beside plain redraws of the seven members it draws.
//
// overhead_us holds everything eight canvases cost over one: the camera sensor's dispatch and
// the switch between eight GL contexts, which one canvas drawing eight times never makes.
// sync_overhead_us compares like with like (the same seven canvases, drawn in the same order), so
// it is the synchronisation's own work, within the spread of two sets of seven frames.
//
// The cursor echo: a mouse move over the terrain in one member of the eight, in picking mode
// with the sticky cursor on, with cursor echo on and off in turn. echo_added_us is what the
// echo adds to the move (placing seven echoes and asking for their redraws; the redraws
// themselves are not run), point_read_ns what reading the cursor's true point costs.
#include "DemoScene.h"
#include "OivWinTav.h"
#include "support/BenchHost.h"

#include <Inventor/SoDB.h>
#include <Inventor/sensors/SoSensorManager.h>
#include <windows.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMembers = 8;
// Each move turns the camera this far about the vertical, back and forth, so that every frame
// shows the terrain.
constexpr float kTurnRadians = 0.01f;

// A canvas showing the demo in a host window of its own.
struct DemoCanvas {
    HWND window = benchhost::createWindow(DemoScene::kWidth, DemoScene::kHeight);
    OivCanvas canvas;

    DemoCanvas() {
        canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
        DemoScene::present(canvas);
        canvas.getOivViewer()->render();
    }
    ~DemoCanvas() { DestroyWindow(window); }

    SoWinFullViewer* viewer() { return canvas.getOivViewer(); }
};

// The group, timing each synchronisation it runs.
class TimedGroup : public OivCanvasGroup {
public:
    Clock::duration syncTime{};

protected:
    void synchronizeToCanvas(OivBaseCanvas* source, bool cameraOnly) override {
        const Clock::time_point start = Clock::now();
        OivCanvasGroup::synchronizeToCanvas(source, cameraOnly);
        syncTime += Clock::now() - start;
    }
};

void turn(SoCamera* camera, float radians) {
    camera->orientation = SbRotation(SbVec3f(0, 0, 1), radians) * camera->orientation.getValue();
}

// A plain redraw after a camera move: the move is made silently, so the frame is drawn here and
// not again by a scheduled redraw.
void moveAndDraw(SoWinFullViewer* viewer, float direction) {
    SoCamera* camera = viewer->getCamera();
    camera->enableNotify(FALSE);
    turn(camera, direction * kTurnRadians);
    camera->enableNotify(TRUE);
    viewer->render();
}

// Runs what the move scheduled: the source's camera sensor (the group's synchronisation) and
// the source's own redraw.
void runPendingSensors() {
    SoDB::getSensorManager()->processDelayQueue(TRUE);
}

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double median(std::vector<double> samples) {
    if (samples.empty())
        return 0.0;
    auto middle = samples.begin() + samples.size() / 2;
    std::nth_element(samples.begin(), middle, samples.end());
    return *middle;
}

void BM_GroupCameraMoveOverEightRedraws(benchmark::State& state) {
    std::vector<std::unique_ptr<DemoCanvas>> members;
    TimedGroup group;
    for (int i = 0; i < kMembers; ++i) {
        members.push_back(std::make_unique<DemoCanvas>());
        group.addCanvas(&members.back()->canvas);
    }
    DemoCanvas lone;
    runPendingSensors();
    SoCamera* sourceCamera = members[0]->viewer()->getCamera();

    Clock::duration eventTime{}, plainTime{}, syncTime{}, followerTime{};
    // Per move, so that a frame slowed by another process on the machine shifts one sample, not
    // the result.
    std::vector<double> overheads, syncOverheads;
    float direction = 1.0f;
    for (auto _ : state) {
        direction = -direction;
        // The group: one move in the first member, until all eight are drawn again.
        const Clock::duration syncBefore = group.syncTime;
        const Clock::time_point start = Clock::now();
        turn(sourceCamera, direction * kTurnRadians);
        runPendingSensors();
        const Clock::time_point synchronised = Clock::now();
        // The same number of frames from one canvas alone, each after a move of its own.
        for (int i = 0; i < kMembers; ++i)
            moveAndDraw(lone.viewer(), direction);
        const Clock::time_point plain = Clock::now();
        // The frames the synchronisation drew, each drawn again after a move, without it (the
        // next synchronisation puts the members back in step).
        for (int i = 1; i < kMembers; ++i)
            moveAndDraw(members[i]->viewer(), direction);
        const Clock::time_point end = Clock::now();

        const Clock::duration event = synchronised - start, eight = plain - synchronised;
        const Clock::duration sync = group.syncTime - syncBefore, followers = end - plain;
        eventTime += event;
        plainTime += eight;
        syncTime += sync;
        followerTime += followers;
        overheads.push_back(microseconds(event - eight));
        syncOverheads.push_back(microseconds(sync - followers));
    }
    const double n = double(state.iterations());
    state.counters["group_ms"] = milliseconds(eventTime) / n;
    state.counters["eight_redraws_ms"] = milliseconds(plainTime) / n;
    state.counters["ratio"] = double(eventTime.count()) / double(plainTime.count());
    state.counters["overhead_us"] = median(overheads);
    // The synchronisation call alone (the seven redraws it makes included) over the same seven
    // redraws made directly.
    state.counters["sync_ms"] = milliseconds(syncTime) / n;
    state.counters["sync_overhead_us"] = median(syncOverheads);
}
BENCHMARK(BM_GroupCameraMoveOverEightRedraws)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Two places over the terrain, a few pixels apart, that the mouse moves between.
constexpr POINT kMousePlaces[] = {{DemoScene::kWidth / 2, DemoScene::kHeight / 2},
                                  {DemoScene::kWidth / 2 + 7, DemoScene::kHeight / 2 + 5}};

// One mouse move to `place` over the viewer's drawing window, timed.
Clock::duration timedMove(SoWinFullViewer* viewer, const POINT& place) {
    const Clock::time_point start = Clock::now();
    SendMessageA(viewer->getNormalWidget(), WM_MOUSEMOVE, 0, MAKELPARAM(place.x, place.y));
    return Clock::now() - start;
}

void BM_MouseMoveWithCursorEchoInEight(benchmark::State& state) {
    std::vector<std::unique_ptr<DemoCanvas>> members;
    OivCanvasGroup group;
    for (int i = 0; i < kMembers; ++i) {
        members.push_back(std::make_unique<DemoCanvas>());
        group.addCanvas(&members.back()->canvas);
    }
    runPendingSensors();
    DemoCanvas& source = *members[0];
    OivSceneManager* manager = source.canvas.getOivSceneManager();
    manager->enableStickyCursor(true);
    source.viewer()->setViewing(FALSE);
    source.viewer()->render();

    std::vector<double> plain, echoed, reads;
    int echoes = 0;
    size_t next = 0;
    for (auto _ : state) {
        group.setCursorEcho(false);
        plain.push_back(microseconds(timedMove(source.viewer(), kMousePlaces[next++ % 2])));
        group.setCursorEcho(true);
        echoed.push_back(microseconds(timedMove(source.viewer(), kMousePlaces[next++ % 2])));
        echoes += members[1]->canvas.getOivSceneManager()->isCursorEchoShown() ? 1 : 0;
        SbVec3f point;
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(manager->getStickyCursorPoint(point));
        reads.push_back(1000.0 * microseconds(Clock::now() - start));
    }
    state.counters["move_us"] = median(plain);
    state.counters["move_with_echo_us"] = median(echoed);
    state.counters["echo_added_us"] = median(echoed) - median(plain);
    state.counters["ratio"] = median(echoed) / median(plain);
    state.counters["point_read_ns"] = median(reads);
    // Every timed move with echo must have placed an echo, or the figure times nothing.
    state.counters["echoed_moves"] = double(echoes) / double(state.iterations());
}
BENCHMARK(BM_MouseMoveWithCursorEchoInEight)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    return benchhost::run("CanvasGroupBench", argc, argv);
}
