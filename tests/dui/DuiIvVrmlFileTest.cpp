// The scene file dialog operated as a user would: buttons pressed, boxes toggled and a file
// accepted in the file selection dialog; what ends up in the canvas's 3D root, where the camera
// looks, and what is written to disk.
#include "dui/DuiIvVrmlFile.h"
#include "OivWinTav.h"
#include "dui/DuiIvVrmlFileAuditor.h"
#include "support/MessageLoop.h"
#include "support/VideoFile.h"

#include <DialogViz/SoDialogVizAll.h>
#include <Inventor/Win/SoWinFileSelectionDialog.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// A cube far from the origin, so that framing it moves the camera's focal point there.
constexpr const char* kCubeScene = "#Inventor V2.1 ascii\n"
                                   "Separator { Translation { translation 10 10 0 } Cube { } }\n";
constexpr const char* kConeScene = "#Inventor V2.1 ascii\nSeparator { Cone { } }\n";
const SbVec3f kCubeCentre(10, 10, 0);

void writeText(const std::string& path, const char* text) {
    std::ofstream(path) << text;
}

std::string firstLineOf(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

bool contains(SoNode* node, SoType type) {
    SoSearchAction search;
    search.setType(type);
    search.apply(node);
    return search.getPath() != nullptr;
}

class SceneFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = testsupport::createHostWindow(64, 48);
        canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, host);
        root()->addChild(new SoSphere);
        writeText(folder.file("cube.iv"), kCubeScene);
        writeText(folder.file("cone.iv"), kConeScene);
        writeText(folder.file("broken.iv"), "no scene in here {{{");
        dialog.setOivCanvas(&canvas);
        dialog.initialize();
    }
    void TearDown() override { DestroyWindow(host); }

    SoSeparator* root() { return canvas.getOivSceneManager()->getRoot3D(); }
    DuiIvVrmlFileAuditor* auditor() {
        return static_cast<DuiIvVrmlFileAuditor*>(dialog.getAuditor());
    }
    void press(const char* auditorId) {
        DuiBaseDialog::findControl<SoDialogPushButton>(dialog.getTopLevelDialog(), auditorId)
            ->press();
    }
    void toggle(const char* auditorId) {
        DuiBaseDialog::findControl<SoDialogCheckBox>(dialog.getTopLevelDialog(), auditorId)
            ->toggle();
    }
    // Presses the button, then chooses `fileName` in the file selection dialog it showed.
    void choose(const char* button, const std::string& fileName) {
        press(button);
        SoWinFileSelectionDialog* files = auditor()->getFileDialog();
        ASSERT_NE(files, nullptr);
        ASSERT_TRUE(files->isVisible());
        ASSERT_TRUE(files->accept(fileName.c_str()));
    }

    SbVec3f focalPoint() {
        SoCamera* camera = canvas.getOivViewer()->getCamera();
        SbVec3f direction;
        camera->orientation.getValue().multVec(SbVec3f(0, 0, -1), direction);
        return camera->position.getValue() + direction * camera->focalDistance.getValue();
    }

    testsupport::ScratchFolder folder;
    HWND host = nullptr;
    OivCanvas canvas;
    DuiIvVrmlFile dialog;
};

TEST_F(SceneFileDialogTest, OpenReplacesTheSceneAndFramesItImportAppends) {
    choose("AID_open_oiv_file", "cube.iv");
    ASSERT_EQ(root()->getNumChildren(), 1);
    EXPECT_TRUE(contains(root()->getChild(0), SoCube::getClassTypeId()));
    EXPECT_LT((focalPoint() - kCubeCentre).length(), 0.5f);
    EXPECT_EQ(auditor()->getFileDialog()->getTitle(), std::string("Open Inventor Files"));

    choose("AID_import_oiv_file", "cone.iv");
    ASSERT_EQ(root()->getNumChildren(), 2);
    EXPECT_TRUE(contains(root()->getChild(0), SoCube::getClassTypeId()));
    EXPECT_TRUE(contains(root()->getChild(1), SoCone::getClassTypeId()));
}

// The scene the user had is not given up for a file that turns out unreadable.
TEST_F(SceneFileDialogTest, AFileThatCannotBeReadLeavesTheSceneAsItWas) {
    choose("AID_open_oiv_file", "broken.iv");
    ASSERT_EQ(root()->getNumChildren(), 1);
    EXPECT_TRUE(root()->getChild(0)->isOfType(SoSphere::getClassTypeId()));
    // The next good file replaces it as usual.
    choose("AID_open_oiv_file", "cube.iv");
    ASSERT_EQ(root()->getNumChildren(), 1);
    EXPECT_TRUE(contains(root()->getChild(0), SoCube::getClassTypeId()));
}

TEST_F(SceneFileDialogTest, SaveWritesTheFormatTheBoxesChoose) {
    choose("AID_save_oiv_file", "plain.iv");
    EXPECT_EQ(auditor()->getFileDialog()->getTitle(), std::string("Save as Inventor/VRML file"));
    toggle("AID_ascii_or__binary");
    choose("AID_save_oiv_file", "binary.iv");
    toggle("AID_iv_or_vrml");
    toggle("AID_ascii_or__binary");
    choose("AID_save_oiv_file", "scene.wrl");
    EXPECT_EQ(firstLineOf(folder.file("plain.iv")), "#Inventor V2.1 ascii");
    EXPECT_EQ(firstLineOf(folder.file("binary.iv")).rfind("#Inventor V2.1 binary", 0), 0u);
    EXPECT_EQ(firstLineOf(folder.file("scene.wrl")), "#VRML V2.0 utf8");

    // What was saved opens again as the same scene.
    choose("AID_open_oiv_file", "binary.iv");
    EXPECT_TRUE(contains(root(), SoSphere::getClassTypeId()));
}

// Save leaves the choice between replacing and adding as Open or Import made it.
TEST_F(SceneFileDialogTest, SaveKeepsWhetherTheNextFileReplacesTheScene) {
    for (const char* button : {"AID_open_oiv_file", "AID_import_oiv_file"}) {
        press(button);
        choose("AID_save_oiv_file", "saved.iv");
        SoWinFileSelectionDialog* files = auditor()->getFileDialog();
        files->setMode(SoWinFileSelectionDialog::OPEN_FILE);
        const int before = root()->getNumChildren();
        ASSERT_TRUE(files->accept("cone.iv"));
        const bool replaced = root()->getNumChildren() == 1;
        EXPECT_EQ(replaced, button == std::string("AID_open_oiv_file")) << button << " " << before;
    }
}

TEST_F(SceneFileDialogTest, NoFileNameAndNoCanvasDoNothing) {
    // A save dialog that has no name yet, as an accept with an empty choice would leave it.
    SoWinFileSelectionDialog empty;
    empty.setMode(SoWinFileSelectionDialog::SAVE_FILE);
    DuiIvVrmlFileAuditor::fileAcceptCB(auditor(), &empty);
    empty.setMode(SoWinFileSelectionDialog::OPEN_FILE);
    DuiIvVrmlFileAuditor::fileAcceptCB(auditor(), &empty);
    EXPECT_EQ(root()->getNumChildren(), 1);

    DuiIvVrmlFile unbound;
    unbound.initialize();
    auto* unboundAuditor = static_cast<DuiIvVrmlFileAuditor*>(unbound.getAuditor());
    DuiBaseDialog::findControl<SoDialogPushButton>(unbound.getTopLevelDialog(), "AID_save_oiv_file")
        ->press();
    ASSERT_NE(unboundAuditor->getFileDialog(), nullptr);
    EXPECT_TRUE(unboundAuditor->getFileDialog()->accept("nowhere.iv"));
    std::vector<std::string> expected = {"broken.iv", "cone.iv", "cube.iv"};
    EXPECT_EQ(folder.fileNames(), expected);
}

} // namespace
