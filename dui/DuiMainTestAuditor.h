// Ends the test program when its "Exit" button is pressed: a normal exit with status 0, so the
// program's exit handlers run. Nothing is destroyed first. Uses no canvas.
#ifndef OIVWINTAV_DUIMAINTESTAUDITOR_H
#define OIVWINTAV_DUIMAINTESTAUDITOR_H

#include "dui/DuiBaseDialogAuditor.h"

class DuiMainTestAuditor : public DuiBaseDialogAuditor {
public:
    // An auditor driving `canvas` from the test dialog.
    explicit DuiMainTestAuditor(OivCanvas* canvas);

    // Runs the test of the pressed button, or exits the process for "Exit".
    void dialogPushButton(SoDialogPushButton* cpt) override;
};

#endif // OIVWINTAV_DUIMAINTESTAUDITOR_H
