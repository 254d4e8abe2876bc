// What a canvas costs over drawing the same 3D content directly: the demo scene drawn as a full
// frame of the canvas (background, managed scene graph, compass, horizon giro, message) beside
// the demo's 3D content alone drawn by a bare SoOffscreenRenderer, at 640 × 480, 1280 × 720 and
// 1920 × 1080, both read back: the canvas once as RGB rows (readPixels) and once in the
// surface's own BGRA layout (readPixelsBGRA). And the time OivCanvas::initialize takes on its
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
