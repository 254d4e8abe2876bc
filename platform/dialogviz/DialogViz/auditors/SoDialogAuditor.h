// Listener for what a user does in a dialog: one callback per kind of control, each given the
// control that was operated (after its fields took the new value). Register it with
// SoTopLevelDialog::addAuditor; it hears every control of that dialog. Every callback here does
// nothing; a subclass overrides those it needs. The dialog does not own its auditors.
#ifndef OIVWINTAV_SODIALOGAUDITOR_H
#define OIVWINTAV_SODIALOGAUDITOR_H

class SoDialogCheckBox;
class SoDialogComboBox;
class SoDialogPushButton;
class SoTabDialog;
// Kinds of control this platform does not provide. Their callbacks are kept so that auditors
// written for the whole toolkit compile unchanged; nothing here calls them.
class SoDialogEditText;
class SoDialogIntegerSlider;
class SoDialogRadioButtons;
class SoDialogRealSlider;
class SoMenuCheckBox;
class SoMenuFileSelection;
class SoMenuPushButton;
class SoMenuRadioButtons;

class SoDialogAuditor {
public:
    SoDialogAuditor(void);
    virtual ~SoDialogAuditor();

    // Called when a control of this kind was operated; the default does nothing.
    virtual void dialogPushButton(SoDialogPushButton* cpt);
    virtual void dialogCheckBox(SoDialogCheckBox* cpt);
    virtual void dialogComboBox(SoDialogComboBox* cpt);
    virtual void dialogEditText(SoDialogEditText* cpt);
    virtual void dialogIntegerSlider(SoDialogIntegerSlider* cpt);
    virtual void dialogRadioButtons(SoDialogRadioButtons* cpt);
    virtual void dialogRealSlider(SoDialogRealSlider* cpt);
    virtual void tabDialog(SoTabDialog* cpt);
    virtual void menuPushButton(SoMenuPushButton* cpt);
    virtual void menuCheckBox(SoMenuCheckBox* cpt);
    virtual void menuFileSelection(SoMenuFileSelection* cpt);
    virtual void menuRadioButtons(SoMenuRadioButtons* cpt);
};

#endif // OIVWINTAV_SODIALOGAUDITOR_H
