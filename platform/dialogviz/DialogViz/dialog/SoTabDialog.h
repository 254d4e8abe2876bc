// A container that shows one of its components at a time, as pages under tabs; each page's tab
// reads the page's label. selectPage is how a user switches pages.
//
// Fields and defaults (besides those of SoDialogComponent), then the children (the pages):
//   selectedPage 0   # index of the page shown
#ifndef OIVWINTAV_SOTABDIALOG_H
#define OIVWINTAV_SOTABDIALOG_H

#include <DialogViz/dialog/SoDialogGroup.h>

#include <Inventor/fields/SoSFInt32.h>

class SoTabDialog : public SoDialogGroup {
    typedef SoDialogGroup inherited;
    SO_NODE_HEADER(SoTabDialog);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoTabDialog(void);

    SoSFInt32 selectedPage;

    // The user brings page `index` to the front: selectedPage takes it and every auditor of the
    // top-level dialog hears tabDialog. Does nothing for an index that names no page, or while the
    // tab container or one above it is disabled.
    void selectPage(int index);

protected:
    virtual ~SoTabDialog();
};

#endif // OIVWINTAV_SOTABDIALOG_H
