// A line of text: the label, aligned in the space the label gets.
//
// Fields and defaults (besides those of SoDialogComponent):
//   labelAlignment LEFT   # LEFT, CENTER or RIGHT
#ifndef OIVWINTAV_SODIALOGLABEL_H
#define OIVWINTAV_SODIALOGLABEL_H

#include <DialogViz/dialog/SoDialogComponent.h>

#include <Inventor/fields/SoSFEnum.h>

class SoDialogLabel : public SoDialogComponent {
    typedef SoDialogComponent inherited;
    SO_NODE_HEADER(SoDialogLabel);

public:
    enum Alignment { LEFT = 0, CENTER = 1, RIGHT = 2 };

    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoDialogLabel(void);

    SoSFEnum labelAlignment;

protected:
    virtual ~SoDialogLabel();
};

#endif // OIVWINTAV_SODIALOGLABEL_H
