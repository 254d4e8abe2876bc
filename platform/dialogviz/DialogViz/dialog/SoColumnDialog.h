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
    static void initClass(void);
    SoColumnDialog(void);

protected:
    virtual ~SoColumnDialog();
};

#endif // OIVWINTAV_SOCOLUMNDIALOG_H
