// Where the sticky cursor is, as the host reads it in its own coordinates and as the user sees it:
// canvases driven by mouse messages, the point compared with Coin's own pick at the same pixel,
// the read-out and the echoes in a canvas group found in the frames drawn.
#include "OivWinTav.h"
#include "ViewerFrame.h"
#include "support/MessageLoop.h"

#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoRotation.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/nodes/SoTranslation.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 200, kHeight = 160;
constexpr float kPixelTolerance = 3.0f;
const POINT kOnSurface{kWidth / 2 + 15, kHeight / 2 - 10}, kOffSurface{2, 2};

// A canvas showing a tilted cube 3 units deep, its cursor a cross; the picking one has its
// cursor on, counts the cursor's reports and has been drawn, as the cursor picks in that view.
struct Canvas {
    HWND host = testsupport::createHostWindow(kWidth, kHeight);
    std::unique_ptr<OivCanvas> canvas = std::make_unique<OivCanvas>();
    SoRotation* tilt = new SoRotation;
    int reports = 0;

    explicit Canvas(OivBaseCanvas::ViewerType type, bool picking = false) {
        canvas->initialize(type, host);
        SoTranslation* depth = new SoTranslation;
        depth->translation.setValue(0, 0, -3);
        tilt->rotation.setValue(SbVec3f(1, 0.5f, 0), 0.4f);
        for (SoNode* node : {static_cast<SoNode*>(depth), static_cast<SoNode*>(tilt),
                             static_cast<SoNode*>(new SoCube)})
            manager()->getRoot3D()->addChild(node);
        manager()->setStickyCursorNormalOrientation(false);
        manager()->addStickyCursorCallback([](void* n, OivSceneManager*) { ++*(int*)n; }, &reports);
        viewer()->getCamera()->orientation.setValue(SbRotation(SbVec3f(1, 0, 0), 0.8f));
        viewer()->viewAll();
        manager()->enableStickyCursor(picking);
        viewer()->setViewing(!picking);
        viewer()->render();
    }
    ~Canvas() {
        canvas.reset();
        DestroyWindow(host);
    }
    SoWinFullViewer* viewer() const { return canvas->getOivViewer(); }
    OivSceneManager* manager() const { return canvas->getOivSceneManager(); }
    void moveMouse(POINT at) {
        SendMessageA(viewer()->getNormalWidget(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        testsupport::runMessageLoopUntilIdle();
    }
    // Coin's ray pick at the pixel: the world point, and the cube's normal in its own space (Coin
    // turns normals into world space as points, which a stretch along Z makes wrong).
    void coinPick(POINT at, SbVec3f& point, SbVec3f& normal) const {
        SoRayPickAction pick(viewer()->getViewportRegion());
        pick.setPoint(SbVec2s(short(at.x), short(kHeight - 1 - at.y)));
        pick.apply(viewer()->getSceneGraph());
        const SoPickedPoint* picked = pick.getPickedPoint();
        ASSERT_NE(picked, nullptr);
        point = picked->getPoint();
        tilt->rotation.getValue().multVec(picked->getObjectNormal(), normal);
    }
    // Pixels from row y0 down that the read-out changes in the frame.
    int readoutPixels(int y0) {
        const Frame with = drawnFrame(viewer());
        manager()->setCursorReadout(false);
        const Frame without = drawnFrame(viewer());
        manager()->setCursorReadout(true);
        return with.countDiffering(without, 0, y0, kWidth, kHeight);
    }
    // The shown overlay text that reads like a point ("X ..."), if any.
    std::string shownReadout() const {
        SoSearchAction search; // follows the switches, as drawing does
        search.setType(SoText2::getClassTypeId());
        search.setInterest(SoSearchAction::ALL);
        search.apply(viewer()->getSceneGraph());
        for (int i = 0; i < search.getPaths().getLength(); ++i) {
            const SoMFString& text = static_cast<SoText2*>(search.getPaths()[i]->getTail())->string;
            if (text.getNum() && std::string(text[0].getString()).rfind("X ", 0) == 0)
                return text[0].getString();
        }
        return "<none>";
    }
    // Where an echo is drawn: the middle of the pixels in its light blue; false if none.
    bool drawnEcho(float& x, float& y) const {
        const Frame frame = drawnFrame(viewer());
        float count = 0.0f, sumX = 0.0f, sumY = 0.0f;
        for (int row = 0; row < kHeight; ++row)
            for (int column = 0; column < kWidth; ++column) {
                const unsigned char* p = frame.at(column, row);
                const float isEcho = p[2] > 150 && p[2] > p[0] + 80 ? 1.0f : 0.0f;
                count += isEcho, sumX += isEcho * column, sumY += isEcho * row;
            }
        x = sumX / count, y = sumY / count;
        return count > 0.0f;
    }
    // Where a true point lies in this canvas's frame, through its camera and Z scale.
    SbVec2f projected(const SbVec3f& point) const {
        const SbVec3f world(point[0], point[1], point[2] * manager()->getGlobalZScale());
        const SbViewVolume volume = viewer()->getCamera()->getViewVolume(float(kWidth) / kHeight);
        SbVec3f screen;
        volume.projectToScreen(world, screen);
        return SbVec2f(screen[0] * kWidth, (1.0f - screen[1]) * kHeight);
    }
};

class StickyCursorPointTest : public ::testing::TestWithParam<float> {};

} // namespace

TEST_P(StickyCursorPointTest, IsCoinsPickWithTheZScaleTakenOutAndShownInTheReadout) {
    const float zScale = GetParam();
    Canvas view(OivBaseCanvas::EXAMINER_VIEWER, true);
    view.manager()->setGlobalZScale(zScale);
    view.manager()->setCursorReadout(true);
    view.viewer()->render();
    SbVec3f point, normal, world(0, 0, 0), trueNormal(0, 0, 0);
    EXPECT_FALSE(view.manager()->getStickyCursorPoint(point)) << "no move yet";

    view.moveMouse(kOnSurface);
    ASSERT_TRUE(view.manager()->getStickyCursorPoint(point, &normal));
    view.coinPick(kOnSurface, world, trueNormal);
    EXPECT_TRUE(point.equals(SbVec3f(world[0], world[1], world[2] / zScale), 1e-3f))
        << point[2] << " for a pick at " << world[2];
    EXPECT_TRUE(normal.equals(trueNormal, 1e-3f)) << normal[2] << " / " << trueNormal[2];
    EXPECT_EQ(view.reports, 1);
    char expected[128];
    std::snprintf(expected, sizeof(expected), "X %.2f   Y %.2f   Z %.2f", point[0], point[1],
                  point[2]);
    EXPECT_EQ(view.shownReadout(), expected);
    // Drawn along the bottom (right-aligned, wider than this small window) and nowhere else.
    const int readout = view.readoutPixels(kHeight - 60);
    EXPECT_GT(readout, 20);
    EXPECT_EQ(view.readoutPixels(0), readout);

    view.moveMouse(kOffSurface);
    EXPECT_FALSE(view.manager()->getStickyCursorPoint(point));
    EXPECT_EQ(view.reports, 2);
    EXPECT_EQ(view.shownReadout(), "<none>");
    EXPECT_EQ(view.readoutPixels(0), 0);
}

INSTANTIATE_TEST_SUITE_P(ZScales, StickyCursorPointTest, ::testing::Values(1.0f, 5.0f));

namespace {

// Three canvases in a group with cursor echo on, the mouse on the cube in the first: a 3D view
// in picking mode, another 3D view and a plan view, whose own cursors are off.
struct EchoGroup {
    std::unique_ptr<Canvas> source = std::make_unique<Canvas>(OivBaseCanvas::EXAMINER_VIEWER, true);
    Canvas view3D{OivBaseCanvas::EXAMINER_VIEWER};
    Canvas plan{OivBaseCanvas::PLANE_VIEWER};
    std::unique_ptr<OivCanvasGroup> group = std::make_unique<OivCanvasGroup>();

    EchoGroup() {
        for (Canvas* member : {source.get(), &view3D, &plan})
            group->addCanvas(member->canvas.get());
        group->setCursorEcho(true);
        source->moveMouse(kOnSurface);
    }
    void expectEchoesAtTheSourcesPoint() {
        SbVec3f point;
        ASSERT_TRUE(source->manager()->getStickyCursorPoint(point));
        for (const Canvas* member : {&view3D, &plan}) {
            float x, y;
            ASSERT_TRUE(member->drawnEcho(x, y));
            const SbVec2f expected = member->projected(point);
            EXPECT_NEAR(x, expected[0], kPixelTolerance);
            EXPECT_NEAR(y, expected[1], kPixelTolerance);
            EXPECT_FALSE(member->manager()->getStickyCursorPoint(point)) << "an echo is no cursor";
            EXPECT_EQ(member->reports, 0);
        }
    }
};

struct EchoEnd {
    const char* name;
    std::function<void(EchoGroup&)> end;
    bool planKeepsEcho;
};

class CursorEchoEndTest : public ::testing::TestWithParam<EchoEnd> {};

} // namespace

TEST(CursorEchoTest, IsDrawnAtTheSourcesTruePointInEveryOtherMemberAlsoAfterAZScale) {
    EchoGroup linked;
    linked.expectEchoesAtTheSourcesPoint();

    linked.source->manager()->setGlobalZScale(5.0f);
    testsupport::runMessageLoopUntilIdle(); // the source's frame places its cursor again
    ASSERT_EQ(linked.plan.manager()->getGlobalZScale(), 5.0f);
    linked.expectEchoesAtTheSourcesPoint();
}

TEST_P(CursorEchoEndTest, LeavesNoEchoWhereItEnded) {
    EchoGroup linked;
    float x, y;
    ASSERT_TRUE(linked.plan.drawnEcho(x, y));

    GetParam().end(linked);
    testsupport::runMessageLoopUntilIdle();

    EXPECT_FALSE(linked.view3D.drawnEcho(x, y));
    EXPECT_EQ(linked.plan.drawnEcho(x, y), GetParam().planKeepsEcho);
    if (linked.source) // the source goes on without its echoes
        linked.source->moveMouse(kOnSurface);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, CursorEchoEndTest,
    ::testing::Values(
        EchoEnd{"EchoOff", [](EchoGroup& g) { g.group->setCursorEcho(false); }, false},
        EchoEnd{"SourceOffTheSurface", [](EchoGroup& g) { g.source->moveMouse(kOffSurface); },
                false},
        EchoEnd{"SourceViewing", [](EchoGroup& g) { g.source->viewer()->setViewing(TRUE); }, false},
        EchoEnd{"MemberRemoved", [](EchoGroup& g) { g.group->removeCanvas(g.view3D.canvas.get()); },
                true},
        EchoEnd{"GroupDeleted", [](EchoGroup& g) { g.group.reset(); }, false},
        EchoEnd{"SourceDeleted", [](EchoGroup& g) { g.source.reset(); }, false}),
    [](const ::testing::TestParamInfo<EchoEnd>& info) { return info.param.name; });
