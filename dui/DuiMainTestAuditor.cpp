#include "dui/DuiMainTestAuditor.h"

#include "dui/DuiMainTestIds.h"

#include <DialogViz/dialog/SoDialogPushButton.h>

#include <cstdlib>

DuiMainTestAuditor::DuiMainTestAuditor(OivCanvas* canvas) : DuiBaseDialogAuditor(canvas) {}

void DuiMainTestAuditor::dialogPushButton(SoDialogPushButton* cpt) {
    if (cpt->auditorID.getValue() == DuiMainTestIds::kExit)
        std::exit(EXIT_SUCCESS);
}
