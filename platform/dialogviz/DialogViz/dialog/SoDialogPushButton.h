// A push button showing buttonLabel (its label, when set, is shown beside it). press is how a user
// clicks it.
//
// Fields and defaults (besides those of SoDialogComponent):
//   buttonLabel ""
#ifndef OIVWINTAV_SODIALOGPUSHBUTTON_H
#define OIVWINTAV_SODIALOGPUSHBUTTON_H

#include <DialogViz/dialog/SoDialogComponent.h>

class SoDialogPushButton : public SoDialogComponent {
    typedef SoDialogComponent inherited;
    SO_NODE_HEADER(SoDialogPushButton);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    SoDialogPushButton(void);

    SoSFString buttonLabel;

    // The user clicks the button: every auditor of the top-level dialog hears dialogPushButton.
    // Does nothing while the button or a container above it is disabled.
    void press(void);

protected:
    virtual ~SoDialogPushButton();
};

#endif // OIVWINTAV_SODIALOGPUSHBUTTON_H
