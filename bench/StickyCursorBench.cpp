// The sticky cursor follows the mouse: each move picks the surface under the pointer. This
// compares one cursor move with one plain ray pick of Coin on the same surface of about
// 100 000 triangles, and reports what the cursor's index costs to build after a scene change.
#include "tav/OivStickyCursor.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoOffscreenRenderer.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoQuadMesh.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoVertexProperty.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kGrid = 225; // 224 × 224 quads: 100 352 triangles
constexpr float kExtent = 10.0f;

// A wavy terrain seen obliquely from above, with the cursor after it, drawn once so the cursor
// knows its view.
class Terrain {
public:
    Terrain() {
        m_Root = new SoSeparator;
        m_Root->ref();
        SoPerspectiveCamera* camera = new SoPerspectiveCamera;
        camera->position.setValue(0.0f, -14.0f, 9.0f);
        camera->pointAt(SbVec3f(0.0f, 0.0f, 0.0f), SbVec3f(0.0f, 0.0f, 1.0f));
        camera->nearDistance = 1.0f;
        camera->farDistance = 60.0f;
        m_Root->addChild(camera);
        m_Root->addChild(new SoDirectionalLight);
        m_Root->addChild(surface());
        SoSeparator* cursorBranch = new SoSeparator;
        m_Cursor = new OivStickyCursor;
        m_Cursor->useNormalOrientation(true);
        cursorBranch->addChild(m_Cursor);
        m_Root->addChild(cursorBranch);

        SoOffscreenRenderer renderer(m_Viewport);
        m_Drawn = renderer.render(m_Root);
        for (int y = 60; y < kHeight; y += 37)
            for (int x = 20; x < kWidth; x += 53)
                m_Pixels.push_back({x, y});
    }
    ~Terrain() { m_Root->unref(); }
    Terrain(const Terrain&) = delete;
    Terrain& operator=(const Terrain&) = delete;

    bool isDrawn() const { return m_Drawn; }
    SoSeparator* root() const { return m_Root; }
    OivStickyCursor* cursor() const { return m_Cursor; }
    const SbViewportRegion& viewport() const { return m_Viewport; }
    // The next probe pixel, in client coordinates (top left origin).
    const std::pair<int, int>& nextPixel() { return m_Pixels[m_Next++ % m_Pixels.size()]; }

private:
    static SoQuadMesh* surface() {
        std::vector<SbVec3f> points;
        for (int row = 0; row < kGrid; ++row)
            for (int column = 0; column < kGrid; ++column) {
                const float x = kExtent * (2.0f * column / (kGrid - 1) - 1.0f);
                const float y = kExtent * (2.0f * row / (kGrid - 1) - 1.0f);
                points.emplace_back(x, y, std::sin(0.9f * x) * std::cos(0.7f * y));
            }
        SoVertexProperty* vertices = new SoVertexProperty;
        vertices->vertex.setValues(0, int(points.size()), points.data());
        SoQuadMesh* mesh = new SoQuadMesh;
        mesh->vertexProperty = vertices;
        mesh->verticesPerRow = kGrid;
        mesh->verticesPerColumn = kGrid;
        return mesh;
    }

    SbViewportRegion m_Viewport{kWidth, kHeight};
    SoSeparator* m_Root;
    OivStickyCursor* m_Cursor;
    bool m_Drawn;
    std::vector<std::pair<int, int>> m_Pixels;
    size_t m_Next = 0;
};

Terrain& terrain() {
    static Terrain instance;
    return instance;
}

void BM_PlainRayPick(benchmark::State& state) {
    Terrain& t = terrain();
    SoRayPickAction pick(t.viewport());
    int hits = 0;
    for (auto _ : state) {
        const auto& pixel = t.nextPixel();
        pick.setPoint(SbVec2s(short(pixel.first), short(kHeight - 1 - pixel.second)));
        pick.apply(t.root());
        hits += pick.getPickedPoint() ? 1 : 0;
    }
    state.counters["hits"] = hits;
}
BENCHMARK(BM_PlainRayPick)->Unit(benchmark::kMillisecond);

void BM_StickyCursorMove(benchmark::State& state) {
    Terrain& t = terrain();
    t.cursor()->onMouseMove(kWidth / 2, kHeight / 2); // builds the index once
    int hits = 0;
    for (auto _ : state) {
        const auto& pixel = t.nextPixel();
        t.cursor()->onMouseMove(pixel.first, pixel.second);
        hits += t.cursor()->isOnSurface() ? 1 : 0;
    }
    state.counters["hits"] = hits;
}
BENCHMARK(BM_StickyCursorMove)->Unit(benchmark::kMicrosecond);

// The first move after a scene change rebuilds the index.
void BM_StickyCursorMoveAfterSceneChange(benchmark::State& state) {
    Terrain& t = terrain();
    for (auto _ : state) {
        t.root()->touch();
        t.cursor()->onMouseMove(kWidth / 2, kHeight / 2);
    }
}
BENCHMARK(BM_StickyCursorMoveAfterSceneChange)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    unsetenv("DISPLAY");
    SoWin::init("StickyCursorBench");
    if (!terrain().isDrawn())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
