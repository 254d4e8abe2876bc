#include "dui/DuiMainTest.h"

#include "dui/DuiMainTestAuditor.h"
#include "dui/DuiMainTestIds.h"

#include <DialogViz/dialog/SoColumnDialog.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <DialogViz/dialog/SoTabDialog.h>

namespace {
const char* const kTitle = "Controls";
const char* const kExitText = "Exit";
} // namespace

DuiMainTest::DuiMainTest() : m_TabDialog(nullptr) {}

void DuiMainTest::makeDialog() {
    m_TopLevelDialog->label = kTitle;
    SoTabDialog* tabs = new SoTabDialog;
    tabs->auditorID = DuiMainTestIds::kTabs;
    m_TopLevelDialog->addChild(tabs);
    SoColumnDialog* column = new SoColumnDialog;
    column->addChild(createPushButton(DuiMainTestIds::kExit, kExitText));
    m_TopLevelDialog->addChild(column);
}

void DuiMainTest::initialize() {
    // A second build would add a second set of controls and leave the first auditor without an
    // owner.
    if (m_Auditor)
        return;
    makeDialog();
    attachAuditor(new DuiMainTestAuditor(m_OivCanvas), nullptr);
    m_TabDialog = findControl<SoTabDialog>(m_TopLevelDialog, DuiMainTestIds::kTabs);
}
