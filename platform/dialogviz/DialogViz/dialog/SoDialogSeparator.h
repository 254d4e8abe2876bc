// A line between neighbouring components of a container, drawn across the container's direction.
// It reports nothing and has no fields of its own.
#ifndef OIVWINTAV_SODIALOGSEPARATOR_H
#define OIVWINTAV_SODIALOGSEPARATOR_H

#include <DialogViz/dialog/SoDialogComponent.h>

class SoDialogSeparator : public SoDialogComponent {
    typedef SoDialogComponent inherited;
    SO_NODE_HEADER(SoDialogSeparator);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoDialogSeparator(void);

protected:
    virtual ~SoDialogSeparator();
};

#endif // OIVWINTAV_SODIALOGSEPARATOR_H
