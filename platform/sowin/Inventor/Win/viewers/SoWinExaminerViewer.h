// The examiner: the camera orbits its focal point. Left drag turns it (a virtual trackball),
// middle drag or Shift/Ctrl+left drag pans, Ctrl+middle, Ctrl+Shift+left or left+middle drag
// dollies, the mouse wheel dollies. Letting go of the left button while still moving keeps the
// scene spinning until stopAnimating or the next click. In seek mode a click seeks.
#ifndef OIVWINTAV_SOWINEXAMINERVIEWER_H
#define OIVWINTAV_SOWINEXAMINERVIEWER_H

#include <Inventor/Win/viewers/SoWinCameraTrackball.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>

class SoTimerSensor;

class SoWinExaminerViewer : public SoWinFullViewer {
    typedef SoWinFullViewer inherited;

public:
    // An examiner viewer inside `parent`, with the parts `flag` asks for.
    SoWinExaminerViewer(HWND parent = NULL, const char* name = NULL, SbBool embed = TRUE,
                        SoWinFullViewer::BuildFlag flag = BUILD_ALL,
                        SoWinViewer::Type type = BROWSER);
    ~SoWinExaminerViewer() override;

    // Whether a release while moving starts a spin (on by default).
    void setAnimationEnabled(SbBool on);
    SbBool isAnimationEnabled(void) const { return m_AnimationEnabled; }
    void stopAnimating(void);
    SbBool isAnimating(void) const;

    // These stop a running spin first.
    void viewAll(void) override;
    void resetToHomePosition(void) override;
    void setViewing(SbBool on) override;
    void setCamera(SoCamera* camera) override;

protected:
    // For subclasses that build later: with buildNow FALSE the caller builds the widget
    // (buildWidget, setBaseWidget). With syncRedraw every interaction step draws at once;
    // without it the render area's scheduled redraw shows the steps.
    SoWinExaminerViewer(HWND parent, const char* name, SbBool embed,
                        SoWinFullViewer::BuildFlag flag, SoWinViewer::Type type, SbBool buildNow,
                        SbBool syncRedraw);

    enum { CAMERA_TYPE_BUTTON = 7 };

    // Drags and the mouse wheel move the camera.
    SbBool processViewingEvent(MSG* msg) override;
    // The shape of the drag under way: four arrows while panning, an up-down arrow while
    // dollying, the hand otherwise.
    LPCSTR getViewingCursor(void) const override;
    void setSeekMode(SbBool on) override;

    // The standard buttons plus the camera-type button (id 7).
    void createViewerButtons(HWND parent) override;
    // Id 7 toggles the camera type; the others are the full viewer's.
    void pushButtonCB(HWND hwnd, int id, void* data) override;
    // The left wheel turns the camera about its horizontal axis, the bottom wheel about its
    // vertical axis, both through the focal point.
    void leftWheelMotion(float value) override;
    void bottomWheelMotion(float value) override;

    // The clock that tells a release while moving (a spin) from one after the mouse stopped:
    // the time of day. A subclass may give another, such as a clock that a test moves on.
    virtual SbTime getCurrentTime(void) const;

private:
    enum class Drag { NONE, ROTATE, PAN, DOLLY };
    static Drag dragFor(WPARAM keys);
    void beginDrag(Drag drag, const SbVec2f& position);
    void dragTo(const SbVec2f& position);
    void endDrag(const SbVec2f& position);
    void startSpin(void);
    void interactionStep(void);
    static void spinCB(void* data, SoSensor* sensor);

    bool m_SyncRedraw;
    bool m_AnimationEnabled = true;
    Drag m_Drag = Drag::NONE;
    SbVec2f m_LastPosition;
    SoWinCameraTrackball m_Trackball;
    SbRotation m_LastRotation;
    SbTime m_LastMoveTime;
    SoTimerSensor* m_SpinSensor = nullptr;
};

#endif // OIVWINTAV_SOWINEXAMINERVIEWER_H
