// The sticky cursor's place as the host reads it, in its own coordinates, from a canvas driven by
// mouse messages: compared with Coin's own pick at the same pixel, and shown in the read-out.
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
#include <string>

namespace {

constexpr int kWidth = 200, kHeight = 160;
const POINT kOnSurface{kWidth / 2 + 15, kHeight / 2 - 10}, kOffSurface{2, 2};

// A canvas in picking mode with its cursor on, showing a tilted slab 3 units deep.
struct PickingCanvas {
    HWND host = testsupport::createHostWindow(kWidth, kHeight);
    OivCanvas canvas;
    int reports = 0;

    explicit PickingCanvas(float zScale) {
        canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, host);
        SoSeparator* root = manager()->getRoot3D();
        root->addChild(new SoTranslation);
        static_cast<SoTranslation*>(root->getChild(0))->translation.setValue(0, 0, -3);
        root->addChild(new SoRotation);
        static_cast<SoRotation*>(root->getChild(1))->rotation.setValue(SbVec3f(1, 0.5f, 0), 0.4f);
        root->addChild(new SoCube);
        manager()->setGlobalZScale(zScale);
        manager()->enableStickyCursor(true);
        manager()->addStickyCursorCallback([](void* count, OivSceneManager*) { ++*(int*)count; },
                                           &reports);
        canvas.getOivViewer()->viewAll();
        canvas.getOivViewer()->setViewing(FALSE);
        canvas.getOivViewer()->render();
    }
    ~PickingCanvas() { DestroyWindow(host); }
    OivSceneManager* manager() const { return canvas.getOivSceneManager(); }
    void moveMouse(POINT at) {
        SendMessageA(canvas.getOivViewer()->getNormalWidget(), WM_MOUSEMOVE, 0,
                     MAKELPARAM(at.x, at.y));
    }
    // What Coin's ray pick finds at the pixel, in world space; false over nothing.
    // (the normal: the picked shape's, turned by the slab's rotation, as Coin's world normal is
    // not that of a stretched surface)
    bool coinPick(POINT at, SbVec3f& point, SbVec3f& normal) const {
        SoRayPickAction pick(canvas.getOivViewer()->getViewportRegion());
        pick.setPoint(SbVec2s(short(at.x), short(kHeight - 1 - at.y)));
        pick.apply(canvas.getOivViewer()->getSceneGraph());
        const SoPickedPoint* picked = pick.getPickedPoint();
        if (picked) {
            point = picked->getPoint();
            static_cast<SoRotation*>(manager()->getRoot3D()->getChild(1))
                ->rotation.getValue()
                .multVec(picked->getObjectNormal(), normal);
        }
        return picked != nullptr;
    }
    // How many pixels from (x0, y0) to the bottom right the read-out changes in a frame.
    int readoutPixels(int x0, int y0) {
        const Frame with = drawnFrame(canvas.getOivViewer());
        manager()->setCursorReadout(false);
        const Frame without = drawnFrame(canvas.getOivViewer());
        manager()->setCursorReadout(true);
        return with.countDiffering(without, x0, y0, kWidth, kHeight);
    }
    // The texts the overlay shows now (those behind a switch that shows them).
    std::string shownReadout() const {
        SoSearchAction search;
        search.setType(SoText2::getClassTypeId());
        search.setInterest(SoSearchAction::ALL);
        search.apply(canvas.getOivViewer()->getSceneGraph());
        for (int i = 0; i < search.getPaths().getLength(); ++i) {
            const SoText2* text = static_cast<SoText2*>(search.getPaths()[i]->getTail());
            const std::string line = text->string.getNum() ? text->string[0].getString() : "";
            if (line.rfind("X ", 0) == 0)
                return line;
        }
        return "<none>";
    }
};

std::string formatted(const SbVec3f& p) {
    char text[128];
    std::snprintf(text, sizeof(text), "X %.2f   Y %.2f   Z %.2f", p[0], p[1], p[2]);
    return text;
}

class StickyCursorPointTest : public ::testing::TestWithParam<float> {};

} // namespace

TEST_P(StickyCursorPointTest, IsCoinsPickWithTheZScaleTakenOutAndShownInTheReadout) {
    const float zScale = GetParam();
    PickingCanvas view(zScale);
    view.manager()->setCursorReadout(true);
    SbVec3f point, normal, world, trueNormal;
    EXPECT_FALSE(view.manager()->getStickyCursorPoint(point)) << "no move yet";

    view.moveMouse(kOnSurface);
    ASSERT_TRUE(view.manager()->getStickyCursorPoint(point, &normal));
    ASSERT_TRUE(view.coinPick(kOnSurface, world, trueNormal));
    EXPECT_TRUE(point.equals(SbVec3f(world[0], world[1], world[2] / zScale), 1e-3f))
        << point[0] << " " << point[1] << " " << point[2] << " / " << world[2];
    EXPECT_TRUE(normal.equals(trueNormal, 1e-3f)) << normal[2] << " / " << trueNormal[2];
    EXPECT_EQ(view.reports, 1);
    EXPECT_EQ(view.shownReadout(), formatted(point));
    // Drawn at the bottom (right-aligned, wider than this small window) and nowhere else.
    const int corner = view.readoutPixels(0, kHeight - 60);
    EXPECT_GT(corner, 20);
    EXPECT_EQ(view.readoutPixels(0, 0), corner);

    view.moveMouse(kOffSurface);
    EXPECT_FALSE(view.manager()->getStickyCursorPoint(point));
    EXPECT_EQ(view.reports, 2);
    EXPECT_EQ(view.shownReadout(), "<none>");
    EXPECT_EQ(view.readoutPixels(0, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(ZScales, StickyCursorPointTest, ::testing::Values(1.0f, 5.0f));
