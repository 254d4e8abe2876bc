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

// A control's identifier and what it does: an action of the auditor, or a notice that the
// feature is not available (then the action is null).
struct DuiCanvasToolbarAuditor::PushAction {
    const char* id;
    void (DuiCanvasToolbarAuditor::*action)();
    const char* notice;
};
struct DuiCanvasToolbarAuditor::CheckAction {
    const char* id;
    void (DuiCanvasToolbarAuditor::*action)(bool checked);
    const char* notice;
};
struct DuiCanvasToolbarAuditor::ComboAction {
    const char* id;
    void (DuiCanvasToolbarAuditor::*action)(int index);
};

namespace {

using Auditor = DuiCanvasToolbarAuditor;

// Looks `id` up in `table`; the identifiers are compared exactly, first match wins.
template <class Row, size_t N> const Row* findRow(const Row (&table)[N], const SbString& id) {
    for (const Row& row : table) {
        if (id == row.id)
            return &row;
    }
    return nullptr;
}

} // namespace

// clang-format off
const Auditor::PushAction Auditor::kPushActions[] = {
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

const Auditor::CheckAction Auditor::kCheckActions[] = {
    {kKeepFocus, &Auditor::keepFocus, nullptr},
    {kCameraType, &Auditor::toggleCameraType, nullptr},
    {kAntiRoll, nullptr, "Antiroll not yet implemented!"},
    {kStickyCursor, &Auditor::stickyCursor, nullptr},
    {kStickyCursorNormal, &Auditor::stickyCursorNormal, nullptr},
    {kAxis, nullptr, "Show/Hide Axis not yet implemented!"},
    {kCompass, &Auditor::compass, nullptr},
    {kGiro, &Auditor::giro, nullptr},
};

const Auditor::ComboAction Auditor::kComboActions[] = {
    {kBackground, &Auditor::background},
    {kZScale, &Auditor::zScale},
    {kPosition, &Auditor::position},
};
// clang-format on

DuiCanvasToolbarAuditor::DuiCanvasToolbarAuditor(OivCanvas* canvas)
    : DuiBaseDialogAuditor(canvas) {}

void DuiCanvasToolbarAuditor::dialogPushButton(SoDialogPushButton* cpt) {
    if (!hasCanvas())
        return;
    const PushAction* row = findRow(kPushActions, cpt->auditorID.getValue());
    if (!row)
        return;
    if (row->action)
        (this->*row->action)();
    else
        showNotice(row->notice);
}

void DuiCanvasToolbarAuditor::dialogCheckBox(SoDialogCheckBox* cpt) {
    if (!hasCanvas())
        return;
    const CheckAction* row = findRow(kCheckActions, cpt->auditorID.getValue());
    if (!row)
        return;
    if (row->action)
        (this->*row->action)(cpt->state.getValue());
    else
        showNotice(row->notice);
}

void DuiCanvasToolbarAuditor::dialogComboBox(SoDialogComboBox* cpt) {
    if (!hasCanvas())
        return;
    if (const ComboAction* row = findRow(kComboActions, cpt->auditorID.getValue()))
        (this->*row->action)(cpt->selectedItem.getValue());
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
