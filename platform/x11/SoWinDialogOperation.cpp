#include "SoWinDialogOperation.h"

#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogComboBox.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <DialogViz/dialog/SoTabDialog.h>

SoWinDialogOperation::~SoWinDialogOperation() {
    clear();
}

void SoWinDialogOperation::request(Kind kind, SoDialogComponent* control, int index) {
    if (isPending() || kind == NONE || !control)
        return;
    m_Kind = kind;
    m_Control = control;
    m_Control->ref();
    m_Index = index;
}

void SoWinDialogOperation::perform() {
    // Taken off first: an auditor may draw the dialog again, which may request anew.
    const Kind kind = m_Kind;
    SoDialogComponent* control = m_Control;
    const int index = m_Index;
    m_Kind = NONE;
    m_Control = nullptr;
    switch (kind) {
    case PRESS:
        static_cast<SoDialogPushButton*>(control)->press();
        break;
    case TOGGLE:
        static_cast<SoDialogCheckBox*>(control)->toggle();
        break;
    case SELECT:
        static_cast<SoDialogComboBox*>(control)->select(index);
        break;
    case SELECT_PAGE:
        static_cast<SoTabDialog*>(control)->selectPage(index);
        break;
    case NONE:
        break;
    }
    if (control)
        control->unref();
}

void SoWinDialogOperation::clear() {
    if (m_Control)
        m_Control->unref();
    m_Control = nullptr;
    m_Kind = NONE;
}
