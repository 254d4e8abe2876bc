// The stand-alone window viewer on screen: a top-level X window titled "Frustum" of 400 × 400
// pixels that appears only when shown, draws its scene, follows a resize by the window manager
// and, closed through the window manager, ends the message loop with exit code 0.
#include "onscreen/TestScreen.h"

#include "support/MessageLoop.h"
#include "viewers/OivWindowViewer.h"

#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

namespace {

using onscreen::ScreenImage;
using onscreen::TestScreen;

constexpr const char* kTitle = "Frustum";

bool isRed(const Rgb& colour) {
    return colour.r > 100 && colour.g < 60 && colour.b < 60;
}

// The middle of the drawing shows the red cone, its corner the black background.
::testing::AssertionResult showsTheCone(const ScreenImage& image) {
    const Rgb middle = image.at(image.width / 2, image.height / 2);
    const Rgb corner = image.at(1, 1);
    if (image.width > 0 && isRed(middle) && corner == (Rgb{0, 0, 0}))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << image.width << "x" << image.height << ", middle " << middle << ", corner " << corner;
}

SoSeparator* redCone() {
    SoSeparator* scene = new SoSeparator;
    SoMaterial* material = new SoMaterial;
    material->diffuseColor.setValue(1.0f, 0.0f, 0.0f);
    material->emissiveColor.setValue(0.6f, 0.0f, 0.0f);
    scene->addChild(material);
    scene->addChild(new SoCone);
    return scene;
}

TEST(OnScreenWindowTest, WindowViewerDrawsFollowsAResizeAndClosesTheLoopWithZero) {
    TestScreen screen;
    ASSERT_TRUE(screen.isOpen());
    OivWindowViewer window;
    SoWinFullViewer* viewer = window.getOivViewer();
    ASSERT_NE(viewer, nullptr);
    viewer->setSceneGraph(redCone());
    viewer->viewAll();
    onscreen::settle(screen);
    EXPECT_EQ(screen.findTopLevel(kTitle), 0u) << "hidden until shown";

    window.show();
    TestScreen::Window shown = 0;
    ASSERT_TRUE(
        onscreen::settleUntil(screen, [&] { return (shown = screen.findTopLevel(kTitle)); }));
    EXPECT_EQ(screen.sizeOf(shown), SbVec2s(400, 400));
    ASSERT_TRUE(onscreen::settleUntil(screen, [&] {
        return showsTheCone(screen.grab(viewer->getNormalWidget()));
    })) << showsTheCone(screen.grab(viewer->getNormalWidget()));

    const SbVec2s before = viewer->getGlxSize();
    screen.resizeAndMove(shown, onscreen::onScreen(window.getWindow()), 520, 330);
    ASSERT_TRUE(onscreen::settleUntil(screen, [&] { return viewer->getGlxSize() != before; }));
    const SbVec2s after = viewer->getGlxSize();
    EXPECT_EQ(after[0] - before[0], 120);
    EXPECT_EQ(after[1] - before[1], -70);
    ASSERT_TRUE(onscreen::settleUntil(
        screen, [&] { return showsTheCone(screen.grab(viewer->getNormalWidget())); }))
        << "redrawn at the new size: " << showsTheCone(screen.grab(viewer->getNormalWidget()));

    screen.requestClose(shown);
    EXPECT_EQ(testsupport::runMessageLoopUntilQuit(), 0);
    EXPECT_FALSE(IsWindow(window.getWindow()));
    onscreen::settle(screen);
    EXPECT_FALSE(screen.exists(shown));
}

} // namespace
