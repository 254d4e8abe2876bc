// Base of every dialog node: what all controls, containers and message dialogs have, a label, an
// enabled flag and the auditor identifier by which auditors and lookups recognise a control.
// Dialogs are Coin nodes, so a dialog tree is reference counted and reads from and writes to .iv
// files like any other graph. Abstract.
//
// Fields and defaults:
//   label     ""
//   enable    TRUE   # a disabled control, or one below a disabled container, cannot be operated
//   auditorID ""
#ifndef OIVWINTAV_SODIALOGVIZ_H
#define OIVWINTAV_SODIALOGVIZ_H

#include <Inventor/fields/SoSFBool.h>
#include <Inventor/fields/SoSFString.h>
#include <Inventor/nodes/SoNode.h>
#include <Inventor/nodes/SoSubNode.h>

class SoDialogViz : public SoNode {
    typedef SoNode inherited;
    SO_NODE_ABSTRACT_HEADER(SoDialogViz);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);

    // Initialises Coin's database if needed and registers every dialog class of the toolkit.
    // Calling it again does nothing. SoWin::init calls it; the dialog constructors call it too, so
    // creating a dialog never depends on the order of set-up calls.
    static void init(void);

    SoSFString label;
    SoSFBool enable;
    SoSFString auditorID;

protected:
    SoDialogViz(void);
    virtual ~SoDialogViz();
};

#endif // OIVWINTAV_SODIALOGVIZ_H
