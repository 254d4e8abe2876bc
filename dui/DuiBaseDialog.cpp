#include "dui/DuiBaseDialog.h"

#include "canvas/OivCanvas.h"
#include "dui/DuiBaseDialogAuditor.h"

#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogComboBox.h>
#include <DialogViz/dialog/SoDialogPushButton.h>

#include <algorithm>

DuiBaseDialog::DuiBaseDialog()
    : m_Compact(false), m_OivCanvas(nullptr), m_TopLevelDialog(new SoTopLevelDialog),
      m_Auditor(nullptr), m_DialogComponent(nullptr), m_ChangeCB(nullptr), m_ChangeData(nullptr) {
    m_TopLevelDialog->ref();
    // The canvas reaches its registered dialogs through this class's link.
    setLinkOf([](DuiBaseDialog* dialog) -> OivCanvasDialogLink* { return dialog; });
}

DuiBaseDialog::~DuiBaseDialog() {
    setOivCanvas(nullptr);
    // A canvas would otherwise reset this dialog after it is gone.
    while (!m_RegisteredWith.empty())
        m_RegisteredWith.back()->removeDUI(this);
    if (m_Auditor) {
        m_TopLevelDialog->removeAuditor(m_Auditor);
        delete m_Auditor;
    }
    m_TopLevelDialog->unref();
}

void DuiBaseDialog::makeDialog() {}

void DuiBaseDialog::initialize() {}

void DuiBaseDialog::reset() {}

void DuiBaseDialog::notifyChange() {
    if (m_ChangeCB)
        m_ChangeCB(m_ChangeData, this);
}

void DuiBaseDialog::setOivCanvas(OivCanvas* canvas) {
    if (m_OivCanvas)
        m_OivCanvas->removeCanvasObserver(this);
    m_OivCanvas = canvas;
    if (canvas)
        canvas->addCanvasObserver(this);
    if (m_Auditor)
        m_Auditor->setOivCanvas(canvas);
}

void DuiBaseDialog::canvasDestroyed(OivBaseCanvas* canvas) {
    if (static_cast<OivBaseCanvas*>(m_OivCanvas) == canvas)
        setOivCanvas(nullptr);
}

void DuiBaseDialog::registrationChanged(OivBaseCanvas* canvas, bool registered) {
    if (registered)
        m_RegisteredWith.push_back(canvas);
    else
        m_RegisteredWith.erase(
            std::remove(m_RegisteredWith.begin(), m_RegisteredWith.end(), canvas),
            m_RegisteredWith.end());
}

void DuiBaseDialog::setChangeCallback(ChangeCB* callback, void* userData) {
    m_ChangeCB = callback;
    m_ChangeData = userData;
}

void DuiBaseDialog::setCommonLayout(SoDialogComponent* control) {
    control->fixedHeight = TRUE;
}

SoDialogPushButton* DuiBaseDialog::createPushButton(const char* auditorId,
                                                    const char* buttonLabel) {
    SoDialogPushButton* button = new SoDialogPushButton;
    button->auditorID = auditorId;
    button->buttonLabel = buttonLabel;
    setCommonLayout(button);
    return button;
}

SoDialogCheckBox* DuiBaseDialog::createCheckBox(const char* auditorId, const char* label,
                                                const char* onString, const char* offString) {
    SoDialogCheckBox* box = new SoDialogCheckBox;
    box->auditorID = auditorId;
    box->label = label;
    box->onString = onString;
    box->offString = offString;
    setCommonLayout(box);
    return box;
}

SoDialogComboBox* DuiBaseDialog::createComboBox(const char* auditorId, const char* label) {
    SoDialogComboBox* combo = new SoDialogComboBox;
    combo->auditorID = auditorId;
    combo->label = label;
    setCommonLayout(combo);
    return combo;
}

void DuiBaseDialog::attachAuditor(DuiBaseDialogAuditor* auditor, const char* containerId) {
    m_Auditor = auditor;
    m_TopLevelDialog->addAuditor(auditor);
    if (containerId)
        m_DialogComponent = findControl<SoDialogComponent>(m_TopLevelDialog, containerId);
}
