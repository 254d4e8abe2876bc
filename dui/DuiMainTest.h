// The window of a test program: a tab container, empty, for the program's own pages, and an "Exit"
// button below it that ends the program. Works without a canvas.
//
//   DuiMainTest controls;
//   controls.initialize();
//   controls.getTabDialog()->addChild(myPage);
#ifndef OIVWINTAV_DUIMAINTEST_H
#define OIVWINTAV_DUIMAINTEST_H

#include "dui/DuiBaseDialog.h"

class SoTabDialog;

class DuiMainTest : public DuiBaseDialog {
public:
    DuiMainTest();

    // The tab container, then a column holding the "Exit" button.
    void makeDialog() override;
    // makeDialog, the auditor, and the tab container found. The dialog has no container of its
    // own: getDialogComponent() stays null. A second call changes nothing.
    void initialize() override;

    // Null before initialize.
    SoTabDialog* getTabDialog() { return m_TabDialog; }

protected:
    // Part of the tree the top-level dialog holds; not referenced separately.
    SoTabDialog* m_TabDialog;
};

#endif // OIVWINTAV_DUIMAINTEST_H
