#include "dui/DuiIvVrmlFileAuditor.h"

#include "canvas/OivCanvas.h"
#include "scene/OivSceneManager.h"

#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <Inventor/Win/SoWinFileSelectionDialog.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/nodes/SoSeparator.h>

namespace {

constexpr const char* kOpenTitle = "Open Inventor Files";
constexpr const char* kSaveTitle = "Save as Inventor/VRML file";

bool is(const SoDialogViz* control, const char* auditorId) {
    return control->auditorID.getValue() == auditorId;
}

bool isEmpty(const char* fileName) {
    return !fileName || !*fileName;
}

// The canvas's 3D root; null when the canvas is missing or not initialised.
SoSeparator* root3DOf(OivCanvas* canvas) {
    OivSceneManager* manager = canvas ? canvas->getOivSceneManager() : nullptr;
    return manager ? manager->getRoot3D() : nullptr;
}

// The file is read aside first, so that one that cannot be read does not cost the user the scene
// it was to replace.
void replaceScene(const char* fileName, OivCanvas* canvas, SoSeparator* root) {
    SoSeparator* staging = new SoSeparator;
    staging->ref();
    if (canvas->import3DGraphicFile(fileName, staging)) {
        root->removeAllChildren();
        for (int i = 0; i < staging->getNumChildren(); ++i)
            root->addChild(staging->getChild(i));
    }
    staging->unref();
}

} // namespace

DuiIvVrmlFileAuditor::DuiIvVrmlFileAuditor(OivCanvas* canvas)
    : DuiBaseDialogAuditor(canvas), m_FileDialog(nullptr), m_ToVRML2(false), m_Binary(false),
      m_ReplaceScene(false) {}

DuiIvVrmlFileAuditor::~DuiIvVrmlFileAuditor() {
    delete m_FileDialog;
}

void DuiIvVrmlFileAuditor::dialogPushButton(SoDialogPushButton* button) {
    if (!m_FileDialog)
        createFileDialog();
    if (is(button, "AID_open_oiv_file")) {
        m_ReplaceScene = true;
        showFileDialog(kOpenTitle, SoWinFileSelectionDialog::OPEN_FILE);
    } else if (is(button, "AID_import_oiv_file")) {
        m_ReplaceScene = false;
        showFileDialog(kOpenTitle, SoWinFileSelectionDialog::OPEN_FILE);
    } else if (is(button, "AID_save_oiv_file")) {
        showFileDialog(kSaveTitle, SoWinFileSelectionDialog::SAVE_FILE);
    }
}

void DuiIvVrmlFileAuditor::dialogCheckBox(SoDialogCheckBox* box) {
    if (!m_OivCanvas)
        return;
    if (is(box, "AID_ascii_or__binary"))
        m_Binary = box->state.getValue();
    else if (is(box, "AID_iv_or_vrml"))
        m_ToVRML2 = box->state.getValue();
}

// The filter and the starting folder are set once; later buttons change title, callback and
// mode only.
void DuiIvVrmlFileAuditor::createFileDialog() {
    m_FileDialog = new SoWinFileSelectionDialog;
    m_FileDialog->setFileDirectory(".");
    m_FileDialog->setFilter("iv;wrl", "Inventor files (*.iv);VRML files (*.wrl)");
    m_FileDialog->setTitle(kOpenTitle);
    m_FileDialog->setAcceptCallback(fileAcceptCB, this);
    m_FileDialog->setMode(SoWinFileSelectionDialog::OPEN_FILE);
}

void DuiIvVrmlFileAuditor::showFileDialog(const char* title, int mode) {
    m_FileDialog->setTitle(title);
    m_FileDialog->setAcceptCallback(fileAcceptCB, this);
    m_FileDialog->setMode(mode);
    m_FileDialog->show();
}

void DuiIvVrmlFileAuditor::fileAcceptCB(void* userData, SoWinFileSelectionDialog* dialog) {
    DuiIvVrmlFileAuditor* self = static_cast<DuiIvVrmlFileAuditor*>(userData);
    const char* fileName = dialog->getFileName();
    // No name is no choice, in either mode: an empty save would only fail to create a file.
    if (isEmpty(fileName))
        return;
    if (dialog->getMode() == SoWinFileSelectionDialog::OPEN_FILE)
        loadSceneFile(fileName, self->m_OivCanvas, self->m_ReplaceScene);
    else
        self->saveSceneFile(fileName, self->m_OivCanvas);
}

void DuiIvVrmlFileAuditor::loadSceneFile(const char* fileName, OivCanvas* canvas, bool replace) {
    SoSeparator* root = root3DOf(canvas);
    SoWinFullViewer* viewer = canvas ? canvas->getOivViewer() : nullptr;
    if (!root || !viewer)
        return;
    if (replace)
        replaceScene(fileName, canvas, root);
    else
        canvas->import3DGraphicFile(fileName, root);
    viewer->viewAll();
}

void DuiIvVrmlFileAuditor::saveSceneFile(const char* fileName, OivCanvas* canvas) {
    if (SoSeparator* root = root3DOf(canvas))
        canvas->export3DGraphicFile(fileName, root, m_Binary, m_ToVRML2);
}
