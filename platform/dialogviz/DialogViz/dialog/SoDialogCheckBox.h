// A check box that shows onString while checked and offString while not (its label, when set, is
// shown beside it). toggle is how a user clicks it.
//
// Fields and defaults (besides those of SoDialogComponent):
//   state     FALSE   # checked
//   onString  ""
//   offString ""
#ifndef OIVWINTAV_SODIALOGCHECKBOX_H
#define OIVWINTAV_SODIALOGCHECKBOX_H

#include <DialogViz/dialog/SoDialogComponent.h>

class SoDialogCheckBox : public SoDialogComponent {
    typedef SoDialogComponent inherited;
    SO_NODE_HEADER(SoDialogCheckBox);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoDialogCheckBox(void);

    SoSFBool state;
    SoSFString onString;
    SoSFString offString;

    // The user clicks the box: state flips, then every auditor of the top-level dialog hears
    // dialogCheckBox. Does nothing while the box or a container above it is disabled.
    void toggle(void);

protected:
    virtual ~SoDialogCheckBox();
};

#endif // OIVWINTAV_SODIALOGCHECKBOX_H
