// The scene file dialog: "Open..." replaces the bound canvas's 3D scene with a file's,
// "Import..." adds a file's scene to it, "Save..." writes it; two boxes choose what is written,
// Open Inventor or VRML 2.0, ASCII or binary. The file is chosen in a file selection dialog.
//
//   DuiIvVrmlFile files;
//   files.setOivCanvas(&canvas);
//   files.initialize();
#ifndef OIVWINTAV_DUIIVVRMLFILE_H
#define OIVWINTAV_DUIIVVRMLFILE_H

#include "dui/DuiBaseDialog.h"

class DuiIvVrmlFile : public DuiBaseDialog {
public:
    DuiIvVrmlFile() = default;

    // "IV/VRML files" with one row, "IV/VRML": "Open...", "Import...", a separator, the format
    // boxes (unchecked: ASCII Open Inventor) and "Save...".
    void makeDialog() override;
    void initialize() override;
};

#endif // OIVWINTAV_DUIIVVRMLFILE_H
