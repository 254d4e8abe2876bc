// Turns the canvas toolbar's controls into calls on its canvas: the scene manager, the camera
// control and the viewer. Events of controls it does not know, and every event while it has no
// initialised canvas, are ignored.
#ifndef OIVWINTAV_DUICANVASTOOLBARAUDITOR_H
#define OIVWINTAV_DUICANVASTOOLBARAUDITOR_H

#include "dui/DuiBaseDialogAuditor.h"

#include <cstddef>

class OivCameraControl;
class OivSceneManager;
class SbString;
class SoWinFullViewer;

class DuiCanvasToolbarAuditor : public DuiBaseDialogAuditor {
public:
    // An auditor driving `canvas` from the toolbar's controls.
    explicit DuiCanvasToolbarAuditor(OivCanvas* canvas);

    // Applies the operated toolbar control to the canvas and refreshes the canvas's dialogs.
    void dialogPushButton(SoDialogPushButton* cpt) override;
    void dialogCheckBox(SoDialogCheckBox* cpt) override;
    void dialogComboBox(SoDialogComboBox* cpt) override;
    // The toolbar has none of these.
    void dialogEditText(SoDialogEditText* cpt) override;
    void dialogIntegerSlider(SoDialogIntegerSlider* cpt) override;
    void dialogRadioButtons(SoDialogRadioButtons* cpt) override;
    void dialogRealSlider(SoDialogRealSlider* cpt) override;

private:
    // A control's identifier and what it does: an action of the auditor taking `Args`, or,
    // where the action is null, a notice that the feature is not available.
    template <class... Args> struct Action {
        const char* id;
        void (DuiCanvasToolbarAuditor::*action)(Args...);
        const char* notice;
    };
    // What each kind of control does, rows in the order their identifiers are tested.
    static const Action<> kPushActions[];
    static const Action<bool> kCheckActions[];
    static const Action<int> kComboActions[];

    // Runs the row of `table` whose identifier is `id`: its action with `args`, or its notice.
    // True when the notice was shown in place of a missing feature.
    template <size_t N, class... Args>
    bool act(const Action<Args...> (&table)[N], const SbString& id, Args... args);

    bool hasCanvas() const;
    bool isPlane() const;
    SoWinFullViewer* viewer() const;
    OivSceneManager* sceneManager() const;
    OivCameraControl* cameraControl() const;

    // Aligns the camera to the chosen direction, then frames the scene, or, keeping the focus,
    // stops a spin that would carry the camera off the new view.
    void placeCamera();
    void home();
    void setHome();
    void viewAll();
    void targetZoom();
    void keepFocus(bool checked);
    void toggleCameraType(bool checked);
    void stickyCursor(bool checked);
    void stickyCursorNormal(bool checked);
    void compass(bool checked);
    void giro(bool checked);
    void background(int index);
    void zScale(int index);
    void position(int index);
};

#endif // OIVWINTAV_DUICANVASTOOLBARAUDITOR_H
