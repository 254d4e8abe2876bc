#include "dui/DuiCanvasToolbarAuditor.h"

#include "camera/OivCameraControl.h"
#include "canvas/OivCanvas.h"
#include "dui/DuiCanvasToolbarIds.h"
#include "scene/OivSceneManager.h"

#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogComboBox.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <Inventor/Win/viewers/SoWinExaminerViewer.h>
#include <Inventor/fields/SoMFFloat.h>

using namespace DuiCanvasToolbarIds;

using Auditor = DuiCanvasToolbarAuditor;

// clang-format off
const Auditor::Action<> Auditor::kPushActions[] = {
    {kAltColor, nullptr, "Background color selection not yet implemented!"},
    {kCopyBitmap, nullptr, "Copy bitmap not yet implemented!"},
    {kSaveScene, nullptr, "Save 3D scene not yet implemented!"},
    {kHome, &Auditor::home, nullptr},
    {kSetHome, &Auditor::setHome, nullptr},
    {kViewAll, &Auditor::viewAll, nullptr},
    {kSetPosition, &Auditor::placeCamera, nullptr},
    {kTargetZoom, &Auditor::targetZoom, nullptr},
    {kStickyCursorProperties, nullptr, "Sticky Cursor Properties not yet implemented!"},
    {kAxisProperties, nullptr, "Axis Properties not yet implemented!"},
    {kCompassProperties, nullptr, "Compass Properties not yet implemented!"},
    {kGiroProperties, nullptr, "Artificial Horizon Properties not yet implemented!"},
};

const Auditor::Action<bool> Auditor::kCheckActions[] = {
    {kKeepFocus, &Auditor::keepFocus, nullptr},
    {kCameraType, &Auditor::toggleCameraType, nullptr},
    {kAntiRoll, nullptr, "Antiroll not yet implemented!"},
    {kStickyCursor, &Auditor::stickyCursor, nullptr},
    {kStickyCursorNormal, &Auditor::stickyCursorNormal, nullptr},
    {kAxis, nullptr, "Show/Hide Axis not yet implemented!"},
    {kCompass, &Auditor::compass, nullptr},
    {kGiro, &Auditor::giro, nullptr},
};

const Auditor::Action<int> Auditor::kComboActions[] = {
    {kBackground, &Auditor::background, nullptr},
    {kZScale, &Auditor::zScale, nullptr},
    {kPosition, &Auditor::position, nullptr},
};
// clang-format on

DuiCanvasToolbarAuditor::DuiCanvasToolbarAuditor(OivCanvas* canvas)
    : DuiBaseDialogAuditor(canvas) {}

template <size_t N, class... Args>
bool DuiCanvasToolbarAuditor::act(const Action<Args...> (&table)[N], const SbString& id,
                                  Args... args) {
    // Identifiers compare exactly; the first row that matches acts, and an unknown one is ignored.
    for (const Action<Args...>& row : table) {
        if (id != row.id)
            continue;
        if (row.action) {
            (this->*row.action)(args...);
            return false;
        }
        showNotice(row.notice);
        return true;
    }
    return false;
}

void DuiCanvasToolbarAuditor::dialogPushButton(SoDialogPushButton* cpt) {
    if (hasCanvas())
        act(kPushActions, cpt->auditorID.getValue());
}

void DuiCanvasToolbarAuditor::dialogCheckBox(SoDialogCheckBox* cpt) {
    if (!hasCanvas())
        return;
    // A box ticked for a feature that is missing would claim it is on: it is unticked again.
    if (act(kCheckActions, cpt->auditorID.getValue(), bool(cpt->state.getValue())) &&
        cpt->state.getValue())
        cpt->state = FALSE;
}

void DuiCanvasToolbarAuditor::dialogComboBox(SoDialogComboBox* cpt) {
    if (hasCanvas())
        act(kComboActions, cpt->auditorID.getValue(), int(cpt->selectedItem.getValue()));
}

void DuiCanvasToolbarAuditor::dialogEditText(SoDialogEditText*) {}
void DuiCanvasToolbarAuditor::dialogIntegerSlider(SoDialogIntegerSlider*) {}
void DuiCanvasToolbarAuditor::dialogRadioButtons(SoDialogRadioButtons*) {}
void DuiCanvasToolbarAuditor::dialogRealSlider(SoDialogRealSlider*) {}

bool DuiCanvasToolbarAuditor::hasCanvas() const {
    // A canvas that was never initialised has no viewer or scene manager to act on.
    return m_OivCanvas && m_OivCanvas->getOivViewer() && m_OivCanvas->getOivSceneManager();
}

bool DuiCanvasToolbarAuditor::isPlane() const {
    return m_OivCanvas->getViewerType() == OivBaseCanvas::PLANE_VIEWER;
}

SoWinFullViewer* DuiCanvasToolbarAuditor::viewer() const {
    return m_OivCanvas->getOivViewer();
}

OivSceneManager* DuiCanvasToolbarAuditor::sceneManager() const {
    return m_OivCanvas->getOivSceneManager();
}

OivCameraControl* DuiCanvasToolbarAuditor::cameraControl() const {
    return sceneManager()->getCameraControl();
}

void DuiCanvasToolbarAuditor::placeCamera() {
    cameraControl()->alignCamera(viewer()->getCamera());
    if (!cameraControl()->isKeepingFocus()) {
        viewer()->viewAll();
        return;
    }
    if (isPlane())
        return;
    if (SoWinExaminerViewer* examiner = dynamic_cast<SoWinExaminerViewer*>(viewer()))
        examiner->stopAnimating();
}

void DuiCanvasToolbarAuditor::home() {
    viewer()->resetToHomePosition();
}

void DuiCanvasToolbarAuditor::setHome() {
    viewer()->saveHomePosition();
}

void DuiCanvasToolbarAuditor::viewAll() {
    viewer()->viewAll();
}

void DuiCanvasToolbarAuditor::targetZoom() {
    if (!isPlane())
        viewer()->setSeekMode(TRUE);
}

void DuiCanvasToolbarAuditor::keepFocus(bool checked) {
    cameraControl()->enableKeepFocus(checked);
}

// The box follows the click, but the viewer decides the camera type: it is toggled either way.
void DuiCanvasToolbarAuditor::toggleCameraType(bool) {
    if (!isPlane())
        viewer()->toggleCameraType();
}

void DuiCanvasToolbarAuditor::stickyCursor(bool checked) {
    sceneManager()->enableStickyCursor(checked);
}

void DuiCanvasToolbarAuditor::stickyCursorNormal(bool checked) {
    sceneManager()->setStickyCursorNormalOrientation(checked);
}

void DuiCanvasToolbarAuditor::compass(bool checked) {
    sceneManager()->setCompassVisible(checked);
}

void DuiCanvasToolbarAuditor::giro(bool checked) {
    sceneManager()->setHorizonGiroVisible(checked);
}

void DuiCanvasToolbarAuditor::background(int index) {
    if (index >= OivBaseSceneManager::BLACK && index <= OivBaseSceneManager::IMAGE)
        sceneManager()->setBackground(OivBaseSceneManager::Background(index));
}

void DuiCanvasToolbarAuditor::zScale(int index) {
    // The list may hold items the table has not (a host can fill it): those scale nothing.
    const SoMFFloat* scales = m_OivCanvas->getZScales();
    if (scales && index >= 0 && index < scales->getNum())
        sceneManager()->setGlobalZScale((*scales)[index]);
}

void DuiCanvasToolbarAuditor::position(int index) {
    if (index >= OivCameraControl::ABOVE && index <= OivCameraControl::NORTH)
        cameraControl()->setDirection(OivCameraControl::Direction(index));
    placeCamera();
}
