// The layout of the scene graph a canvas shows: a switchable background, the 3D branch around
// the scene camera with the content separator "Main3DRoot", a 2D overlay with its own camera
// carrying the frame-rate display and a message, and a UI3D branch for interface geometry drawn
// over the scene. Owns the canvas's camera control, measures the frame rate and reports
// scene-context changes to one listener.
#ifndef OIVWINTAV_OIVBASESCENEMANAGER_H
#define OIVWINTAV_OIVBASESCENEMANAGER_H

#include "tav/OivViewerWatch.h"

#include <Inventor/SbColor.h>
#include <Inventor/SbString.h>
#include <windows.h>

class OivCameraControl;
class SoCamera;
class SoEventCallback;
class SoFont;
class SoGradientBackground;
class SoGroup;
class SoImageBackground;
class SoNode;
class SoOrthographicCamera;
class SoSeparator;
class SoSwitch;
class SoText2;
class SoWinViewer;

class OivBaseSceneManager {
public:
    // What is drawn behind the scene.
    enum Background : int {
        BLACK = 0,     // no background node, viewer background colour black
        ALTERNATE = 1, // no background node, viewer background colour the alternate colour
        GRADIENT = 2,  // the gradient background node
        IMAGE = 3      // the image background node, stretched over the viewport
    };

    // Where a text display sits in the viewport, in the companion library's anchor and margin
    // terms (OivScreenPosition's AnchorType and MarginType values).
    struct ScreenPlace {
        int horizontalAnchor;
        int horizontalMargin;
        float horizontalValue;
        int verticalAnchor;
        int verticalMargin;
        float verticalValue;
    };

    // The scene-context listener: user data first, then the manager that changed.
    typedef void SceneContextChangeCB(void* userData, OivBaseSceneManager* manager);

    // Creates every node of the layout except the message text, unconnected. Background BLACK.
    // Before SoWin::init it initialises the viewer layer first, as a viewer does.
    OivBaseSceneManager();
    // Stops the viewer's frame-rate reports to the manager. Either may be deleted first.
    virtual ~OivBaseSceneManager();

    // Copies would share (and both delete) one camera control and one set of nodes.
    OivBaseSceneManager(const OivBaseSceneManager&) = delete;
    OivBaseSceneManager& operator=(const OivBaseSceneManager&) = delete;

    // Binds the manager to the viewer: registers the frame-rate report, creates the scene camera
    // (orthographic or perspective), builds the graph around it and makes it the viewer's scene
    // graph, whose first camera the viewer takes as its own. A null viewer builds nothing. Bound
    // again, the manager rebuilds the graph around a new camera; a different viewer takes it over
    // from the previous one, which then shows nothing and stops reporting its frame rate.
    virtual void setViewer(SoWinViewer* viewer, bool orthographic);

    // Builds the whole layout around `camera` and returns the scene root. Subclasses extend the
    // layout by calling this first. Called again, it rebuilds the layout around the new camera
    // (the host's roots keep their content; the message text is emptied); a null camera changes
    // nothing.
    virtual SoSeparator* createSceneGraph(SoCamera* camera);

    // The event-callback node at the start of the 3D branch, for the host's event handling.
    SoEventCallback* getEventCallback();
    // A font node ("Arial", 12) for the host; the manager does not place it in the graph.
    SoFont* getGlobalFont();
    // Where the host hangs its 2D items, drawn with the overlay camera.
    SoSeparator* getRootOverlay();
    // Where the host hangs interface geometry, drawn with its own camera over the scene.
    SoSeparator* getRootUI3D();
    OivCameraControl* getCameraControl() const;
    Background getBackground() const;
    SoImageBackground* getImageBackground() const;
    SoGradientBackground* getGradientBackground() const;

    // Shows the chosen background. BLACK and ALTERNATE also set the viewer's background colour
    // when there is a viewer; GRADIENT and IMAGE leave it. Other values are only stored.
    void setBackground(Background background);
    // Takes effect at the next setBackground(ALTERNATE).
    void setBackgroundAlternateColor(SbColor color);
    // Gives the path to the image background if the file can be opened; the path is remembered
    // either way. The current background choice does not change.
    void setBackgroundImage(SbString path);

    // The message text exists once the graph is built; before that these do nothing. Neither
    // changes the message's visibility.
    void setMessage(const SbString& text);
    void resetMessage();
    void setMessageVisible(bool visible);
    bool isMessageVisible() const;

    // The frame-rate text is kept up to date whether shown or not. Building the graph hides it.
    void setPerformanceVisible(bool visible);
    bool isPerformanceVisible() const;

    // Sets the one scene-context listener, replacing any earlier one; null switches it off.
    void setSceneContextChangeCallback(SceneContextChangeCB* callback, void* userData);

protected:
    SoSeparator* getSceneRoot();
    SoSeparator* getProtectedRoot3D();
    SoSeparator* getProtectedRootOverlay();
    // The viewer's current camera; null while there is no viewer.
    SoCamera* getCamera();
    // The bound viewer while it exists; null when there is none or the host deleted it.
    SoWinViewer* getLiveViewer() const;

    // Writes the frame rate into the frame-rate text: the viewer's own measure below 70 frames
    // per second, the counter-based one above (where the viewer's measure is too coarse).
    virtual void printInfo();
    // Reports a scene-context change to the listener, if there is one.
    virtual void sceneContextChanged();

    // A white text in the overlay font, anchored to `place`, with an empty string.
    static SoSeparator* newTextDisplay(const ScreenPlace& place, SoText2* text);
    // The baseline, in pixels above the bottom edge, of a text line just above the message's.
    static float lineAboveMessage();

    // The viewer's frames-per-second report; the user data is the manager.
    static void fpsCB(float fps, void* userData, SoWinViewer* viewer);

    SoWinViewer* m_Viewer;
    SoFont* m_GlobalFont;
    SoSeparator* m_SceneRoot;
    SoSeparator* m_ProtectedRoot3D;
    SoEventCallback* m_EventCallback;
    SoOrthographicCamera* m_OverlayCamera;
    SoSeparator* m_ProtectedRootOverlay;
    SoSeparator* m_RootOverlay;
    SoSwitch* m_PerformanceSwitch;
    SoText2* m_PerformanceText;
    SoSwitch* m_MessageSwitch;
    SoText2* m_MessageText;
    SoSeparator* m_RootUI3D;
    SoGroup* m_PreSceneGroup;
    SoGroup* m_PostSceneGroup;
    SceneContextChangeCB* m_SceneContextChangeCB;
    void* m_SceneContextChangeData;
    OivCameraControl* m_CameraControl;
    Background m_Background;
    SoSwitch* m_BackgroundSwitch;
    SoImageBackground* m_ImageBackground;
    SoGradientBackground* m_GradientBackground;
    SbColor m_AlternateColor;
    SbString m_BackgroundImage;
    SbColor m_GradientColor1;
    SbColor m_GradientColor0;
    double m_LastCounter;
    double m_CounterFrequency;
    float m_Fps;
    float m_ViewerFps;

private:
    void releaseViewer(SoWinViewer* next);
    void clearLayout();
    void reportFrameRate(float viewerFps);
    void buildFrameRateDisplay();
    void buildMessageDisplay();
    void loadBackgroundImage();

    OivViewerWatch m_ViewerWatch;
};

#endif // OIVWINTAV_OIVBASESCENEMANAGER_H
