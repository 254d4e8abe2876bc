// The canvas toolbar on real canvases, operated the way a user operates it: what each control does
// to the camera, the scene manager and the picture, the notices it shows, and what reset shows
// after the canvas changed elsewhere.
#include "OivWinTav.h"
#include "support/MessageLoop.h"
#include "support/ScriptedInput.h"
#include "tav/OivGlobalZScale.h"

#include <DialogViz/SoDialogVizAll.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/fields/SoMFFloat.h>
#include <Inventor/fields/SoMFString.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 160, kHeight = 120;
constexpr float kTolerance = 1e-3f;

// The notices shown while a test runs, as "title: text".
struct Notices {
    std::vector<std::string> shown;
    Notices() { SoMessageDialog::setShowCallback(record, this); }
    ~Notices() { SoMessageDialog::setShowCallback(nullptr, nullptr); }
    static void record(void* data, SoMessageDialog* dialog) {
        static_cast<Notices*>(data)->shown.push_back(
            std::string(dialog->title.getValue().getString()) + ": " +
            dialog->label.getValue().getString());
    }
};

class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = testsupport::createHostWindow(kWidth, kHeight);
        ASSERT_NE(host, nullptr);
    }
    void TearDown() override {
        delete toolbar;
        delete canvas;
        DestroyWindow(host);
    }

    // A canvas of `type` showing a unit cube, framed, with a toolbar bound and registered.
    void build(OivBaseCanvas::ViewerType type, bool compact = false) {
        canvas = new OivCanvas;
        canvas->initialize(type, host);
        ASSERT_NE(canvas->getOivViewer(), nullptr);
        canvas->getOivSceneManager()->getRoot3D()->addChild(new SoCube);
        viewer()->viewAll();
        toolbar = new DuiCanvasToolbar;
        toolbar->m_Compact = compact;
        toolbar->setOivCanvas(canvas);
        toolbar->initialize();
        canvas->addDUI(toolbar);
    }

    SoWinFullViewer* viewer() const { return canvas->getOivViewer(); }
    SoCamera* camera() const { return viewer()->getCamera(); }
    OivSceneManager* manager() const { return canvas->getOivSceneManager(); }

    template <class Control> Control* control(const char* id) const {
        return DuiBaseDialog::findControl<Control>(toolbar->getTopLevelDialog(), id);
    }
    void press(const char* id) {
        SoDialogPushButton* button = control<SoDialogPushButton>(id);
        ASSERT_NE(button, nullptr) << id;
        button->press();
    }
    void toggle(const char* id) {
        SoDialogCheckBox* box = control<SoDialogCheckBox>(id);
        ASSERT_NE(box, nullptr) << id;
        box->toggle();
    }
    void select(const char* id, int index) {
        SoDialogComboBox* combo = control<SoDialogComboBox>(id);
        ASSERT_NE(combo, nullptr) << id;
        combo->select(index);
    }
    bool checked(const char* id) const { return control<SoDialogCheckBox>(id)->state.getValue(); }
    int selected(const char* id) const {
        return control<SoDialogComboBox>(id)->selectedItem.getValue();
    }

    // True when the cube's centre is in the middle of the view and the cube fills it: its
    // corners reach out from the middle but stay (within the slack of a bounding-sphere fit) on
    // screen.
    bool framesTheCube() const {
        const SbViewVolume volume = camera()->getViewVolume(float(kWidth) / kHeight);
        SbVec3f centre;
        volume.projectToScreen(SbVec3f(0, 0, 0), centre);
        if ((SbVec2f(centre[0], centre[1]) - SbVec2f(0.5f, 0.5f)).length() > 0.02f)
            return false;
        float reach = 0.0f;
        for (int i = 0; i < 8; ++i) {
            SbVec3f corner((i & 1) ? 1 : -1, (i & 2) ? 1 : -1, (i & 4) ? 1 : -1), screen;
            volume.projectToScreen(corner, screen);
            const float fromMiddle =
                std::max(std::fabs(screen[0] - 0.5f), std::fabs(screen[1] - 0.5f));
            if (fromMiddle > 0.6f)
                return false;
            reach = std::max(reach, fromMiddle);
        }
        return reach > 0.25f;
    }
    SbVec3f viewDirection() const {
        SbVec3f direction;
        camera()->orientation.getValue().multVec(SbVec3f(0, 0, -1), direction);
        return direction;
    }
    void moveCameraAway() {
        camera()->position = SbVec3f(40, -25, 30);
        camera()->pointAt(SbVec3f(60, 0, 0));
    }
    // Starts a spin with a drag released while moving.
    void spin() {
        const POINT centre = {kWidth / 2, kHeight / 2};
        testsupport::drag(viewer()->getNormalWidget(), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON,
                          centre, {centre.x + 40, centre.y});
    }
    std::vector<unsigned char> frame() {
        std::vector<unsigned char> rgb;
        SbVec2s size;
        viewer()->render();
        EXPECT_TRUE(viewer()->readPixels(rgb, size));
        return rgb;
    }
    // Pixels that differ in the quarter of the frame at the top right (rows run top down).
    static int differingTopRight(const std::vector<unsigned char>& a,
                                 const std::vector<unsigned char>& b) {
        int count = 0;
        for (int y = 0; y < kHeight / 4; ++y)
            for (int x = kWidth * 3 / 4; x < kWidth; ++x)
                for (int c = 0; c < 3; ++c)
                    count += a[(y * kWidth + x) * 3 + c] != b[(y * kWidth + x) * 3 + c];
        return count;
    }

    HWND host = nullptr;
    OivCanvas* canvas = nullptr;
    DuiCanvasToolbar* toolbar = nullptr;
};

TEST_F(ToolbarTest, ViewAllHomeAndSetHomeMoveTheCamera) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    moveCameraAway();
    ASSERT_FALSE(framesTheCube());
    press("AID_viewall");
    EXPECT_TRUE(framesTheCube());

    camera()->position = SbVec3f(0, -3, 1);
    camera()->pointAt(SbVec3f(0, 0, 0));
    const SbVec3f home = camera()->position.getValue();
    const SbRotation homeOrientation = camera()->orientation.getValue();
    press("AID_sethome");
    moveCameraAway();
    press("AID_home");
    EXPECT_TRUE(camera()->position.getValue().equals(home, kTolerance));
    EXPECT_TRUE(camera()->orientation.getValue().equals(homeOrientation, kTolerance));
}

TEST_F(ToolbarTest, NorthWithoutKeepFocusLooksSouthAndFramesTheScene) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    ASSERT_TRUE(checked("AID_keepfocus")) << "the camera control keeps focus from the start";
    toggle("AID_keepfocus");
    EXPECT_FALSE(manager()->getCameraControl()->isKeepingFocus());
    moveCameraAway();
    select("AID_position", 5);
    EXPECT_EQ(manager()->getCameraControl()->getDirection(), OivCameraControl::NORTH);
    EXPECT_TRUE(viewDirection().equals(SbVec3f(0, -1, 0), kTolerance));
    EXPECT_TRUE(framesTheCube());

    // "Set Position" places the camera again at the chosen direction.
    moveCameraAway();
    press("AID_setposition");
    EXPECT_TRUE(viewDirection().equals(SbVec3f(0, -1, 0), kTolerance));
    EXPECT_TRUE(framesTheCube());
}

TEST_F(ToolbarTest, NorthKeepingFocusKeepsTheDistanceAndStopsASpin) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    spin();
    ASSERT_TRUE(static_cast<SoWinExaminerViewer*>(viewer())->isAnimating());
    const float distance = camera()->focalDistance.getValue();
    select("AID_position", 5);
    EXPECT_FALSE(static_cast<SoWinExaminerViewer*>(viewer())->isAnimating());
    EXPECT_NEAR(camera()->focalDistance.getValue(), distance, kTolerance);
    EXPECT_TRUE(viewDirection().equals(SbVec3f(0, -1, 0), kTolerance));

    // An index past the directions keeps the direction but still places the camera.
    SoDialogComboBox* position = control<SoDialogComboBox>("AID_position");
    position->items.set1Value(6, "Elsewhere");
    camera()->orientation = SbRotation(SbVec3f(1, 0, 0), 0.3f);
    position->select(6);
    EXPECT_EQ(manager()->getCameraControl()->getDirection(), OivCameraControl::NORTH);
    EXPECT_TRUE(viewDirection().equals(SbVec3f(0, -1, 0), kTolerance));
}

TEST_F(ToolbarTest, ZScaleComboAppliesTheTableAndResetSelectsTheCurrentScale) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    const SoMFFloat& scales = *canvas->getZScales();
    const SoMFString& labels = *canvas->getZScaleLabels();
    SoDialogComboBox* combo = control<SoDialogComboBox>("AID_zscale");
    ASSERT_EQ(combo->items.getNum(), labels.getNum()) << "initialize ends with a reset";
    EXPECT_EQ(combo->items[3], labels[3]);
    EXPECT_EQ(scales[combo->selectedItem.getValue()], 1.0f) << "the scale of a new canvas";

    select("AID_zscale", 3);
    EXPECT_EQ(manager()->getGlobalZScale(), scales[3]);
    EXPECT_EQ(manager()->getGlobalScale()->scaleFactor.getValue()[2], scales[3]);

    manager()->setGlobalZScale(scales[7]);
    canvas->updateDUI();
    EXPECT_EQ(combo->selectedItem.getValue(), 7);
    EXPECT_EQ(combo->items.getNum(), labels.getNum()) << "refilled, not appended to";

    // A scale the table does not hold leaves the selection where it was.
    manager()->setGlobalZScale(scales[7] * 1.01f);
    canvas->updateDUI();
    EXPECT_EQ(combo->selectedItem.getValue(), 7);
}

TEST_F(ToolbarTest, BackgroundComboChangesWhatIsDrawnBehindTheScene) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    const std::vector<unsigned char> black = frame();
    select("AID_background", 2);
    EXPECT_EQ(manager()->getBackground(), OivBaseSceneManager::GRADIENT);
    const std::vector<unsigned char> gradient = frame();
    // The corner pixels, away from the cube, are no longer black.
    EXPECT_EQ(black[0] + black[1] + black[2], 0);
    EXPECT_GT(gradient[0] + gradient[1] + gradient[2], 0);

    for (int index = 0; index < 4; ++index) {
        select("AID_background", index);
        EXPECT_EQ(manager()->getBackground(), index);
    }
    // An item the scene manager has no background for changes nothing.
    SoDialogComboBox* combo = control<SoDialogComboBox>("AID_background");
    combo->items.set1Value(4, "Other");
    select("AID_background", 1);
    select("AID_background", 4);
    EXPECT_EQ(manager()->getBackground(), OivBaseSceneManager::ALTERNATE);
    // reset shows the manager's background again.
    canvas->updateDUI();
    EXPECT_EQ(combo->selectedItem.getValue(), 1);
    manager()->setBackground(OivBaseSceneManager::IMAGE);
    canvas->updateDUI();
    EXPECT_EQ(combo->selectedItem.getValue(), 3);
}

TEST_F(ToolbarTest, ChecksReachTheSceneManagerAndResetShowsItsState) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    const std::vector<unsigned char> without = frame();
    toggle("AID_compass");
    EXPECT_TRUE(manager()->isCompassVisible());
    EXPECT_GT(differingTopRight(without, frame()), 0) << "the compass is drawn top right";
    toggle("AID_compass");
    EXPECT_FALSE(manager()->isCompassVisible());
    EXPECT_EQ(differingTopRight(without, frame()), 0);

    toggle("AID_giro");
    EXPECT_TRUE(manager()->isHorizonGiroVisible());
    toggle("AID_stickycursor");
    EXPECT_TRUE(manager()->isStickyCursorEnabled());
    const bool normal = manager()->isStickyCursorNormalOriented();
    toggle("AID_stickycursornormal");
    EXPECT_NE(manager()->isStickyCursorNormalOriented(), normal);

    // Changed elsewhere: the toolbar shows it after the canvas's updateDUI.
    manager()->setHorizonGiroVisible(false);
    manager()->setCompassVisible(true);
    manager()->enableStickyCursor(false);
    manager()->setStickyCursorNormalOrientation(normal);
    manager()->getCameraControl()->enableKeepFocus(false);
    canvas->updateDUI();
    EXPECT_FALSE(checked("AID_giro"));
    EXPECT_TRUE(checked("AID_compass"));
    EXPECT_FALSE(checked("AID_stickycursor"));
    EXPECT_EQ(checked("AID_stickycursornormal"), normal);
    EXPECT_FALSE(checked("AID_keepfocus"));
}

TEST_F(ToolbarTest, MissingFeaturesShowTheirNoticeAndTheirBoxesResetUnchecked) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    Notices notices;
    press("AID_altcolor");
    press("AID_copybitmap");
    press("AID_savescene");
    press("AID_stickycursorproperties");
    press("AID_axisproperties");
    press("AID_compassproperties");
    press("AID_giroproperties");
    toggle("AID_antiroll");
    toggle("AID_axis");
    const std::vector<std::string> expected = {
        "Test Canvas: Background color selection not yet implemented!",
        "Test Canvas: Copy bitmap not yet implemented!",
        "Test Canvas: Save 3D scene not yet implemented!",
        "Test Canvas: Sticky Cursor Properties not yet implemented!",
        "Test Canvas: Axis Properties not yet implemented!",
        "Test Canvas: Compass Properties not yet implemented!",
        "Test Canvas: Artificial Horizon Properties not yet implemented!",
        "Test Canvas: Antiroll not yet implemented!",
        "Test Canvas: Show/Hide Axis not yet implemented!",
    };
    EXPECT_EQ(notices.shown, expected);
    // Unticked with the notice, not only once the toolbar is next refreshed.
    EXPECT_FALSE(checked("AID_axis"));
    EXPECT_FALSE(checked("AID_antiroll"));
    canvas->updateDUI();
    EXPECT_FALSE(checked("AID_axis"));
    EXPECT_FALSE(checked("AID_antiroll"));
}

TEST_F(ToolbarTest, ExaminerSeeksAndTogglesItsCameraType) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    EXPECT_TRUE(checked("AID_cameratype"));
    press("AID_targetzoom");
    EXPECT_TRUE(viewer()->isSeekMode());
    toggle("AID_cameratype");
    EXPECT_TRUE(camera()->isOfType(SoOrthographicCamera::getClassTypeId()));
    // A click on a box that disagrees with the camera still toggles the camera.
    control<SoDialogCheckBox>("AID_cameratype")->state = TRUE;
    toggle("AID_cameratype");
    EXPECT_TRUE(camera()->isOfType(SoPerspectiveCamera::getClassTypeId()));
    canvas->updateDUI();
    EXPECT_TRUE(checked("AID_cameratype"));
}

TEST_F(ToolbarTest, PlaneCanvasIgnoresTargetZoomAndTheCameraTypeBox) {
    build(OivBaseCanvas::PLANE_VIEWER);
    EXPECT_FALSE(checked("AID_cameratype"));
    press("AID_targetzoom");
    EXPECT_FALSE(viewer()->isSeekMode());
    toggle("AID_cameratype");
    EXPECT_TRUE(camera()->isOfType(SoOrthographicCamera::getClassTypeId()));
    EXPECT_TRUE(checked("AID_cameratype")) << "the box shows the click until the next reset";
    canvas->updateDUI();
    EXPECT_FALSE(checked("AID_cameratype"));

    // Keeping focus, placing the camera only aligns it.
    const float distance = camera()->focalDistance.getValue();
    select("AID_position", 4);
    EXPECT_TRUE(viewDirection().equals(SbVec3f(0, 1, 0), kTolerance));
    EXPECT_NEAR(camera()->focalDistance.getValue(), distance, kTolerance);
}

TEST_F(ToolbarTest, CompactLayoutKeepsTheEssentialControlsAndResetsThem) {
    build(OivBaseCanvas::EXAMINER_VIEWER, true);
    SoDialogGroup* row = static_cast<SoDialogGroup*>(toolbar->getDialogComponent());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->getNumChildren(), 13);
    for (int i = 0; i < row->getNumChildren(); ++i) {
        EXPECT_FALSE(row->getChild(i)->isOfType(SoDialogSeparator::getClassTypeId()));
        EXPECT_STREQ(row->getChild(i)->label.getValue().getString(), "") << i;
    }
    for (const char* omitted : {"AID_altcolor", "AID_savescene", "AID_setposition", "AID_keepfocus",
                                "AID_targetzoom", "AID_antiroll", "AID_stickycursorproperties"})
        EXPECT_EQ(toolbar->getTopLevelDialog()->searchForAuditorId(omitted), nullptr) << omitted;
    SoDialogCheckBox* sticky = control<SoDialogCheckBox>("AID_stickycursor");
    EXPECT_STREQ(sticky->onString.getValue().getString(), "Sticky");
    EXPECT_STREQ(sticky->offString.getValue().getString(), "Sticky");

    manager()->setCompassVisible(true);
    manager()->setGlobalZScale(canvas->getZScales()->operator[](2));
    canvas->updateDUI();
    EXPECT_TRUE(checked("AID_compass"));
    EXPECT_EQ(selected("AID_zscale"), 2);
    toggle("AID_giro");
    EXPECT_TRUE(manager()->isHorizonGiroVisible());
}

TEST(ToolbarWithoutCanvas, IgnoresEveryEventAndReset) {
    Notices notices;
    for (bool withUninitialisedCanvas : {false, true}) {
        OivCanvas canvas;
        DuiCanvasToolbar toolbar;
        if (withUninitialisedCanvas)
            toolbar.setOivCanvas(&canvas);
        toolbar.initialize();
        toolbar.reset();
        SoTopLevelDialog* top = toolbar.getTopLevelDialog();
        for (const char* id :
             {"AID_altcolor", "AID_home", "AID_viewall", "AID_setposition", "AID_targetzoom"})
            DuiBaseDialog::findControl<SoDialogPushButton>(top, id)->press();
        for (const char* id : {"AID_keepfocus", "AID_cameratype", "AID_compass", "AID_axis"})
            DuiBaseDialog::findControl<SoDialogCheckBox>(top, id)->toggle();
        DuiBaseDialog::findControl<SoDialogComboBox>(top, "AID_position")->select(3);
        DuiBaseDialog::findControl<SoDialogComboBox>(top, "AID_background")->select(2);
        canvas.addDUI(&toolbar);
        canvas.updateDUI();
    }
    EXPECT_TRUE(notices.shown.empty());
}

} // namespace
