// The sticky cursor follows the mouse: each move picks the surface under the pointer. For
// terrains of about 100 000, 1 000 000, 4 000 000 and 16 000 000 triangles (a quad mesh, and at
// 1 000 000 also the forms imported meshes come in: indexed face sets of flat triangles, of quads
// with smooth generated normals and of triangles with normals of their own, and an indexed
// triangle strip set; at 16 000 000 the flat triangles too) this compares, within one run,
// a plain ray pick of Coin with a steady cursor move, with the first move after an edit of the
// geometry (the surface moved, which rebuilds the cursor's index), with the first move after a
// colour edit (which must not) and with the first move after a vertex of the surface moved, and
// reports what the index holds per triangle and the most memory its build
// held at once (all the program allocates through operator new while it builds, Coin's share
// included), beside the index's final size.
#include "support/BenchHost.h"
#include "support/ThreadClock.h"
#include "tav/OivStickyCursor.h"
#include "tav/OivTriangleIndex.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoOffscreenRenderer.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoIndexedFaceSet.h>
#include <Inventor/nodes/SoIndexedTriangleStripSet.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoNormal.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoQuadMesh.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShapeHints.h>
#include <Inventor/nodes/SoTranslation.h>
#include <Inventor/nodes/SoVertexProperty.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <vector>

namespace {

using Clock = benchhost::ThreadClock;

// Bytes the program holds through operator new, and the most it held since the last reset.
std::atomic<size_t> g_HeldBytes{0};
std::atomic<size_t> g_PeakBytes{0};

void* allocateCounted(size_t size) noexcept {
    void* block = std::malloc(size > 0 ? size : 1);
    if (!block)
        return nullptr;
    const size_t held = g_HeldBytes += malloc_usable_size(block);
    size_t peak = g_PeakBytes.load();
    while (held > peak && !g_PeakBytes.compare_exchange_weak(peak, held)) {
    }
    return block;
}

void* allocateCountedOrThrow(size_t size) {
    void* block = allocateCounted(size);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void releaseCounted(void* block) noexcept {
    if (!block)
        return;
    g_HeldBytes -= malloc_usable_size(block);
    std::free(block);
}

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr float kExtent = 10.0f;
// Steady moves timed per iteration, over the probe pixels in turn.
constexpr int kMovesPerIteration = 1000;
// Generated normals are smooth across the terrain's folds (less than this between faces).
constexpr float kSmoothCreaseAngle = 1.2f;

// A wavy terrain of grid × grid vertices seen obliquely from above, with the cursor after it,
// drawn once so the cursor knows its view.
class Terrain {
public:
    enum Form {
        QUAD_MESH,
        INDEXED_TRIANGLES,        // flat generated normals
        INDEXED_SMOOTH_QUADS,     // normals generated with a crease angle
        INDEXED_NORMAL_TRIANGLES, // normals of their own, indexed per vertex
        INDEXED_SMOOTH_STRIPS     // a strip per row, normals generated with a crease angle
    };

    Terrain(int grid, Form form) {
        m_Root = new SoSeparator;
        m_Root->ref();
        SoPerspectiveCamera* camera = new SoPerspectiveCamera;
        camera->position.setValue(0.0f, -14.0f, 9.0f);
        camera->pointAt(SbVec3f(0.0f, 0.0f, 0.0f), SbVec3f(0.0f, 0.0f, 1.0f));
        camera->nearDistance = 1.0f;
        camera->farDistance = 60.0f;
        m_Root->addChild(camera);
        m_Root->addChild(new SoDirectionalLight);
        m_Material = new SoMaterial;
        m_Root->addChild(m_Material);
        m_Lift = new SoTranslation;
        m_Root->addChild(m_Lift);
        const std::vector<SbVec3f> points = heights(grid);
        addSurface(form, points, grid);
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
    // A change of the geometry: the terrain goes up or down a little.
    void moveSurface() {
        m_Up = !m_Up;
        m_Lift->translation.setValue(0.0f, 0.0f, m_Up ? 0.01f : 0.0f);
    }
    // A change of the surface's own coordinates: one vertex goes up or down a little.
    void moveVertex() {
        m_VertexUp = !m_VertexUp;
        SbVec3f point = (*m_Points)[0];
        point[2] += m_VertexUp ? 0.01f : -0.01f;
        m_Points->set1Value(0, point);
    }
    // A change of colour only.
    void recolour() {
        m_Up = !m_Up;
        m_Material->diffuseColor.setValue(m_Up ? 0.8f : 0.6f, 0.7f, 0.5f);
    }

private:
    static std::vector<SbVec3f> heights(int grid) {
        std::vector<SbVec3f> points;
        points.reserve(size_t(grid) * grid);
        for (int row = 0; row < grid; ++row)
            for (int column = 0; column < grid; ++column) {
                const float x = kExtent * (2.0f * column / (grid - 1) - 1.0f);
                const float y = kExtent * (2.0f * row / (grid - 1) - 1.0f);
                points.emplace_back(x, y, std::sin(0.9f * x) * std::cos(0.7f * y));
            }
        return points;
    }

    SoQuadMesh* quadMesh(const std::vector<SbVec3f>& points, int grid) {
        SoVertexProperty* vertices = new SoVertexProperty;
        vertices->vertex.setValues(0, int(points.size()), points.data());
        m_Points = &vertices->vertex;
        SoQuadMesh* mesh = new SoQuadMesh;
        mesh->vertexProperty = vertices;
        mesh->verticesPerRow = grid;
        mesh->verticesPerColumn = grid;
        return mesh;
    }

    // The surface normal of heights(): the terrain's own, as an exporter would write it.
    static std::vector<SbVec3f> slopes(const std::vector<SbVec3f>& points) {
        std::vector<SbVec3f> normals;
        normals.reserve(points.size());
        for (const SbVec3f& p : points) {
            const float dx = 0.9f * std::cos(0.9f * p[0]) * std::cos(0.7f * p[1]);
            const float dy = -0.7f * std::sin(0.9f * p[0]) * std::sin(0.7f * p[1]);
            normals.emplace_back(-dx, -dy, 1.0f);
        }
        return normals;
    }

    // Corner indices of the grid's cells: as two triangles or as one quad, each face ended.
    static std::vector<int32_t> cells(int grid, bool quads) {
        std::vector<int32_t> corners;
        corners.reserve(size_t(grid - 1) * (grid - 1) * 8);
        for (int row = 0; row + 1 < grid; ++row)
            for (int column = 0; column + 1 < grid; ++column) {
                const int32_t a = row * grid + column, b = a + grid;
                if (quads)
                    corners.insert(corners.end(), {a, b, b + 1, a + 1, -1});
                else
                    corners.insert(corners.end(), {a, b, b + 1, -1, a, b + 1, a + 1, -1});
            }
        return corners;
    }

    // A strip along each row of cells, ended.
    static std::vector<int32_t> strips(int grid) {
        std::vector<int32_t> corners;
        corners.reserve(size_t(grid - 1) * (2 * grid + 1));
        for (int row = 0; row + 1 < grid; ++row) {
            for (int column = 0; column < grid; ++column)
                corners.insert(corners.end(), {(row + 1) * grid + column, row * grid + column});
            corners.push_back(-1);
        }
        return corners;
    }

    void addSurface(Form form, const std::vector<SbVec3f>& points, int grid) {
        if (form == QUAD_MESH) {
            m_Root->addChild(quadMesh(points, grid));
            return;
        }
        SoShapeHints* hints = new SoShapeHints;
        if (form == INDEXED_SMOOTH_QUADS || form == INDEXED_SMOOTH_STRIPS)
            hints->creaseAngle = kSmoothCreaseAngle;
        m_Root->addChild(hints);
        SoCoordinate3* coordinates = new SoCoordinate3;
        coordinates->point.setValues(0, int(points.size()), points.data());
        m_Points = &coordinates->point;
        m_Root->addChild(coordinates);
        if (form == INDEXED_SMOOTH_STRIPS) {
            const std::vector<int32_t> corners = strips(grid);
            SoIndexedTriangleStripSet* strip = new SoIndexedTriangleStripSet;
            strip->coordIndex.setValues(0, int(corners.size()), corners.data());
            m_Root->addChild(strip);
            return;
        }
        const std::vector<int32_t> corners = cells(grid, form == INDEXED_SMOOTH_QUADS);
        SoIndexedFaceSet* faces = new SoIndexedFaceSet;
        faces->coordIndex.setValues(0, int(corners.size()), corners.data());
        if (form == INDEXED_NORMAL_TRIANGLES) {
            const std::vector<SbVec3f> normals = slopes(points);
            SoNormal* given = new SoNormal;
            given->vector.setValues(0, int(normals.size()), normals.data());
            m_Root->addChild(given);
            faces->normalIndex.setValues(0, int(corners.size()), corners.data());
        }
        m_Root->addChild(faces);
    }

    SbViewportRegion m_Viewport{kWidth, kHeight};
    SoSeparator* m_Root;
    SoMaterial* m_Material;
    SoTranslation* m_Lift;
    OivStickyCursor* m_Cursor;
    bool m_Drawn;
    SoMFVec3f* m_Points = nullptr; // the surface's coordinates
    bool m_Up = false;
    bool m_VertexUp = false;
    std::vector<std::pair<int, int>> m_Pixels;
    size_t m_Next = 0;
};

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Each iteration: one plain pick, kMovesPerIteration steady moves, the first move after a
// geometry edit (the surface moved), the first move after a colour edit and the first move after
// a vertex of the surface moved (which builds the surface's part of the index again, where a
// moved surface keeps it). Times per event and their ratios.
void BM_StickyCursorOverRayPick(benchmark::State& state) {
    const int grid = int(state.range(0));
    Terrain t(grid, Terrain::Form(state.range(1)));
    if (!t.isDrawn()) {
        state.SkipWithError("the terrain could not be drawn");
        return;
    }
    SoRayPickAction pick(t.viewport());
    OivStickyCursor* cursor = t.cursor();
    cursor->onMouseMove(kWidth / 2, kHeight / 2); // the first index
    Clock::duration pickTime{}, moveTime{}, geometryTime{}, colourTime{}, vertexTime{};
    unsigned long geometryBuilds = 0, colourBuilds = 0;
    int hits = 0;
    for (auto _ : state) {
        const auto& probe = t.nextPixel();
        const Clock::time_point start = Clock::now();
        pick.setPoint(SbVec2s(short(probe.first), short(kHeight - 1 - probe.second)));
        pick.apply(t.root());
        const Clock::time_point picked = Clock::now();
        for (int i = 0; i < kMovesPerIteration; ++i) {
            const auto& pixel = t.nextPixel();
            cursor->onMouseMove(pixel.first, pixel.second);
            hits += cursor->isOnSurface() ? 1 : 0;
        }
        const Clock::time_point moved = Clock::now();
        unsigned long builds = cursor->getIndexBuildCount();
        t.moveSurface();
        cursor->onMouseMove(probe.first, probe.second);
        const Clock::time_point rebuilt = Clock::now();
        geometryBuilds += cursor->getIndexBuildCount() - builds;
        builds = cursor->getIndexBuildCount();
        t.recolour();
        cursor->onMouseMove(probe.first, probe.second);
        const Clock::time_point recoloured = Clock::now();
        colourBuilds += cursor->getIndexBuildCount() - builds;
        t.moveVertex();
        cursor->onMouseMove(probe.first, probe.second);
        const Clock::time_point vertexMoved = Clock::now();
        // Coin's own caches of the surface (its generated normals) are made again here, not in
        // the next iteration's timed pick.
        pick.apply(t.root());
        pickTime += picked - start;
        moveTime += moved - picked;
        geometryTime += rebuilt - moved;
        colourTime += recoloured - rebuilt;
        vertexTime += vertexMoved - recoloured;
    }
    const double n = double(state.iterations());
    const double pickMs = milliseconds(pickTime) / n;
    const double moveUs = 1000.0 * milliseconds(moveTime) / (n * kMovesPerIteration);
    const double firstMs = milliseconds(geometryTime) / n;
    state.counters["pick_ms"] = pickMs;
    state.counters["move_us"] = moveUs;
    state.counters["first_move_ms"] = firstMs;
    state.counters["after_colour_us"] = 1000.0 * milliseconds(colourTime) / n;
    state.counters["pick/move"] = 1000.0 * pickMs / moveUs;
    state.counters["first_move/pick"] = firstMs / pickMs;
    state.counters["after_vertex/pick"] = milliseconds(vertexTime) / n / pickMs;
    state.counters["builds/geometry_edit"] = double(geometryBuilds) / n;
    state.counters["builds/colour_edit"] = double(colourBuilds) / n;
    state.counters["hit_share"] = double(hits) / (n * kMovesPerIteration);

    // What an index of this scene holds, per triangle, and the most its build held at once.
    OivTriangleIndex index;
    const size_t before = g_HeldBytes;
    g_PeakBytes = before;
    index.build(t.root(), t.viewport(), cursor);
    const double peak = double(g_PeakBytes - before), size = double(index.getMemoryUsage());
    state.counters["triangles"] = double(index.getTriangleCount());
    state.counters["bytes/triangle"] = size / double(index.getTriangleCount());
    state.counters["index_MB"] = size / 1.0e6;
    state.counters["build_peak_MB"] = peak / 1.0e6;
    state.counters["build_peak/index"] = peak / size;
}
// Grids of 225, 708, 1415 and 2829 vertices a side: 100 352, 999 698, 3 998 792 and 15 995 168
// triangles; forms as Terrain::Form numbers them (0 a quad mesh, 1 to 3 indexed face sets, 4 a
// strip set).
BENCHMARK(BM_StickyCursorOverRayPick)
    ->ArgNames({"grid", "form"})
    ->Args({225, 0})
    ->Args({708, 0})
    ->Args({1415, 0})
    ->Args({708, 1})
    ->Args({708, 2})
    ->Args({708, 3})
    ->Args({708, 4})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
// A pick of 16 M triangles takes seconds, and the scene gigabytes: a few iterations tell.
BENCHMARK(BM_StickyCursorOverRayPick)
    ->ArgNames({"grid", "form"})
    ->Args({2829, 0})
    ->Args({2829, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

// Every allocation of the program is counted, so that the build's peak can be read.
void* operator new(size_t size) {
    return allocateCountedOrThrow(size);
}
void* operator new[](size_t size) {
    return allocateCountedOrThrow(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return allocateCounted(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return allocateCounted(size);
}
void operator delete(void* block) noexcept {
    releaseCounted(block);
}
void operator delete[](void* block) noexcept {
    releaseCounted(block);
}
void operator delete(void* block, size_t) noexcept {
    releaseCounted(block);
}
void operator delete[](void* block, size_t) noexcept {
    releaseCounted(block);
}

int main(int argc, char** argv) {
    return benchhost::run("StickyCursorBench", argc, argv);
}
