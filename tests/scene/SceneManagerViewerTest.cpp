// The canvas's scene manager bound to the library's examiner viewer, wired as a canvas wires it:
// the Z scale moving the camera first, the sticky cursor following the viewer's mode and the
// mouse messages of its drawing window, and compass, giro and cursor in the frames it draws.
#include "ExtendedSceneProbe.h"
#include "OivWinTav.h"
#include "ViewerFrame.h"
#include "support/MessageLoop.h"
#include "tav/OivCompass.h"
#include "tav/OivGlobalZScale.h"
#include "tav/OivStickyCursor.h"
#include "viewers/OivWinExaminerViewer.h"
#include "viewers/OivWinPlaneViewer.h"

#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/nodes/SoTranslation.h>
#include <Inventor/sensors/SoNodeSensor.h>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 160;
const POINT kCentre{kWidth / 2, kHeight / 2};

SoSeparator* block(float width, float height, float depth, float z) {
    SoSeparator* block = new SoSeparator;
    SoTranslation* lift = new SoTranslation;
    lift->translation.setValue(0.0f, 0.0f, z);
    block->addChild(lift);
    SoCube* cube = new SoCube;
    cube->width = width;
    cube->height = height;
    cube->depth = depth;
    block->addChild(cube);
    return block;
}

// A host window with the library's examiner viewer and the scene manager, bound and wired the
// way a canvas does it.
class SceneManagerViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = testsupport::createHostWindow(kWidth, kHeight);
        ASSERT_NE(nullptr, window);
        viewer = new OivWinExaminerViewer(window);
        viewer->setDecoration(FALSE);
        manager = new ExtendedSceneProbe;
        manager->setViewer(viewer, false);
        viewer->setViewingModeChangeCallback(OivSceneManager::viewingModeChangeCB, manager);
        viewer->setSystemMouseEventCallback(OivSceneManager::systemMouseEventCB, manager);
    }
    void TearDown() override {
        delete manager;
        delete viewer;
        DestroyWindow(window);
    }

    // A 4 × 4 × 2 block of the host centred at the origin (top face at z = 1), framed from above;
    // the view all also starts the examiner's mouse interception.
    void showHostBlock() {
        manager->getRoot3D()->addChild(block(4.0f, 4.0f, 2.0f, 0.0f));
        viewer->viewAll();
    }

    // Picking mode with the cursor on, drawn once so that it knows the view it picks in.
    void startPickingWithCursor() {
        manager->enableStickyCursor(true);
        viewer->setViewing(FALSE);
        viewer->render();
    }

    void moveMouse(int x, int y) {
        SendMessageA(viewer->getNormalWidget(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }

    SbVec3f cursorPosition() const {
        return static_cast<SoTransform*>(manager->m_StickyCursor->getPart("transform", FALSE))
            ->translation.getValue();
    }

    HWND window = nullptr;
    OivWinExaminerViewer* viewer = nullptr;
    ExtendedSceneProbe* manager = nullptr;
};

// --- binding ------------------------------------------------------------------------------------

TEST_F(SceneManagerViewerTest, InstrumentsShowTheViewersCameraAndStartHidden) {
    EXPECT_EQ(viewer, manager->getCompass()->getViewer());
    EXPECT_EQ(viewer, manager->getHorizonGiro()->getViewer());
    EXPECT_FALSE(manager->isCompassVisible());
    EXPECT_FALSE(manager->isHorizonGiroVisible());
    EXPECT_FALSE(manager->isStickyCursorShown());
}

// --- global Z scale -----------------------------------------------------------------------------

// What the camera and the scale looked like when the camera changed and when the manager
// reported the change.
struct ScaleChangeRecord {
    ExtendedSceneProbe* manager = nullptr;
    SoCamera* camera = nullptr;
    int cameraChanges = 0;
    float scaleWhenCameraChanged = 0.0f;
    int reports = 0;
    float cameraZWhenReported = 0.0f;
    float scaleWhenReported = 0.0f;

    static void cameraChangedCB(void* data, SoSensor*) {
        ScaleChangeRecord* record = static_cast<ScaleChangeRecord*>(data);
        if (record->cameraChanges++ == 0)
            record->scaleWhenCameraChanged =
                record->manager->getGlobalScale()->scaleFactor.getValue()[2];
    }
    static void reportedCB(void* data, OivBaseSceneManager*) {
        ScaleChangeRecord* record = static_cast<ScaleChangeRecord*>(data);
        ++record->reports;
        record->cameraZWhenReported = record->camera->position.getValue()[2];
        record->scaleWhenReported = record->manager->getGlobalScale()->scaleFactor.getValue()[2];
    }
};

TEST_F(SceneManagerViewerTest, CameraFollowsTheGeometryBeforeTheScaleChangesThenOneReport) {
    SoCamera* camera = viewer->getCamera();
    ASSERT_NE(nullptr, camera);
    // Looking down -Z from (0, 0, 10) at the focal point (0, 0, -10).
    camera->position.setValue(0.0f, 0.0f, 10.0f);
    camera->orientation.setValue(SbRotation::identity());
    camera->focalDistance.setValue(20.0f);

    ScaleChangeRecord record;
    record.manager = manager;
    record.camera = camera;
    manager->setSceneContextChangeCallback(ScaleChangeRecord::reportedCB, &record);
    SoNodeSensor sensor(ScaleChangeRecord::cameraChangedCB, &record);
    sensor.setPriority(0); // fires inside the change, before the manager goes on
    sensor.attach(camera);

    manager->setGlobalZScale(1.0f);
    EXPECT_EQ(0, record.cameraChanges);
    EXPECT_EQ(0, record.reports);

    manager->setGlobalZScale(2.0f);
    EXPECT_GE(record.cameraChanges, 1);
    EXPECT_EQ(1.0f, record.scaleWhenCameraChanged) << "the camera moved after the scale";
    // The focal point went to z = -20 with the geometry; focal distance and view stay.
    EXPECT_TRUE(camera->position.getValue().equals(SbVec3f(0.0f, 0.0f, 0.0f), 1e-5f));
    EXPECT_EQ(20.0f, camera->focalDistance.getValue());
    EXPECT_EQ(1, record.reports);
    EXPECT_NEAR(0.0f, record.cameraZWhenReported, 1e-5f);
    EXPECT_EQ(2.0f, record.scaleWhenReported);

    const int changes = record.cameraChanges;
    manager->setGlobalZScale(2.0f);
    manager->setGlobalZScale(0.0f);
    EXPECT_EQ(changes, record.cameraChanges);
    EXPECT_EQ(1, record.reports);
    sensor.detach();
}

// --- sticky cursor ------------------------------------------------------------------------------

TEST_F(SceneManagerViewerTest, CursorIsShownExactlyWhileEnabledAndPicking) {
    ASSERT_TRUE(viewer->isViewing());
    manager->enableStickyCursor(true);
    EXPECT_FALSE(manager->isStickyCursorShown()) << "viewing mode hides it";

    viewer->setViewing(FALSE);
    EXPECT_TRUE(manager->isStickyCursorShown());
    viewer->setViewing(TRUE);
    EXPECT_FALSE(manager->isStickyCursorShown());

    viewer->setViewing(FALSE);
    manager->enableStickyCursor(false);
    EXPECT_FALSE(manager->isStickyCursorShown()) << "disabling hides it at once";
    viewer->setViewing(FALSE);
    EXPECT_FALSE(manager->isStickyCursorShown());
}

TEST(SceneManagerBinding, CursorEnabledBeforeTheViewerAppearsOnAPickingViewer) {
    HWND window = testsupport::createHostWindow(kWidth, kHeight);
    ASSERT_NE(nullptr, window);
    OivWinExaminerViewer* viewer = new OivWinExaminerViewer(window);
    ExtendedSceneProbe* manager = new ExtendedSceneProbe;
    manager->enableStickyCursor(true);
    EXPECT_FALSE(manager->isStickyCursorShown());

    viewer->setViewing(FALSE);
    manager->setViewer(viewer, false);
    EXPECT_TRUE(manager->isStickyCursorShown());

    delete manager;
    delete viewer;
    DestroyWindow(window);
}

TEST_F(SceneManagerViewerTest, MouseMoveOverTheHostContentPutsTheCursorOnItsScaledSurface) {
    showHostBlock();
    startPickingWithCursor();

    moveMouse(kCentre.x, kCentre.y);
    EXPECT_EQ(kCentre.x, viewer->getLastMouseX());
    EXPECT_EQ(kCentre.y, viewer->getLastMouseY());
    ASSERT_TRUE(manager->m_StickyCursor->isOnSurface());
    EXPECT_TRUE(cursorPosition().equals(SbVec3f(0.0f, 0.0f, 1.0f), 0.1f)) << cursorPosition()[2];
    EXPECT_NEAR(1.0f, cursorPosition()[2], 1e-4f);

    // Stretched twice: the surface under the mouse rises to twice its height.
    manager->setGlobalZScale(2.0f);
    viewer->render();
    moveMouse(kCentre.x, kCentre.y);
    ASSERT_TRUE(manager->m_StickyCursor->isOnSurface());
    EXPECT_NEAR(2.0f, cursorPosition()[2], 1e-4f);
}

TEST_F(SceneManagerViewerTest, MouseMovesReachOnlyAnEnabledCursorAlsoWhileViewing) {
    showHostBlock();
    startPickingWithCursor();
    moveMouse(kCentre.x, kCentre.y);
    ASSERT_TRUE(manager->m_StickyCursor->isOnSurface());
    const SbVec3f atCentre = cursorPosition();

    manager->enableStickyCursor(false);
    moveMouse(kCentre.x + 30, kCentre.y + 20);
    EXPECT_TRUE(cursorPosition() == atCentre) << "a disabled cursor was moved";

    // Enabled again while viewing: hidden, but following the mouse.
    manager->enableStickyCursor(true);
    viewer->setViewing(TRUE);
    EXPECT_FALSE(manager->isStickyCursorShown());
    moveMouse(kCentre.x + 30, kCentre.y + 20);
    EXPECT_FALSE(cursorPosition() == atCentre) << "the enabled cursor did not follow";
    EXPECT_GT(cursorPosition()[0], atCentre[0]);
    EXPECT_LT(cursorPosition()[1], atCentre[1]); // window y runs downwards
}

TEST_F(SceneManagerViewerTest, OnlyExaminerViewersMoveTheCursor) {
    showHostBlock();
    startPickingWithCursor();
    moveMouse(kCentre.x, kCentre.y);
    ASSERT_TRUE(manager->m_StickyCursor->isOnSurface());
    const SbVec3f atCentre = cursorPosition();

    // A plane viewer keeps no mouse position: its report changes nothing.
    HWND otherWindow = testsupport::createHostWindow(kWidth, kHeight);
    OivWinPlaneViewer* plane = new OivWinPlaneViewer(otherWindow);
    OivSceneManager::systemMouseEventCB(manager, plane);
    OivSceneManager::systemMouseEventCB(manager, nullptr);
    EXPECT_TRUE(cursorPosition() == atCentre);
    delete plane;
    DestroyWindow(otherWindow);
}

// --- the drawn frame ----------------------------------------------------------------------------

// The middle of the pixels where two frames differ; false when they do not differ.
bool middleOfDifference(const Frame& a, const Frame& b, float& x, float& y) {
    int count = 0;
    x = y = 0.0f;
    for (int row = 0; row < a.size[1]; ++row)
        for (int column = 0; column < a.size[0]; ++column)
            if (a.countDiffering(b, column, row, column + 1, row + 1)) {
                x += column;
                y += row;
                ++count;
            }
    if (count == 0)
        return false;
    x /= count;
    y /= count;
    return true;
}

TEST_F(SceneManagerViewerTest, CursorMovedWhileViewingAppearsUnderTheMouseWhenPickingStarts) {
    showHostBlock();
    startPickingWithCursor();
    const POINT mouse{kCentre.x + 30, kCentre.y + 10};

    // While viewing, the camera pans a unit east and the mouse moves: the cursor is hidden and
    // not drawn, so it last saw the view from before the pan.
    viewer->setViewing(TRUE);
    SoCamera* camera = viewer->getCamera();
    camera->position = camera->position.getValue() + SbVec3f(1.0f, 0.0f, 0.0f);
    viewer->render();
    moveMouse(mouse.x, mouse.y);

    viewer->setViewing(FALSE);
    const Frame withCursor = drawnFrame(viewer);
    manager->enableStickyCursor(false);
    const Frame withoutCursor = drawnFrame(viewer);
    float x, y;
    ASSERT_TRUE(middleOfDifference(withCursor, withoutCursor, x, y)) << "no cursor drawn";
    EXPECT_NEAR(mouse.x, x, 4.0f);
    EXPECT_NEAR(mouse.y, y, 4.0f);
}

TEST_F(SceneManagerViewerTest, CompassTopRightAndGiroTopLeftAreDrawnOnlyWhenShown) {
    const Frame none = drawnFrame(viewer);
    const int midX = kWidth / 2, midY = kHeight / 2;

    manager->setCompassVisible(true);
    const Frame compass = drawnFrame(viewer);
    EXPECT_GT(compass.countDiffering(none, midX, 0, kWidth, midY), 100);
    EXPECT_EQ(0, compass.countDiffering(none, 0, 0, midX, kHeight));
    EXPECT_EQ(0, compass.countDiffering(none, midX, 3 * kHeight / 4, kWidth, kHeight));

    manager->setHorizonGiroVisible(true);
    const Frame both = drawnFrame(viewer);
    EXPECT_GT(both.countDiffering(compass, 0, 0, midX, midY), 100);
    EXPECT_EQ(0, both.countDiffering(compass, midX, 0, kWidth, kHeight));
    EXPECT_EQ(0, both.countDiffering(compass, 0, 3 * kHeight / 4, midX, kHeight));

    manager->setCompassVisible(false);
    manager->setHorizonGiroVisible(false);
    EXPECT_EQ(0, drawnFrame(viewer).countDiffering(none, 0, 0, kWidth, kHeight));
}

TEST_F(SceneManagerViewerTest, CursorIsDrawnOverSceneGeometryInFrontOfIt) {
    showHostBlock();
    startPickingWithCursor();
    moveMouse(kCentre.x, kCentre.y);
    ASSERT_TRUE(manager->m_StickyCursor->isOnSurface());

    // A slab of the host between the camera and the cursor hides the whole block.
    manager->getRoot3D()->addChild(block(40.0f, 40.0f, 0.1f, 3.0f));
    const Frame withCursor = drawnFrame(viewer);
    manager->enableStickyCursor(false);
    const Frame withoutCursor = drawnFrame(viewer);

    EXPECT_GT(withCursor.countDiffering(withoutCursor, 0, 0, kWidth, kHeight), 10);
    EXPECT_EQ(0, withCursor.countDiffering(withoutCursor, 0, 0, kWidth / 4, kHeight / 4))
        << "only the cursor's own pixels change";
}

SoSeparator* flatColouredBlock(const SbColor& colour, float transparency, float size, float z) {
    SoSeparator* coloured = new SoSeparator;
    SoMaterial* material = new SoMaterial;
    material->diffuseColor = colour;
    material->transparency = transparency;
    coloured->addChild(material);
    coloured->addChild(block(size, size, 0.1f, z));
    return coloured;
}

TEST_F(SceneManagerViewerTest, CursorBranchLeavesTransparentContentBehindOpaqueContentHidden) {
    // As a canvas sets it: transparent objects are sorted and drawn after the opaque ones.
    viewer->setTransparencyType(SoGLRenderAction::SORTED_OBJECT_BLEND);
    SoLightModel* flat = new SoLightModel;
    flat->model = SoLightModel::BASE_COLOR;
    manager->getRoot3D()->addChild(flat);
    // A half-transparent blue sheet below an opaque green one that covers its middle.
    manager->getRoot3D()->addChild(flatColouredBlock(SbColor(0, 0, 1), 0.5f, 6.0f, 0.0f));
    manager->getRoot3D()->addChild(flatColouredBlock(SbColor(0, 1, 0), 0.0f, 2.0f, 1.0f));
    viewer->viewAll();
    startPickingWithCursor();
    moveMouse(kCentre.x, kCentre.y);
    ASSERT_TRUE(manager->isStickyCursorShown());

    const Frame frame = drawnFrame(viewer);
    // Away from the cursor in the middle: green unblended, blue over the black background.
    const int x = kCentre.x + kWidth / 20, y = kCentre.y + kHeight / 20;
    EXPECT_TRUE(frame.isNear(x, y, 0, 255, 0))
        << int(frame.at(x, y)[0]) << ", " << int(frame.at(x, y)[1]) << ", "
        << int(frame.at(x, y)[2]);
    // Both faces of the sheet blend half of their blue over the black background.
    EXPECT_GT(frame.countNear(0, 0, 191, 3), 100) << "the transparent sheet is drawn";
}

} // namespace

// A translucent sheet over the whole view, as the canvas's 30 %-transparent terrain fills a
// corner: the instruments stay as they were without it, whichever way translucency is drawn.
TEST_F(SceneManagerViewerTest, InstrumentsStayOverTranslucentContentInEveryTransparencyType) {
    SoLightModel* flat = new SoLightModel;
    flat->model = SoLightModel::BASE_COLOR;
    manager->getRoot3D()->addChild(flat);
    SoCamera* camera = viewer->getCamera();
    camera->position.setValue(0.0f, 0.0f, 10.0f);
    camera->focalDistance = 10.0f;
    SoSeparator* sheet = flatColouredBlock(SbColor(1, 0.5f, 0), 0.3f, 100.0f, 0.0f);
    sheet->ref();
    // Every transparency type of Coin's, numbered from SCREEN_DOOR to SORTED_LAYERS_BLEND.
    for (int type = SoGLRenderAction::SCREEN_DOOR; type <= SoGLRenderAction::SORTED_LAYERS_BLEND;
         ++type) {
        SCOPED_TRACE(type);
        viewer->setTransparencyType(SoGLRenderAction::TransparencyType(type));
        Frame frames[3]; // bare, with the instruments, with the sheet over them as well
        for (int step = 0; step < 3; ++step) {
            manager->setCompassVisible(step > 0);
            manager->setHorizonGiroVisible(step > 0);
            if (step == 2)
                manager->getRoot3D()->addChild(sheet);
            frames[step] = drawnFrame(viewer);
        }
        manager->getRoot3D()->removeChild(sheet);
        ASSERT_FALSE(frames[2].isNear(kCentre.x, kCentre.y, 0, 0, 0, 20)) << "the sheet is drawn";
        int instrumentPixels = 0, changed = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const unsigned char* p = frames[1].at(x, y);
                const bool instrument = frames[0].countDiffering(frames[1], x, y, x + 1, y + 1);
                instrumentPixels += instrument;
                changed += instrument && !frames[2].isNear(x, y, p[0], p[1], p[2], 8);
            }
        EXPECT_GT(instrumentPixels, 200);
        EXPECT_EQ(0, changed) << "of " << instrumentPixels << " instrument pixels";
    }
    sheet->unref();
}
