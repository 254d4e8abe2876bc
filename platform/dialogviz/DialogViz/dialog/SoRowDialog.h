// A container that lays its components out side by side, left to right.
//
// File format: the fields of SoDialogComponent, then the children.
#ifndef OIVWINTAV_SOROWDIALOG_H
#define OIVWINTAV_SOROWDIALOG_H

#include <DialogViz/dialog/SoDialogGroup.h>

class SoRowDialog : public SoDialogGroup {
    typedef SoDialogGroup inherited;
    SO_NODE_HEADER(SoRowDialog);

public:
    static void initClass(void);
    SoRowDialog(void);

protected:
    virtual ~SoRowDialog();
};

#endif // OIVWINTAV_SOROWDIALOG_H
