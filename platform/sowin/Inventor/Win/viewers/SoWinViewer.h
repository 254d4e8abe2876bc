// The viewer layer's camera-owning render area: it wraps the user's scene graph in a root of
// its own with a headlight, finds or makes the camera, and offers what every viewer has: view
// all, home position, viewing versus picking mode, seeking to a picked point, camera type
// toggling, automatic clipping planes, a frame-rate report, and the messages every viewer treats
// alike (seek clicks, the mouse wheel, picking mode). Drags belong to the subclasses (examiner,
// plane).
#ifndef OIVWINTAV_SOWINVIEWER_H
#define OIVWINTAV_SOWINVIEWER_H

#include <Inventor/SbTime.h>
#include <Inventor/SoType.h>
#include <Inventor/Win/SoWinRenderArea.h>
#include <Inventor/Win/viewers/SoWinCameraSeek.h>
#include <Inventor/Win/viewers/SoWinCameraState.h>

#include <memory>

class SoCamera;
class SoDirectionalLight;
class SoGetBoundingBoxAction;
class SoGroup;
class SoSensor;
class SoSeparator;
class SoTimerSensor;
class SoWinViewer;

// Called once each time toggleCameraType replaced the camera, with the new camera.
typedef void SoWinViewerCameraTypeChangeCB(void* data, SoCamera* camera, SoWinViewer* viewer);
// Called after every getNumSamples() drawn frames with their rate in frames per second.
typedef void SoWinViewerFPSCB(float fps, void* data, SoWinViewer* viewer);

class SoWinViewer : public SoWinRenderArea {
    typedef SoWinRenderArea inherited;

public:
    // BROWSER puts a camera it has to make into its own root (the user's graph stays as given);
    // EDITOR puts it at the head of the user's graph when that is a group, so it is saved with it.
    enum Type { BROWSER = 0, EDITOR = 1 };

    // How the cursor looks while viewing. Every style shows the mode by the pointer's shape (a
    // hand to rotate, four arrows to pan, an up-down arrow to dolly, a cross hair to seek, the
    // arrow to pick); the window system's shapes carry their own outline, as SHADOW asks.
    enum CursorStyle { CLASSIC = 0, XOR = 1, SHADOW = 2 };

    typedef SoWinViewerCameraTypeChangeCB CameraTypeChangeCB;
    typedef SoWinViewerFPSCB FramesPerSecondCB;

    // The user's scene graph. The viewer takes the first camera found in it (searching all
    // children) or, without one, makes a camera of getCameraType(), frames the scene with it
    // and saves that as home position. Null removes the graph and the camera.
    void setSceneGraph(SoNode* newScene) override;
    SoNode* getSceneGraph(void) override;

    // The root the render area draws and picks: the headlight, the viewer's own camera (if it
    // made one), the user's scene graph, then any node a subclass appends for itself.
    SoSeparator* getInternalRoot(void) const { return m_Root; }

    // The camera the viewer moves; null before a scene with a camera was given.
    virtual void setCamera(SoCamera* camera);
    SoCamera* getCamera(void) const { return m_Camera; }

    // The kind of camera the viewer makes (perspective by default). Asking for the other kind
    // while a camera of one kind is in use toggles it.
    virtual void setCameraType(SoType type);
    SoType getCameraType(void) const { return m_CameraType; }

    // Replaces the camera by one of the other kind (perspective ↔ orthographic) at the same
    // place in the graph, keeping position, orientation, focal distance and the framed height
    // (height ↔ height angle), then reports the new camera to the camera-type callback.
    virtual void toggleCameraType(void);
    void setCameraTypeChangeCallback(CameraTypeChangeCB* callback, void* data);

    // Frames the user's scene graph from the current direction.
    virtual void viewAll(void);

    // The home position is the camera's view when saved (setSceneGraph saves one). Resetting
    // converts between camera kinds if the camera was toggled in between.
    virtual void saveHomePosition(void);
    virtual void resetToHomePosition(void);

    // A light from the camera, on by default.
    void setHeadlight(SbBool on);
    SbBool isHeadlight(void) const;
    SoDirectionalLight* getHeadlight(void) const { return m_Headlight; }

    // Viewing (the mouse moves the camera; on by default) or picking (messages go to the scene).
    virtual void setViewing(SbBool on);
    SbBool isViewing(void) const { return m_Viewing; }

    // Which cursors show the viewer's mode (the stored value only).
    void setCursorStyle(CursorStyle style) { m_CursorStyle = style; }
    CursorStyle getCursorStyle(void) const { return m_CursorStyle; }

    // Near and far planes fitted to the scene's bounding box before every frame (on by default).
    void setAutoClipping(SbBool on) { m_AutoClipping = on; }
    SbBool isAutoClipping(void) const { return m_AutoClipping; }

    // Stereo drawn as a red (left eye) / cyan (right eye) anaglyph, off by default.
    virtual void setStereoViewing(SbBool on);
    SbBool isStereoViewing(void) const { return m_Stereo; }

    // With it on, a camera toggled from perspective to orthographic and back gets its former
    // height angle again and moves along its line of sight to frame the same height; with it off
    // (the default) it keeps its position and the angle is computed from the height.
    void setPreserveCameraHeightAngle(SbBool on) { m_PreserveHeightAngle = on; }
    SbBool isPreserveCameraHeightAngle(void) const { return m_PreserveHeightAngle; }

    // Duration of the seek animation in seconds (2 by default; 0 jumps at once).
    void setSeekTime(float seconds);
    float getSeekTime(void) const { return m_SeekTime; }
    // Turns seek mode on or off (on: the next click seeks, as the target-zoom tools of a host
    // ask); turning it off ends a running seek animation where it is.
    virtual void setSeekMode(SbBool on);
    // Whether the next click seeks.
    SbBool isSeekMode(void) const { return m_SeekMode; }
    // Whether a seek animation is running.
    SbBool isSeeking(void) const;

    // Called with the measured frames per second every getNumSamples frames; null switches it off.
    void setFramesPerSecondCallback(FramesPerSecondCB* callback, void* data);
    // Number of frames timed together for each frames-per-second report (10 by default; at
    // least 1). A host that times reports itself multiplies by it to get frames.
    void setNumSamples(int frames);
    int getNumSamples(void) const { return m_NumSamples; }

    // Whether the viewer made its camera (BROWSER) or uses one of the scene (EDITOR).
    Type getType(void) const { return m_Type; }

protected:
    SoWinViewer(HWND parent, const char* name, SbBool embed, Type type, SbBool buildNow);
    ~SoWinViewer() override;

    // Puts the camera at step t (rising to 1) of the running seek. Called by the seek timer for
    // every step, last with t = 1.
    virtual void interpolateSeekAnimation(float t);
    // Starts a seek to the scene point under `position` (viewport pixels, origin bottom left).
    // Without a hit seek mode ends and the result is FALSE.
    SbBool seekToPoint(const SbVec2s& position);

    // The window changed: the viewer needs a redraw of the new one.
    void widgetChanged(HWND newWidget) override;

    // The keys users of these viewers know come first: Escape switches between viewing and
    // picking, a held Alt views while picking; while viewing `s` toggles seek mode, Home goes
    // home and the arrow keys move the camera a tenth of the view. In seek mode a left or middle
    // press seeks to the point under it and is used up. In viewing mode processViewingEvent gets
    // the message next. Whatever is left goes to the scene. The pointer then shows the mode.
    void processEvent(MSG* msg) override;
    // A drawing window message in viewing mode; TRUE when it moved the camera (or was otherwise
    // used up) and must not reach the scene. The viewer itself dollies for the mouse wheel
    // (forward closes in); subclasses add their drags and pass on what they do not use.
    virtual SbBool processViewingEvent(MSG* msg);

    // Fits the clipping planes, draws (twice for stereo) and counts the frame.
    void actualRedraw(void) override;

    // Position of a mouse message in viewport pixels (origin bottom left) and normalised (0..1).
    SbVec2s getViewportPosition(const MSG* msg) const;
    SbVec2f getNormalizedPosition(const MSG* msg) const;
    // Width over height of the drawing area.
    float getViewportAspect(void) const;
    // The mouse keys (MK_*) held once the message has taken effect: a press adds its button,
    // a release removes it.
    static WPARAM getKeysAfter(const MSG* msg);
    // Dollies for a vertical drag step between two normalised positions (upward closes in).
    void dollyForDrag(const SbVec2f& from, const SbVec2f& to);
    // Moves the camera in its focal plane by `step`, in fractions of the view's width and height.
    void moveCameraInView(const SbVec2f& step);
    // The system cursor (IDC_*) the pointer shows over the drawing area while viewing, not
    // seeking; the viewer rotates by default.
    virtual LPCSTR getViewingCursor(void) const;

private:
    void createViewerCamera(void);
    void removeViewerCamera(void);
    void attachCamera(SoCamera* camera);
    void adjustClippingPlanes(void);
    void drawStereo(void);
    void countFrame(const SbTime& frameStart);
    // Ends a seek animation that is running, leaving seek mode; framing and home call it first.
    void endRunningSeek(void);
    void finishSeek(void);
    SbBool processSeekPress(const MSG* msg);
    SbBool processKey(const MSG* msg);
    SbBool processViewingKey(int virtualKey);
    void showModeCursor(void);
    void dollyForWheel(const MSG* msg);
    static void seekTimerCB(void* data, SoSensor* sensor);

    Type m_Type;
    SoSeparator* m_Root = nullptr;
    SoDirectionalLight* m_Headlight = nullptr;
    SoGroup* m_CameraGroup = nullptr;
    SoNode* m_UserScene = nullptr;
    SoCamera* m_Camera = nullptr;
    SoType m_CameraType;
    bool m_ViewerMadeCamera = false;
    float m_SavedHeightAngle = SoWinCameraState::kDefaultHeightAngle;

    CameraTypeChangeCB* m_CameraTypeChangeCB = nullptr;
    void* m_CameraTypeChangeData = nullptr;
    FramesPerSecondCB* m_FpsCB = nullptr;
    void* m_FpsData = nullptr;
    int m_NumSamples = 10;
    int m_FramesInSample = 0;
    SbTime m_SampleStart;

    SoWinCameraState m_Home;
    bool m_Viewing = true;
    // Viewing only while Alt is held, from picking mode.
    bool m_ViewingForAlt = false;
    CursorStyle m_CursorStyle = CLASSIC;
    bool m_AutoClipping = true;
    // Kept between frames: fitting the clipping planes runs before every frame.
    std::unique_ptr<SoGetBoundingBoxAction> m_ClippingBoxAction;
    bool m_Stereo = false;
    bool m_PreserveHeightAngle = false;

    bool m_SeekMode = false;
    float m_SeekTime = 2.0f;
    SbTime m_SeekStart;
    SoWinCameraSeek m_Seek;
    SoTimerSensor* m_SeekSensor = nullptr;
};

#endif // OIVWINTAV_SOWINVIEWER_H
