// The control panel of one canvas, in a row: background, home position and view all, camera
// placement from a compass direction (with keep-focus), camera type, global Z scale, sticky
// cursor, compass and horizon giro, plus buttons for features that only say they are not there
// yet. m_Compact (set before initialize) selects a shorter row without labels, separators and the
// less used controls. The toolbar keeps no state: reset reads everything back from the canvas.
#ifndef OIVWINTAV_DUICANVASTOOLBAR_H
#define OIVWINTAV_DUICANVASTOOLBAR_H

#include "dui/DuiBaseDialog.h"

class DuiCanvasToolbar : public DuiBaseDialog {
public:
    DuiCanvasToolbar();

    // Builds the row of controls for the layout m_Compact selects.
    void makeDialog() override;
    // makeDialog, the auditor, the row as the dialog's own container, then reset. A second call
    // changes nothing.
    void initialize() override;
    // Shows the canvas's background, keep-focus, camera type, Z scale (refilling the list from the
    // canvas's table), sticky cursor, compass and giro. The position list keeps the last choice;
    // the axis and anti-roll boxes, whose features do not exist, are unchecked. Controls the
    // layout lacks are skipped; with no initialised canvas nothing changes.
    void reset() override;

private:
    void resetZScale(SoDialogComboBox* combo);
};

#endif // OIVWINTAV_DUICANVASTOOLBAR_H
