// Base of everything that sits in a dialog window: controls and containers. Adds the layout flags
// a drawer honours and the walk upwards from a control to the containers that hold it, which
// decides whether the control can be operated and whose auditors hear of it. Abstract.
//
// Fields and defaults (besides those of SoDialogViz):
//   fixedWidth  FALSE   # TRUE: keeps its natural width instead of sharing the container's
//   fixedHeight FALSE   # TRUE: keeps its natural height instead of sharing the container's
#ifndef OIVWINTAV_SODIALOGCOMPONENT_H
#define OIVWINTAV_SODIALOGCOMPONENT_H

#include <DialogViz/dialog/SoDialogViz.h>

class SoDialogGroup;
class SoTopLevelDialog;

class SoDialogComponent : public SoDialogViz {
    typedef SoDialogViz inherited;
    SO_NODE_ABSTRACT_HEADER(SoDialogComponent);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);

    SoSFBool fixedWidth;
    SoSFBool fixedHeight;

    // The container holding this component, null when none does. A component belongs to one
    // container at a time: added to a second one, it answers the latest.
    SoDialogGroup* getParentDialog(void) const;
    // The top-level dialog at the top of the containers above (this component itself when it is
    // one); null when the component is not inside one.
    SoTopLevelDialog* getTopLevelDialog(void) const;
    // TRUE when this component and every container above it are enabled: a user can operate it.
    SbBool isOperable(void) const;

protected:
    SoDialogComponent(void);
    virtual ~SoDialogComponent();

private:
    friend class SoDialogGroup;
    // Not referenced: the container holds the reference, and clears this when it lets go.
    SoDialogGroup* parentDialog;
};

#endif // OIVWINTAV_SODIALOGCOMPONENT_H
