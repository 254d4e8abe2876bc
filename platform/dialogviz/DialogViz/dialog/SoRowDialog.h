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
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoRowDialog(void);

protected:
    virtual ~SoRowDialog();
};

#endif // OIVWINTAV_SOROWDIALOG_H
