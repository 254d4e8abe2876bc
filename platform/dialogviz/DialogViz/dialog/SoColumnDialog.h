// A container that lays its components out one below the other, top to bottom.
//
// File format: the fields of SoDialogComponent, then the children.
#ifndef OIVWINTAV_SOCOLUMNDIALOG_H
#define OIVWINTAV_SOCOLUMNDIALOG_H

#include <DialogViz/dialog/SoDialogGroup.h>

class SoColumnDialog : public SoDialogGroup {
    typedef SoDialogGroup inherited;
    SO_NODE_HEADER(SoColumnDialog);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoColumnDialog(void);

protected:
    virtual ~SoColumnDialog();
};

#endif // OIVWINTAV_SOCOLUMNDIALOG_H
