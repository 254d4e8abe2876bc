// What a canvas costs over drawing the same 3D content directly: the demo scene drawn as a full
// frame of the canvas (background, managed scene graph, compass, horizon giro, message) beside
// the demo's 3D content alone drawn by a bare SoOffscreenRenderer, at 640 × 480, 1280 × 720 and
// 1920 × 1080, both read back: the canvas once as RGB rows (readPixels) and once in the
// surface's own BGRA layout (readPixelsBGRA). What each decoration adds to an undecorated
// canvas frame, at 640 × 480 and 1920 × 1080. And the time OivCanvas::initialize takes on its
// own.
#include "DemoScene.h"
#include "OivWinTav.h"
#include "support/BenchHost.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoOffscreenRenderer.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <windows.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Frames drawn before any is measured.
constexpr int kWarmUpFrames = 3;

// The demo's 3D content as the canvas shows it (same camera, same Z scale, a headlight), for a
// renderer of its own.
SoSeparator* createBareScene(OivCanvas& canvas) {
    SoSeparator* root = new SoSeparator;
    root->ref();
    root->addChild(canvas.getOivViewer()->getCamera()->copy());
    root->addChild(new SoDirectionalLight);
    SoScale* scale = new SoScale;
    scale->scaleFactor.setValue(1.0f, 1.0f, canvas.getOivSceneManager()->getGlobalZScale());
    root->addChild(scale);
    root->addChild(DemoScene::createContent());
    return root;
}

// The demo without what only the canvas draws: background, compass, horizon giro, message.
void undecorate(OivCanvas& canvas) {
    OivSceneManager* manager = canvas.getOivSceneManager();
    manager->setBackground(OivBaseSceneManager::BLACK);
    manager->setCompassVisible(false);
    manager->setHorizonGiroVisible(false);
    manager->setMessageVisible(false);
}

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Each iteration draws one canvas frame and reads it back both ways, and draws and reads back one
// bare frame; the counters give the times per frame and the ratios of a canvas frame with either
// read-back to the bare frame.
void BM_CanvasFrameOverBareRenderer(benchmark::State& state) {
    const short width = short(state.range(0)), height = short(state.range(1));
    HWND window = benchhost::createWindow(width, height);
    OivCanvas canvas;
    canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
    DemoScene::present(canvas);
    if (!state.range(2))
        undecorate(canvas);
    SoWinFullViewer* viewer = canvas.getOivViewer();

    SoSeparator* bare = createBareScene(canvas);
    SoOffscreenRenderer renderer(SbViewportRegion(width, height));
    renderer.getGLRenderAction()->setTransparencyType(viewer->getTransparencyType());

    std::vector<unsigned char> rgb, bgra;
    SbVec2s size;
    // Each side's first frames in a new context compile the driver's shaders for every state
    // they use (and let Coin settle its caches): one-time costs that would otherwise be charged
    // to the measured frames, the more so the more different states a side draws with.
    for (int i = 0; i < kWarmUpFrames; ++i) {
        viewer->render();
        viewer->readPixels(rgb, size);
        viewer->readPixelsBGRA(bgra, size);
        renderer.render(bare);
    }
    Clock::duration drawTime{}, rgbTime{}, bgraTime{}, bareTime{};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        viewer->render();
        const Clock::time_point drawn = Clock::now();
        viewer->readPixels(rgb, size);
        const Clock::time_point readRgb = Clock::now();
        viewer->readPixelsBGRA(bgra, size);
        const Clock::time_point readBgra = Clock::now();
        renderer.render(bare);
        benchmark::DoNotOptimize(renderer.getBuffer());
        const Clock::time_point end = Clock::now();
        drawTime += drawn - start;
        rgbTime += readRgb - drawn;
        bgraTime += readBgra - readRgb;
        bareTime += end - readBgra;
    }
    if (size != SbVec2s(width, height))
        state.SkipWithError("the canvas was not drawn at the size asked for");
    const double frames = double(state.iterations());
    state.counters["canvas_draw_ms"] = milliseconds(drawTime) / frames;
    state.counters["read_rgb_ms"] = milliseconds(rgbTime) / frames;
    state.counters["read_bgra_ms"] = milliseconds(bgraTime) / frames;
    // The bare renderer draws and reads back in one call.
    state.counters["bare_ms"] = milliseconds(bareTime) / frames;
    state.counters["ratio_rgb"] = double((drawTime + rgbTime).count()) / double(bareTime.count());
    state.counters["ratio_bgra"] = double((drawTime + bgraTime).count()) / double(bareTime.count());
    bare->unref();
    DestroyWindow(window);
}
// decorated:1 is the demo as it is shown; decorated:0 leaves the canvas only its managed graph
// and viewer machinery, which tells what the frame costs beyond what the decorations draw.
BENCHMARK(BM_CanvasFrameOverBareRenderer)
    ->ArgNames({"width", "height", "decorated"})
    ->Args({DemoScene::kWidth, DemoScene::kHeight, 1})
    ->Args({DemoScene::kWidth, DemoScene::kHeight, 0})
    ->Args({1280, 720, 1})
    ->Args({1280, 720, 0})
    ->Args({1920, 1080, 1})
    ->Args({1920, 1080, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// What each decoration adds to an undecorated canvas frame (drawn and read back as BGRA), as a
// fraction of that frame: the decorations one at a time, then all of them.
enum Decoration { NONE, GRADIENT, COMPASS, HORIZON_GIRO, MESSAGE, ALL };

void decorate(OivCanvas& canvas, int decoration) {
    OivSceneManager* manager = canvas.getOivSceneManager();
    if (decoration == GRADIENT || decoration == ALL)
        manager->setBackground(OivBaseSceneManager::GRADIENT);
    manager->setCompassVisible(decoration == COMPASS || decoration == ALL);
    manager->setHorizonGiroVisible(decoration == HORIZON_GIRO || decoration == ALL);
    manager->setMessageVisible(decoration == MESSAGE || decoration == ALL);
}

// Mean time of one frame drawn and read back, over `frames` frames.
Clock::duration frameTime(SoWinFullViewer* viewer, std::vector<unsigned char>& bgra, int frames) {
    SbVec2s size;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < frames; ++i) {
        viewer->render();
        viewer->readPixelsBGRA(bgra, size);
    }
    return (Clock::now() - start) / frames;
}

// Two canvases of the same size, one undecorated and one with the decoration asked for, drawn in
// turns of a few frames each so that both see the same load of a shared machine.
void BM_DecorationCost(benchmark::State& state) {
    const short width = short(state.range(0)), height = short(state.range(1));
    constexpr int kFramesPerTurn = 4;
    HWND window = benchhost::createWindow(width, height);
    OivCanvas plain, decorated;
    plain.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
    decorated.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
    DemoScene::present(plain);
    DemoScene::present(decorated);
    undecorate(plain);
    undecorate(decorated);
    decorate(decorated, int(state.range(2)));
    std::vector<unsigned char> bgra;
    frameTime(plain.getOivViewer(), bgra, kWarmUpFrames);
    frameTime(decorated.getOivViewer(), bgra, kWarmUpFrames);
    Clock::duration plainTime{}, decoratedTime{};
    for (auto _ : state) {
        plainTime += frameTime(plain.getOivViewer(), bgra, kFramesPerTurn);
        decoratedTime += frameTime(decorated.getOivViewer(), bgra, kFramesPerTurn);
    }
    const double turns = double(state.iterations());
    state.counters["plain_ms"] = milliseconds(plainTime) / turns;
    state.counters["decorated_ms"] = milliseconds(decoratedTime) / turns;
    state.counters["added"] =
        double((decoratedTime - plainTime).count()) / double(plainTime.count());
    DestroyWindow(window);
}
BENCHMARK(BM_DecorationCost)
    ->ArgNames({"width", "height", "decoration"})
    ->ArgsProduct({{DemoScene::kWidth},
                   {DemoScene::kHeight},
                   {GRADIENT, COMPASS, HORIZON_GIRO, MESSAGE, ALL}})
    ->ArgsProduct({{1920}, {1080}, {GRADIENT, COMPASS, HORIZON_GIRO, MESSAGE, ALL}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

// Building a canvas: viewer, scene manager and scene graph, sensor and callbacks.
void BM_CanvasInitialize(benchmark::State& state) {
    HWND window = benchhost::createWindow(DemoScene::kWidth, DemoScene::kHeight);
    for (auto _ : state) {
        OivCanvas* canvas = new OivCanvas;
        canvas->initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
        benchmark::DoNotOptimize(canvas->getOivViewer());
        state.PauseTiming();
        delete canvas;
        state.ResumeTiming();
    }
    DestroyWindow(window);
}
BENCHMARK(BM_CanvasInitialize)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return benchhost::run("CanvasBench", argc, argv);
}
