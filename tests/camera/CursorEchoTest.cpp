// The sticky cursor of one member of a canvas group echoed in the others: moved by real mouse
// messages in a 3D view, found by its colour in the frames the other members draw.
#include "OivWinTav.h"
#include "scene/ViewerFrame.h"
#include "support/MessageLoop.h"

#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTranslation.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {

constexpr int kWidth = 160, kHeight = 120;
constexpr float kPixelTolerance = 3.0f;
const POINT kOverSlab{kWidth / 2 + 12, kHeight / 2 + 8}, kOffSlab{2, 2};

struct Member {
    HWND host = testsupport::createHostWindow(kWidth, kHeight);
    std::unique_ptr<OivCanvas> canvas = std::make_unique<OivCanvas>();

    // Looking down, turned about `tilt` by its length in radians, on a slab 3 units deep.
    Member(OivBaseCanvas::ViewerType type, const SbVec3f& tilt) {
        canvas->initialize(type, host);
        SoTranslation* depth = new SoTranslation;
        depth->translation.setValue(0.0f, 0.0f, -3.0f);
        SoCube* slab = new SoCube;
        slab->depth = 0.5f;
        manager()->getRoot3D()->addChild(depth);
        manager()->getRoot3D()->addChild(slab);
        manager()->setStickyCursorNormalOrientation(false); // a cross, centred on its point
        if (tilt.length() > 0.0f)
            viewer()->getCamera()->orientation.setValue(SbRotation(tilt, tilt.length()));
        viewer()->viewAll();
    }
    ~Member() {
        canvas.reset();
        DestroyWindow(host);
    }
    SoWinFullViewer* viewer() const { return canvas->getOivViewer(); }
    OivSceneManager* manager() const { return canvas->getOivSceneManager(); }

    // Where the echo is drawn: the middle of the pixels in its light blue; false if none.
    bool drawnEcho(float& x, float& y) const {
        const Frame frame = drawnFrame(viewer());
        int count = 0;
        x = y = 0.0f;
        for (int row = 0; row < kHeight; ++row)
            for (int column = 0; column < kWidth; ++column) {
                const unsigned char* p = frame.at(column, row);
                const bool isEcho = p[2] > 150 && p[2] > p[0] + 80;
                x += isEcho ? column : 0;
                y += isEcho ? row : 0;
                count += isEcho ? 1 : 0;
            }
        x /= count ? count : 1;
        y /= count ? count : 1;
        return count > 0;
    }
    // Where a true point lies in this member's frame, through its camera and Z scale.
    SbVec2f projected(const SbVec3f& point) const {
        const SbVec3f world(point[0], point[1], point[2] * manager()->getGlobalZScale());
        SbVec3f screen;
        viewer()
            ->getCamera()
            ->getViewVolume(float(kWidth) / kHeight)
            .projectToScreen(world, screen);
        return SbVec2f(screen[0] * kWidth, (1.0f - screen[1]) * kHeight);
    }
};

// Three members, echo on: the 3D view where the mouse moves, another 3D view and a plan view.
struct EchoGroup {
    std::unique_ptr<Member> source =
        std::make_unique<Member>(OivBaseCanvas::EXAMINER_VIEWER, SbVec3f(0.8f, 0.0f, 0.0f));
    Member view3D{OivBaseCanvas::EXAMINER_VIEWER, SbVec3f(0.5f, -0.5f, 0.0f)};
    Member plan{OivBaseCanvas::PLANE_VIEWER, SbVec3f()};
    std::unique_ptr<OivCanvasGroup> group = std::make_unique<OivCanvasGroup>();

    EchoGroup() {
        for (Member* member : {source.get(), &view3D, &plan})
            group->addCanvas(member->canvas.get());
        group->setCursorEcho(true);
        source->manager()->enableStickyCursor(true);
        source->viewer()->setViewing(FALSE);
        source->viewer()->render();
        moveMouse(kOverSlab);
    }
    void moveMouse(POINT at) {
        SendMessageA(source->viewer()->getNormalWidget(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        testsupport::runMessageLoopUntilIdle();
    }
    void expectEchoesAtTheSourcesPoint() {
        SbVec3f point;
        ASSERT_TRUE(source->manager()->getStickyCursorPoint(point));
        for (const Member* member : {&view3D, &plan}) {
            float x, y;
            ASSERT_TRUE(member->drawnEcho(x, y));
            const SbVec2f expected = member->projected(point);
            EXPECT_NEAR(x, expected[0], kPixelTolerance);
            EXPECT_NEAR(y, expected[1], kPixelTolerance);
            EXPECT_FALSE(member->manager()->getStickyCursorPoint(point)) << "an echo is no cursor";
        }
    }
};

} // namespace

TEST(CursorEchoTest, IsDrawnAtTheSourcesTruePointInEveryOtherMemberAlsoAfterAZScale) {
    EchoGroup linked;
    linked.expectEchoesAtTheSourcesPoint();

    linked.source->manager()->setGlobalZScale(5.0f);
    testsupport::runMessageLoopUntilIdle();
    ASSERT_EQ(linked.plan.manager()->getGlobalZScale(), 5.0f);
    linked.expectEchoesAtTheSourcesPoint();
}

struct EchoEnd {
    const char* name;
    std::function<void(EchoGroup&)> end;
    bool planKeepsEcho;
};

void PrintTo(const EchoEnd& end, std::ostream* out) {
    *out << end.name;
}

class CursorEchoEndTest : public ::testing::TestWithParam<EchoEnd> {};

TEST_P(CursorEchoEndTest, LeavesNoEchoWhereItEnded) {
    EchoGroup linked;
    float x, y;
    ASSERT_TRUE(linked.plan.drawnEcho(x, y));

    GetParam().end(linked);
    testsupport::runMessageLoopUntilIdle();

    EXPECT_FALSE(linked.view3D.drawnEcho(x, y));
    EXPECT_EQ(linked.plan.drawnEcho(x, y), GetParam().planKeepsEcho);
    if (linked.source) // the source goes on without its echoes
        linked.moveMouse(kOverSlab);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, CursorEchoEndTest,
    ::testing::Values(
        EchoEnd{"EchoOff", [](EchoGroup& g) { g.group->setCursorEcho(false); }, false},
        EchoEnd{"SourceOffTheSurface", [](EchoGroup& g) { g.moveMouse(kOffSlab); }, false},
        EchoEnd{"SourceViewing", [](EchoGroup& g) { g.source->viewer()->setViewing(TRUE); }, false},
        EchoEnd{"MemberRemoved", [](EchoGroup& g) { g.group->removeCanvas(g.view3D.canvas.get()); },
                true},
        EchoEnd{"GroupDeleted", [](EchoGroup& g) { g.group.reset(); }, false},
        EchoEnd{"SourceDeleted", [](EchoGroup& g) { g.source.reset(); }, false}),
    [](const ::testing::TestParamInfo<EchoEnd>& info) { return info.param.name; });
