#include "dui/DuiIvVrmlFile.h"

#include "dui/DuiIvVrmlFileAuditor.h"

#include <DialogViz/dialog/SoDialogCheckBox.h>
#include <DialogViz/dialog/SoDialogPushButton.h>
#include <DialogViz/dialog/SoDialogSeparator.h>
#include <DialogViz/dialog/SoRowDialog.h>

namespace {

constexpr const char* kContainerId = "AID_ivvrmlfile";

} // namespace

void DuiIvVrmlFile::makeDialog() {
    m_TopLevelDialog->label = "IV/VRML files";
    SoRowDialog* row = new SoRowDialog;
    row->label = "IV/VRML";
    row->auditorID = kContainerId;
    m_TopLevelDialog->addChild(row);

    SoDialogComponent* const controls[] = {
        createPushButton("AID_open_oiv_file", "Open..."),
        createPushButton("AID_import_oiv_file", "Import..."),
        new SoDialogSeparator,
        createCheckBox("AID_iv_or_vrml", "", "VRML", "Inventor"),
        createCheckBox("AID_ascii_or__binary", "", "Binary", "Ascii"),
        createPushButton("AID_save_oiv_file", "Save...")};
    for (SoDialogComponent* control : controls)
        row->addChild(control);
}

void DuiIvVrmlFile::initialize() {
    // A second build would add a second set of controls and a second auditor acting on every
    // event, and leave the first auditor without an owner.
    if (m_Auditor)
        return;
    makeDialog();
    attachAuditor(new DuiIvVrmlFileAuditor(m_OivCanvas), kContainerId);
}
