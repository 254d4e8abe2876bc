// The render area draws its scene headless into pixels the test can read, follows its parent's
// size, hands drawing-window messages to the application and then to the scene, and redraws
// once per burst of scene changes from the message loop.
#include "support/MessageLoop.h"
#include "support/RenderedImage.h"

#include <Inventor/SoOffscreenRenderer.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/SoWinRenderArea.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/events/SoKeyboardEvent.h>
#include <Inventor/events/SoMouseButtonEvent.h>
#include <Inventor/nodes/SoCallback.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoEventCallback.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A red cube seen from the front under a directional light, covering the middle of the view.
class RenderAreaTest : public ::testing::Test {
protected:
    void SetUp() override {
        SoWin::show(SoWin::getTopLevelWidget());
        host = testsupport::createHostWindow(200, 150);
        ASSERT_TRUE(IsWindow(host));
        root = new SoSeparator;
        root->ref();
        camera = new SoOrthographicCamera;
        camera->position.setValue(0, 0, 5);
        camera->height = 4;
        root->addChild(camera);
        SoDirectionalLight* light = new SoDirectionalLight;
        light->direction.setValue(0, 0, -1);
        root->addChild(light);
        material = new SoMaterial;
        material->diffuseColor.setValue(1, 0, 0);
        root->addChild(material);
        root->addChild(new SoCube);
        area.reset(new SoWinRenderArea(host));
        area->setBackgroundColor(SbColor(0, 0, 1));
        area->setSceneGraph(root);
        area->show();
    }

    void TearDown() override {
        area.reset();
        root->unref();
        DestroyWindow(host);
    }

    Rgb pixel(const std::vector<unsigned char>& rgb, const SbVec2s& size, int x, int y) {
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * size[0] + x) * 3];
        return {p[0], p[1], p[2]};
    }

    HWND host = nullptr;
    SoSeparator* root = nullptr;
    SoOrthographicCamera* camera = nullptr;
    SoMaterial* material = nullptr;
    std::unique_ptr<SoWinRenderArea> area;
};

TEST_F(RenderAreaTest, DrawsTheSceneAtTheParentsSizeAndFollowsIt) {
    std::vector<unsigned char> rgb;
    SbVec2s size;
    ASSERT_TRUE(area->readPixels(rgb, size));
    EXPECT_EQ(size, SbVec2s(200, 150));
    ASSERT_EQ(rgb.size(), 200u * 150u * 3u);
    const Rgb centre = pixel(rgb, size, 100, 75);
    EXPECT_GT(centre.r, 200);
    EXPECT_LT(centre.g, 30);
    EXPECT_LT(centre.b, 30);
    const Rgb corner = pixel(rgb, size, 0, 0);
    EXPECT_LT(corner.r, 30);
    EXPECT_GT(corner.b, 200);

    MoveWindow(host, 0, 0, 300, 200, TRUE);
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(area->getSize(), SbVec2s(300, 200));
    EXPECT_EQ(
        area->getSceneManager()->getGLRenderAction()->getViewportRegion().getViewportSizePixels(),
        SbVec2s(300, 200));
    ASSERT_TRUE(area->readPixels(rgb, size));
    EXPECT_EQ(size, SbVec2s(300, 200));
    EXPECT_EQ(rgb.size(), 300u * 200u * 3u);
    EXPECT_GT(pixel(rgb, size, 150, 100).r, 200);
    EXPECT_GT(pixel(rgb, size, 299, 199).b, 200);
}

TEST_F(RenderAreaTest, ReadsRowsFromTopToBottom) {
    // Move the cube into the upper half: the top rows turn red, the bottom rows stay blue.
    camera->position.setValue(0, -1.5f, 5);
    std::vector<unsigned char> rgb;
    SbVec2s size;
    area->render();
    ASSERT_TRUE(area->readPixels(rgb, size));
    EXPECT_GT(pixel(rgb, size, 100, 20).r, 200);
    EXPECT_GT(pixel(rgb, size, 100, 140).b, 200);
}

// At an odd width (rows of 3 × 101 bytes are not 4-byte aligned) both read-backs give the frame
// Coin's own off-screen renderer draws of the same scene, rows top to bottom; the BGRA one has the
// same colours in its byte order.
TEST_F(RenderAreaTest, BothReadBacksGiveTheOffscreenFrameAtAnOddWidth) {
    constexpr int kWidth = 101, kHeight = 61;
    MoveWindow(host, 0, 0, kWidth, kHeight, TRUE);
    testsupport::runMessageLoopUntilIdle();
    camera->position.setValue(0.7f, -0.9f, 5); // the cube off centre, towards the upper left
    area->render();
    std::vector<unsigned char> rgb, bgra;
    SbVec2s size, bgraSize;
    ASSERT_TRUE(area->readPixels(rgb, size));
    ASSERT_TRUE(area->readPixelsBGRA(bgra, bgraSize));
    ASSERT_EQ(size, SbVec2s(kWidth, kHeight));
    ASSERT_EQ(bgraSize, size);
    ASSERT_EQ(rgb.size(), size_t(kWidth) * kHeight * 3);
    ASSERT_EQ(bgra.size(), size_t(kWidth) * kHeight * 4);

    const RenderedImage expected(root, kWidth, kHeight, SbColor(0, 0, 1));
    ASSERT_TRUE(expected.isValid());
    int differing = 0, cube = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const Rgb want = expected.at(x, kHeight - 1 - y);
            const unsigned char* p = &bgra[(size_t(y) * kWidth + x) * 4];
            const Rgb fromBgra{p[2], p[1], p[0]};
            differing += pixel(rgb, size, x, y) != want || fromBgra != want;
            cube += want.r > 200;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(cube, 200);
    EXPECT_GT(pixel(rgb, size, 35, 10).r, 200) << "the cube is up and to the left";
    EXPECT_GT(pixel(rgb, size, 35, kHeight - 10).b, 200);
}

TEST_F(RenderAreaTest, OffscreenRendererCanBorrowTheRenderAction) {
    // Printing renders the view off screen with the render area's own action; afterwards the
    // render area must still draw with its own context's caches.
    area->render();
    SoSceneManager* manager = area->getSceneManager();
    SoOffscreenRenderer offscreen(area->getViewportRegion());
    offscreen.setBackgroundColor(manager->getBackgroundColor());
    offscreen.setGLRenderAction(manager->getGLRenderAction());
    ASSERT_TRUE(offscreen.render(manager->getSceneGraph()));
    const unsigned char* centre =
        offscreen.getBuffer() + (75 * 200 + 100) * offscreen.getComponents();
    EXPECT_GT(centre[0], 200);

    material->diffuseColor.setValue(0, 1, 0);
    area->render();
    std::vector<unsigned char> rgb;
    SbVec2s size;
    ASSERT_TRUE(area->readPixels(rgb, size));
    const Rgb green = pixel(rgb, size, 100, 75);
    EXPECT_LT(green.r, 30);
    EXPECT_GT(green.g, 200);
}

struct RenderCounter {
    int renders = 0;
    static void callback(void* data, SoAction* action) {
        if (action->isOfType(SoGLRenderAction::getClassTypeId()))
            ++static_cast<RenderCounter*>(data)->renders;
    }
};

TEST_F(RenderAreaTest, SceneChangesAndResizesGiveOneRedrawWhenTheLoopRuns) {
    RenderCounter counter;
    SoCallback* probe = new SoCallback;
    probe->setCallback(RenderCounter::callback, &counter);
    root->addChild(probe);
    testsupport::runMessageLoopUntilIdle();
    const int before = counter.renders;
    EXPECT_GE(before, 1);

    material->diffuseColor.setValue(0, 1, 0);
    material->diffuseColor.setValue(0, 0.5f, 0);
    camera->height = 5;
    EXPECT_EQ(counter.renders, before); // nothing is drawn until the loop runs
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(counter.renders, before + 1);
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(counter.renders, before + 1);

    // A resize is one more picture, painted at the new size.
    MoveWindow(host, 0, 0, 220, 160, TRUE);
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(counter.renders, before + 2);

    // Without automatic redraws a scene change waits for an explicit render.
    EXPECT_TRUE(area->isAutoRedraw());
    area->setAutoRedraw(FALSE);
    EXPECT_FALSE(area->isAutoRedraw());
    camera->height = 6;
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(counter.renders, before + 2);
}

struct SeenEvents {
    std::vector<SbVec2s> presses;
    std::vector<SbBool> shift;
    std::vector<SbVec2s> wheelUps;
    std::vector<SoKeyboardEvent::Key> keys;
    std::vector<SbBool> alt;
    static void callback(void* data, SoEventCallback* node) {
        SeenEvents& seen = *static_cast<SeenEvents*>(data);
        const SoEvent* event = node->getEvent();
        if (SO_MOUSE_PRESS_EVENT(event, BUTTON1)) {
            seen.presses.push_back(event->getPosition());
            seen.shift.push_back(event->wasShiftDown());
        } else if (SO_MOUSE_PRESS_EVENT(event, BUTTON4)) {
            seen.wheelUps.push_back(event->getPosition());
        } else if (event->isOfType(SoKeyboardEvent::getClassTypeId()) &&
                   SoKeyboardEvent::isKeyPressEvent(event, SoKeyboardEvent::ANY)) {
            seen.keys.push_back(static_cast<const SoKeyboardEvent*>(event)->getKey());
            seen.alt.push_back(event->wasAltDown());
        }
    }
};

struct AppFilter {
    SbBool consume = FALSE;
    std::vector<UINT> messages;
    static SbBool callback(void* data, MSG* msg) {
        AppFilter& filter = *static_cast<AppFilter*>(data);
        filter.messages.push_back(msg->message);
        return filter.consume;
    }
};

class RenderAreaEventTest : public RenderAreaTest {
protected:
    void SetUp() override {
        RenderAreaTest::SetUp();
        SoEventCallback* events = new SoEventCallback;
        events->addEventCallback(SoMouseButtonEvent::getClassTypeId(), SeenEvents::callback, &seen);
        events->addEventCallback(SoKeyboardEvent::getClassTypeId(), SeenEvents::callback, &seen);
        root->insertChild(events, 0);
        area->setEventCallback(AppFilter::callback, &filter);
    }

    SeenEvents seen;
    AppFilter filter;
};

TEST_F(RenderAreaEventTest, ButtonPressReachesTheSceneInInventorCoordinates) {
    PostMessageA(area->getNormalWidget(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT,
                 MAKELPARAM(10, 20));
    testsupport::runMessageLoopUntilIdle();
    ASSERT_EQ(seen.presses.size(), 1u);
    EXPECT_EQ(seen.presses[0], SbVec2s(10, 129));
    EXPECT_TRUE(seen.shift[0]);
    ASSERT_EQ(filter.messages.size(), 1u);
    EXPECT_EQ(filter.messages[0], static_cast<UINT>(WM_LBUTTONDOWN));
    // The pressed window holds the mouse until the last button is up, and has the keyboard.
    EXPECT_EQ(GetCapture(), area->getNormalWidget());
    EXPECT_EQ(GetFocus(), area->getNormalWidget());
    PostMessageA(area->getNormalWidget(), WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(RenderAreaEventTest, ApplicationCallbackThatConsumesStopsTheMessage) {
    filter.consume = TRUE;
    PostMessageA(area->getNormalWidget(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    PostMessageA(area->getNormalWidget(), WM_KEYDOWN, 'A', 0);
    testsupport::runMessageLoopUntilIdle();
    // The loop also translates the key press into a character message.
    EXPECT_EQ(filter.messages, (std::vector<UINT>{WM_LBUTTONDOWN, WM_KEYDOWN, WM_CHAR}));
    EXPECT_TRUE(seen.presses.empty());
    EXPECT_TRUE(seen.keys.empty());
}

TEST_F(RenderAreaEventTest, KeysBecomeKeyboardEventsWithTheAltKeyTracked) {
    HWND window = area->getNormalWidget();
    const LPARAM altHeld = LPARAM(1) << 29; // Win32's context code of system key messages
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    PostMessageA(window, WM_SYSKEYDOWN, VK_MENU, altHeld);
    PostMessageA(window, WM_SYSKEYDOWN, VK_F1 + 3, altHeld);
    PostMessageA(window, WM_SYSKEYUP, VK_MENU, 0);
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(seen.keys,
              (std::vector<SoKeyboardEvent::Key>{SoKeyboardEvent::A, SoKeyboardEvent::LEFT_ALT,
                                                 SoKeyboardEvent::F4, SoKeyboardEvent::ESCAPE}));
    EXPECT_EQ(seen.alt, (std::vector<SbBool>{FALSE, TRUE, TRUE, FALSE}));
}

TEST_F(RenderAreaEventTest, WheelPositionIsTakenFromScreenCoordinates) {
    HWND window = area->getNormalWidget();
    POINT point = {30, 40};
    ClientToScreen(window, &point);
    PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(point.x, point.y));
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(seen.wheelUps, (std::vector<SbVec2s>{SbVec2s(30, 109)}));
}

TEST_F(RenderAreaEventTest, WithoutMouseInputNoMouseMessageGetsThrough) {
    area->setMouseInput(FALSE);
    PostMessageA(area->getNormalWidget(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    testsupport::runMessageLoopUntilIdle();
    EXPECT_TRUE(filter.messages.empty());
    EXPECT_TRUE(seen.presses.empty());
}

TEST_F(RenderAreaEventTest, SingleBufferedWindowTakesOverWhenDoubleBufferingIsOff) {
    HWND doubleBuffered = area->getNormalWidget();
    area->setDoubleBuffer(FALSE);
    HWND singleBuffered = area->getNormalWidget();
    ASSERT_NE(singleBuffered, doubleBuffered);
    EXPECT_TRUE(IsWindowVisible(singleBuffered));
    EXPECT_FALSE(IsWindowVisible(doubleBuffered));
    PostMessageA(singleBuffered, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    testsupport::runMessageLoopUntilIdle();
    EXPECT_EQ(seen.presses.size(), 1u);
    std::vector<unsigned char> rgb;
    SbVec2s size;
    ASSERT_TRUE(area->readPixels(rgb, size));
    EXPECT_GT(rgb[(75 * 200 + 100) * 3], 200); // the cube's red, drawn in the other window
}

} // namespace
