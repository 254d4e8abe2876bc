#include "dui/DuiCanvasToolbar.h"

#include "camera/OivCameraControl.h"
#include "canvas/OivCanvas.h"
#include "dui/DuiCanvasToolbarAuditor.h"
#include "dui/DuiCanvasToolbarIds.h"
#include "scene/OivSceneManager.h"
#include "tav/OivGlobalZScale.h"

#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogComboBox.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <DialogViz/dialog/SoDialogSeparator.h>
#include <DialogViz/dialog/SoRowDialog.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/fields/SoMFFloat.h>
#include <Inventor/fields/SoMFString.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

#include <algorithm>

using namespace DuiCanvasToolbarIds;

namespace {

const char* const kTitle = "3D Controls";
const char* const kRowLabel = "Toolbar";

enum class Kind { PUSH_BUTTON, CHECK_BOX, COMBO_BOX, SEPARATOR };
// What the compact layout makes of a control of the full one.
enum class Compact { OMITTED, KEPT, KEPT_WITHOUT_LABEL };

// One control of the row. `text` is a button's text or a box's on text; `compactText`, when set,
// is a compact box's on and off text.
struct ControlSpec {
    Kind kind;
    const char* id;
    const char* label;
    const char* text;
    const char* offText;
    Compact compact;
    const char* compactText;
};

// The items of a combo box, in the order of the values they stand for.
struct ComboItems {
    const char* id;
    const char* const* items;
    int count;
};

// Background values in order.
const char* const kBackgroundItems[] = {"Black", "Alternate", "Gradient", "Image"};
// Direction values in order.
const char* const kPositionItems[] = {"Above", "Below", "West", "East", "South", "North"};
const ComboItems kComboItems[] = {
    {kBackground, kBackgroundItems, int(sizeof kBackgroundItems / sizeof *kBackgroundItems)},
    {kPosition, kPositionItems, int(sizeof kPositionItems / sizeof *kPositionItems)},
};

// clang-format off
const ControlSpec kControls[] = {
    {Kind::PUSH_BUTTON, kAltColor, "", "Alternate Background Color ...", "", Compact::OMITTED, nullptr},
    {Kind::COMBO_BOX, kBackground, "Background", "", "", Compact::KEPT_WITHOUT_LABEL, nullptr},
    {Kind::PUSH_BUTTON, kCopyBitmap, "", "Copy Bitmap", "", Compact::KEPT, nullptr},
    {Kind::PUSH_BUTTON, kSaveScene, "", "Save Scene ...", "", Compact::OMITTED, nullptr},
    {Kind::SEPARATOR, "", "", "", "", Compact::OMITTED, nullptr},
    {Kind::PUSH_BUTTON, kHome, "", "Home", "", Compact::KEPT, nullptr},
    {Kind::PUSH_BUTTON, kSetHome, "", "Set Home", "", Compact::KEPT, nullptr},
    {Kind::PUSH_BUTTON, kViewAll, "", "View All", "", Compact::KEPT, nullptr},
    {Kind::PUSH_BUTTON, kSetPosition, "", "Set Position", "", Compact::OMITTED, nullptr},
    {Kind::COMBO_BOX, kPosition, "Position", "", "", Compact::KEPT_WITHOUT_LABEL, nullptr},
    {Kind::CHECK_BOX, kKeepFocus, "Keep Focus", "On", "Off", Compact::OMITTED, nullptr},
    {Kind::PUSH_BUTTON, kTargetZoom, "", "Target Zoom", "", Compact::OMITTED, nullptr},
    {Kind::CHECK_BOX, kCameraType, "Camera", "Perspective", "Orthographic", Compact::KEPT_WITHOUT_LABEL, nullptr},
    {Kind::CHECK_BOX, kAntiRoll, "Antirool", "On", "Off", Compact::OMITTED, nullptr},
    {Kind::COMBO_BOX, kZScale, "Z Scale", "", "", Compact::KEPT_WITHOUT_LABEL, nullptr},
    {Kind::SEPARATOR, "", "", "", "", Compact::OMITTED, nullptr},
    {Kind::CHECK_BOX, kStickyCursor, "Sticky Cursor", "On", "Off", Compact::KEPT_WITHOUT_LABEL, "Sticky"},
    {Kind::CHECK_BOX, kStickyCursorNormal, "Sticky Cursor normal orientation", "On", "Off", Compact::KEPT_WITHOUT_LABEL, "Normal"},
    {Kind::PUSH_BUTTON, kStickyCursorProperties, "", "Sticky Cursor Properties...", "", Compact::OMITTED, nullptr},
    {Kind::SEPARATOR, "", "", "", "", Compact::OMITTED, nullptr},
    {Kind::CHECK_BOX, kAxis, "", "Axis", "Axis", Compact::KEPT, nullptr},
    {Kind::PUSH_BUTTON, kAxisProperties, "", "Axis Properties...", "", Compact::OMITTED, nullptr},
    {Kind::SEPARATOR, "", "", "", "", Compact::OMITTED, nullptr},
    {Kind::CHECK_BOX, kCompass, "", "Compass", "Compass", Compact::KEPT, nullptr},
    {Kind::PUSH_BUTTON, kCompassProperties, "", "Compass Properties...", "", Compact::OMITTED, nullptr},
    {Kind::SEPARATOR, "", "", "", "", Compact::OMITTED, nullptr},
    {Kind::CHECK_BOX, kGiro, "", "Giro", "Giro", Compact::KEPT, nullptr},
    {Kind::PUSH_BUTTON, kGiroProperties, "", "Giro Properties...", "", Compact::OMITTED, nullptr},
};
// clang-format on

void fillItems(SoDialogComboBox* combo) {
    for (const ComboItems& list : kComboItems) {
        if (combo->auditorID.getValue() != list.id)
            continue;
        for (int i = 0; i < list.count; ++i)
            combo->items.set1Value(i, list.items[i]);
    }
}

void setChecked(SoTopLevelDialog* dialog, const char* id, bool checked) {
    if (SoDialogCheckBox* box = DuiBaseDialog::findControl<SoDialogCheckBox>(dialog, id))
        box->state = checked;
}

bool isInitialised(const OivCanvas* canvas) {
    return canvas && canvas->getOivViewer() && canvas->getOivSceneManager();
}

} // namespace

DuiCanvasToolbar::DuiCanvasToolbar() {}

void DuiCanvasToolbar::makeDialog() {
    auto createControl = [this](const ControlSpec& spec) -> SoDialogComponent* {
        const bool compactText = m_Compact && spec.compactText;
        const bool noLabel = m_Compact && spec.compact == Compact::KEPT_WITHOUT_LABEL;
        const char* label = noLabel ? "" : spec.label;
        switch (spec.kind) {
        case Kind::PUSH_BUTTON:
            return createPushButton(spec.id, spec.text);
        case Kind::CHECK_BOX:
            return createCheckBox(spec.id, label, compactText ? spec.compactText : spec.text,
                                  compactText ? spec.compactText : spec.offText);
        case Kind::COMBO_BOX: {
            SoDialogComboBox* combo = createComboBox(spec.id, label);
            fillItems(combo);
            return combo;
        }
        case Kind::SEPARATOR:
            break;
        }
        return new SoDialogSeparator;
    };

    m_TopLevelDialog->label = kTitle;
    SoRowDialog* row = new SoRowDialog;
    row->label = kRowLabel;
    row->auditorID = kToolbar;
    m_TopLevelDialog->addChild(row);
    for (const ControlSpec& spec : kControls) {
        if (!m_Compact || spec.compact != Compact::OMITTED)
            row->addChild(createControl(spec));
    }
}

void DuiCanvasToolbar::initialize() {
    // A second build would add a second row and leave the first auditor without an owner.
    if (m_Auditor)
        return;
    makeDialog();
    attachAuditor(new DuiCanvasToolbarAuditor(m_OivCanvas), kToolbar);
    reset();
}

void DuiCanvasToolbar::reset() {
    if (!isInitialised(m_OivCanvas))
        return;
    OivSceneManager* manager = m_OivCanvas->getOivSceneManager();
    OivCameraControl* cameraControl = manager->getCameraControl();
    if (SoDialogComboBox* combo = findControl<SoDialogComboBox>(m_TopLevelDialog, kBackground)) {
        const int background = manager->getBackground();
        if (background >= OivBaseSceneManager::BLACK && background <= OivBaseSceneManager::IMAGE)
            combo->selectedItem = background;
    }
    setChecked(m_TopLevelDialog, kKeepFocus, cameraControl->isKeepingFocus());
    const SoCamera* camera = m_OivCanvas->getOivViewer()->getCamera();
    setChecked(m_TopLevelDialog, kCameraType,
               camera && camera->isOfType(SoPerspectiveCamera::getClassTypeId()));
    // Anti-roll does not exist: the box never claims it is on.
    setChecked(m_TopLevelDialog, kAntiRoll, false);
    if (SoDialogComboBox* combo = findControl<SoDialogComboBox>(m_TopLevelDialog, kZScale))
        resetZScale(combo);
    setChecked(m_TopLevelDialog, kStickyCursor, manager->isStickyCursorEnabled());
    setChecked(m_TopLevelDialog, kStickyCursorNormal, manager->isStickyCursorNormalOriented());
    setChecked(m_TopLevelDialog, kAxis, false);
    setChecked(m_TopLevelDialog, kCompass, manager->isCompassVisible());
    setChecked(m_TopLevelDialog, kGiro, manager->isHorizonGiroVisible());
}

void DuiCanvasToolbar::resetZScale(SoDialogComboBox* combo) {
    const float current =
        m_OivCanvas->getOivSceneManager()->getGlobalScale()->scaleFactor.getValue()[2];
    const SoMFFloat* scales = m_OivCanvas->getZScales();
    const SoMFString* labels = m_OivCanvas->getZScaleLabels();
    combo->items.setNum(0);
    if (!scales || !labels)
        return;
    const int count = std::min(scales->getNum(), labels->getNum());
    for (int i = 0; i < count; ++i) {
        combo->items.set1Value(i, (*labels)[i]);
        // Exact: the scale applied is one of the table's own values. Of equal entries the last
        // one is selected; with none equal the selection stays.
        if ((*scales)[i] == current)
            combo->selectedItem = i;
    }
}
