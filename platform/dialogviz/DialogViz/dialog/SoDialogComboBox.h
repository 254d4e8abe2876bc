// A drop-down list of items with one selected (its label, when set, is shown beside it). select
// is how a user picks an item.
//
// Fields and defaults (besides those of SoDialogComponent):
//   items        [ ]
//   selectedItem 0    # index into items, from 0
#ifndef OIVWINTAV_SODIALOGCOMBOBOX_H
#define OIVWINTAV_SODIALOGCOMBOBOX_H

#include <DialogViz/dialog/SoDialogComponent.h>

#include <Inventor/fields/SoMFString.h>
#include <Inventor/fields/SoSFInt32.h>

class SoDialogComboBox : public SoDialogComponent {
    typedef SoDialogComponent inherited;
    SO_NODE_HEADER(SoDialogComboBox);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoDialogComboBox(void);

    SoMFString items;
    SoSFInt32 selectedItem;

    // The user picks item `index`: selectedItem takes it, then every auditor of the top-level
    // dialog hears dialogComboBox (also when the item was already selected). Does nothing for an
    // index that names no item, or while the box or a container above it is disabled.
    void select(int index);

protected:
    virtual ~SoDialogComboBox();
};

#endif // OIVWINTAV_SODIALOGCOMBOBOX_H
