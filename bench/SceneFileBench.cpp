// What the canvas's scene files and printing cost over the raw Coin calls doing the same work:
// import of a 100 000-triangle scene (ASCII, binary, and binary through the protected path of a
// file that may be damaged) beside SoDB::readAll on the same file,
// export beside a bare SoWriteAction onto the same path, and printPage of a 640 × 480 view onto a
// 300-dpi page beside the bare off-screen rendering of the viewer's scene.
#include "OivWinTav.h"

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/SoOffscreenRenderer.h>
#include <Inventor/SoOutput.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/actions/SoWriteAction.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoIndexedFaceSet.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <oivwin32.h>
#include <windows.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// 250 × 200 quads: 100 000 triangles.
constexpr int kQuadsX = 250, kQuadsY = 200;
constexpr short kViewWidth = 640, kViewHeight = 480;
constexpr int kPrinterDpi = 300;

SoSeparator* createTriangleScene() {
    auto* root = new SoSeparator;
    auto* coords = new SoCoordinate3;
    auto* faces = new SoIndexedFaceSet;
    const int side = kQuadsX + 1;
    coords->point.setNum(side * (kQuadsY + 1));
    SbVec3f* points = coords->point.startEditing();
    for (int y = 0; y <= kQuadsY; ++y)
        for (int x = 0; x < side; ++x)
            points[y * side + x].setValue(float(x), float(y), 0.01f * float((x * 7 + y * 3) % 50));
    coords->point.finishEditing();
    faces->coordIndex.setNum(kQuadsX * kQuadsY * 5);
    int32_t* index = faces->coordIndex.startEditing();
    for (int y = 0; y < kQuadsY; ++y)
        for (int x = 0; x < kQuadsX; ++x) {
            const int c = y * side + x;
            for (int corner : {c, c + 1, c + side + 1, c + side, -1})
                *index++ = corner;
        }
    faces->coordIndex.finishEditing();
    root->addChild(coords);
    root->addChild(faces);
    return root;
}

std::string benchFile(const char* name) {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/" + name;
}

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// One timed call: wall-clock and processor time added to the totals.
struct Timing {
    Clock::duration wall{};
    std::clock_t cpu = 0;
    template <class F> void add(F&& f) {
        const Clock::time_point start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        f();
        wall += Clock::now() - start;
        cpu += std::clock() - cpuStart;
    }
};

// Times `ours` and `raw`, one call each per iteration, taking turns at going first so that neither
// always finds the caches and the allocator as the other left them. Reports both and the ratio, in
// wall-clock time and in processor time (the machine is shared: the second is steadier).
template <class Ours, class Raw> void compare(benchmark::State& state, Ours&& ours, Raw&& raw) {
    Timing oursTime, rawTime;
    bool oursFirst = true;
    for (auto _ : state) {
        if (oursFirst)
            oursTime.add(ours);
        rawTime.add(raw);
        if (!oursFirst)
            oursTime.add(ours);
        oursFirst = !oursFirst;
    }
    const double n = double(state.iterations());
    state.counters["ours_ms"] = milliseconds(oursTime.wall) / n;
    state.counters["raw_ms"] = milliseconds(rawTime.wall) / n;
    state.counters["ratio"] = double(oursTime.wall.count()) / double(rawTime.wall.count());
    state.counters["cpu_ratio"] = double(oursTime.cpu) / double(rawTime.cpu);
}

void writeRaw(const std::string& path, SoNode* scene, bool binary) {
    SoOutput output;
    output.openFile(path.c_str());
    output.setBinary(binary);
    SoWriteAction write(&output);
    write.apply(scene);
    output.closeFile();
}

// Import kinds: ASCII, binary, and binary with a number at its end too large to be a value count
// (an integer field value), which sends the import through its protected path: the checked read
// stops there, a child process reads the whole file, then the import reads it again.
enum ImportKind { ASCII_FILE, BINARY_FILE, PROTECTED_BINARY_FILE };

void BM_Import(benchmark::State& state) {
    const bool binary = state.range(0) != ASCII_FILE;
    SoSeparator* scene = createTriangleScene();
    scene->ref();
    if (state.range(0) == PROTECTED_BINARY_FILE) {
        auto* choice = new SoSwitch;
        choice->whichChild = 1 << 28;
        scene->addChild(choice);
    }
    const std::string path = benchFile(binary ? "oivwintav-bench.ivb" : "oivwintav-bench.iv");
    writeRaw(path, scene, binary);
    OivCanvas canvas;
    SoSeparator* parent = new SoSeparator;
    parent->ref();
    compare(
        state,
        [&] {
            canvas.import3DGraphicFile(path.c_str(), parent);
            parent->removeAllChildren();
        },
        [&] {
            SoInput input;
            input.openFile(path.c_str());
            SoSeparator* read = SoDB::readAll(&input);
            input.closeFile();
            read->ref();
            read->unref();
        });
    parent->unref();
    scene->unref();
    std::remove(path.c_str());
}
BENCHMARK(BM_Import)
    ->ArgName("kind")
    ->Arg(ASCII_FILE)
    ->Arg(BINARY_FILE)
    ->Arg(PROTECTED_BINARY_FILE)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

void BM_Export(benchmark::State& state) {
    const bool binary = state.range(0) != 0;
    SoSeparator* scene = createTriangleScene();
    scene->ref();
    const std::string path = benchFile("oivwintav-bench-out.iv");
    OivCanvas canvas;
    compare(
        state, [&] { canvas.export3DGraphicFile(path.c_str(), scene, binary, false); },
        [&] { writeRaw(path, scene, binary); });
    scene->unref();
    std::remove(path.c_str());
}
BENCHMARK(BM_Export)
    ->ArgName("binary")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

// A page that takes the view at 300 dpi: 640 × 480 screen pixels become 2000 × 1500.
void BM_PrintPage(benchmark::State& state) {
    // The application's own window is the host: the view gets its whole client area.
    HWND window = SoWin::getTopLevelWidget();
    SoWin::setWidgetSize(window, SbVec2s(kViewWidth, kViewHeight));
    OivCanvas canvas;
    canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
    canvas.getOivSceneManager()->getRoot3D()->addChild(createTriangleScene());
    SoWinFullViewer* viewer = canvas.getOivViewer();
    viewer->viewAll();
    const SbVec2s view = viewer->getViewportRegion().getViewportSizePixels();
    state.counters["view_width"] = view[0];
    state.counters["view_height"] = view[1];
    HDC page = OivWin32CreatePrinterDC(kPrinterDpi);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2000;
    info.bmiHeader.biHeight = 1500;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP paper = CreateDIBSection(page, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ blank = SelectObject(page, paper);
    SoOffscreenRenderer renderer(viewer->getViewportRegion());
    renderer.setGLRenderAction(viewer->getSceneManager()->getGLRenderAction());
    compare(
        state, [&] { canvas.printPage(page); },
        [&] {
            renderer.render(viewer->getSceneManager()->getSceneGraph());
            benchmark::DoNotOptimize(renderer.getBuffer());
        });
    SelectObject(page, blank);
    DeleteObject(paper);
    DeleteDC(page);
}
BENCHMARK(BM_PrintPage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    unsetenv("DISPLAY");
    SoWin::init("SceneFileBench");
    // Import lists the input search directories on every call; with none, the numbers are all
    // that is printed.
    SoInput::clearDirectories();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
