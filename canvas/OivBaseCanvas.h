// One interactive 3D view inside a host window: the viewer, the scene manager that builds and
// decorates what the viewer shows, and a sensor on the viewer's camera. Camera moves, camera
// replacements and scene-context changes all reach one view-context listener (a canvas group
// keeps several canvases in step through it).
//
// Created and destroyed only as part of a subclass (OivCanvas). Not copyable: the canvas owns its
// viewer, scene manager and camera sensor, and a copy would delete them a second time.
#ifndef OIVWINTAV_OIVBASECANVAS_H
#define OIVWINTAV_OIVBASECANVAS_H

#include "tav/OivListenerList.h"

#include <Inventor/lists/SbPList.h>
#include <windows.h>

#include <vector>

class DuiBaseDialog;
class OivBaseSceneManager;
class OivCanvasObserver;
class OivSceneManager;
class OivVideoRecorder;
class SbVec3f;
class SoCamera;
class SoGroup;
class SoNode;
class SoNodeSensor;
class SoSensor;
class SoWinFullViewer;
class SoWinViewer;

class OivBaseCanvas {
public:
    // The viewer initialize creates. Any other value is kept as given (getViewerType) and
    // creates an examiner viewer.
    enum ViewerType : int {
        PLANE_VIEWER = 0,    // plane viewer, orthographic scene camera
        EXAMINER_VIEWER = 1, // examiner viewer, perspective scene camera
        CURVE_VIEWER = 2     // curve-tracking viewer (an examiner), perspective scene camera
    };

    // The view-context listener: user data first; cameraOnly is true when only the camera moved,
    // false when the camera was replaced or the scene context (the global Z scale) changed.
    typedef void ViewContextChangeCB(void* userData, bool cameraOnly, OivBaseCanvas* canvas);

    OivBaseCanvas(const OivBaseCanvas&) = delete;
    OivBaseCanvas& operator=(const OivBaseCanvas&) = delete;

    // Builds the viewer of `type` inside `parent` without decoration, the scene manager with its
    // scene graph around the viewer's camera, shows the viewer and starts the three
    // notifications. With a null parent only type and parent are stored. Meant to be called
    // once; a call on a canvas that already has a viewer changes nothing.
    virtual void initialize(ViewerType type, HWND parent);

    // Null until initialize built them.
    SoWinFullViewer* getOivViewer() const { return m_OivViewer; }
    OivBaseSceneManager* getOivSceneManager() const { return m_OivSceneManager; }
    // The type passed to the last initialize, EXAMINER_VIEWER before.
    ViewerType getViewerType() const { return m_ViewerType; }

    // Sets the one view-context listener, replacing any earlier one; a null function switches
    // the notification off.
    void setViewContextChangeCallback(ViewContextChangeCB* callback, void* userData);

    // Scene files. Import prints the input search directories, one per line, then appends the
    // whole file (Open Inventor or VRML) to `parent` as one separator; false, with `parent`
    // unchanged, for a null parent or a file that cannot be opened or read. Export writes `root`
    // as ASCII or binary Open Inventor, or converted to VRML 2.0 (always text); false when the
    // file could not be written completely, in which case an earlier file at `fileName` is left
    // as it was and nothing else is left behind.
    bool import3DGraphicFile(const char* fileName, SoGroup* parent);
    bool export3DGraphicFile(const char* fileName, SoNode* root, bool binary, bool toVRML2);

    // Image output. printPage renders the current view off screen and copies it onto `hdc` at the
    // physical size it has on screen (a black background prints white); false without a viewer,
    // when the rendering fails or when `hdc` takes no picture (null, deleted, not a device
    // context). magnify centres the view on the rectangle with corners (x0, y0)
    // and (x1, y1) in the viewer window's pixels (origin top left, any order) and zooms an
    // orthographic camera to it; a rectangle without area changes nothing. copyBitmap does
    // nothing: the view is taken as a picture through printPage instead.
    bool printPage(HDC hdc);
    void magnify(int x0, int y0, int x1, int y1);
    void copyBitmap();

    // Dialogs bound to this canvas, refreshed together (the canvas does not own them).
    // Registers `dialog` for updateDUI; a null dialog or one already registered is ignored.
    virtual void addDUI(DuiBaseDialog* dialog);
    // Resets every registered dialog, in the order they were registered; a dialog registered or
    // unregistered by a reset during the walk is reached, or skipped, accordingly.
    virtual void updateDUI();
    // Unregisters `dialog`; a dialog that is not registered is ignored. A dialog unregisters
    // itself from every canvas when it is destroyed.
    virtual void removeDUI(DuiBaseDialog* dialog);

    // The canvas's video recorder, made on the first call with this canvas; the canvas owns it.
    OivVideoRecorder* getVideoRecorder();

    // Registers an observer told when the canvas is destroyed (before anything of it is deleted);
    // a null observer or one already registered is ignored. The canvas does not own it.
    void addCanvasObserver(OivCanvasObserver* observer);
    // Unregisters the observer; one that is not registered is ignored.
    void removeCanvasObserver(OivCanvasObserver* observer);

    // The global Z scale and the sticky cursor of the canvas's scene, for those that keep several
    // canvases together (a canvas group). Both belong to the extended scene manager
    // (OivSceneManager), which initialize makes: a canvas without one has neither, its getters
    // give false and the other calls change nothing.
    //
    // The scene's global Z scale, into `zScale`; false, with `zScale` untouched, without one.
    bool getGlobalZScale(float& zScale) const;
    // Gives the scene the global Z scale, as the scene manager's setGlobalZScale does.
    void setGlobalZScale(float zScale);
    // The sticky-cursor listener: user data first, then the canvas whose cursor changed.
    typedef void StickyCursorCB(void* userData, OivBaseCanvas* canvas);
    // Registers a listener called whenever the scene manager's sticky cursor reports a change; a
    // pair already registered is not added twice, and a listener may remove itself or another.
    void addStickyCursorCallback(StickyCursorCB* callback, void* userData);
    // Unregisters the pair; a pair that is not registered is ignored.
    void removeStickyCursorCallback(StickyCursorCB* callback, void* userData);
    // The point (and, when asked, the normal) the sticky cursor marks, as the scene manager's
    // getStickyCursorPoint gives them.
    bool getStickyCursorPoint(SbVec3f& point, SbVec3f* normal) const;
    // Whether the cursor's last report came from a mouse move over this canvas's viewer.
    bool isStickyCursorReportFromMouse() const;
    // Shows the echo of another view's cursor at `point` (true coordinates), along `normal`.
    void showCursorEcho(const SbVec3f& point, const SbVec3f& normal);
    // Takes the echo away.
    void hideCursorEcho();

protected:
    OivBaseCanvas();
    // Tells its observers (its groups leave it, the dialogs bound to it are unbound, registered or
    // not), then deletes, in this order, the scene manager, the camera sensor (detached first),
    // the viewer (its camera-type callback cleared first), the dialog list and the video
    // recorder. Not virtual: a canvas is deleted as its subclass.
    ~OivBaseCanvas();

    // A new scene manager of the kind this canvas uses, for subclasses; initialize always makes
    // an OivSceneManager itself.
    virtual OivBaseSceneManager* createOivBaseSceneManagerInstance();

    // Tells the listener, if there is one.
    virtual void viewContextChanged(bool cameraOnly);

    // The canvas is the user data of all three.
    static void sceneChangeCB(void* data, OivBaseSceneManager* manager);
    static void cameraChangeCB(void* data, SoSensor* sensor);
    static void cameraTypeChangeCB(void* data, SoCamera* camera, SoWinViewer* viewer);

    SoWinFullViewer* m_OivViewer;
    OivBaseSceneManager* m_OivSceneManager;
    ViewerType m_ViewerType;
    HWND m_ParentWindow;
    ViewContextChangeCB* m_ViewContextChangeCB;
    void* m_ViewContextChangeData;
    SoNodeSensor* m_CameraSensor;
    OivVideoRecorder* m_VideoRecorder; // null until getVideoRecorder is first called

    // The links of the registered dialogs (OivCanvasDialogLink*), null until the first
    // registration.
    SbPList* m_DuiList;

    // A viewer of `type` built inside `parent`, and the drawing settings every viewer of a canvas
    // gets (no decoration, the camera's height angle kept, sorted blended transparency).
    static SoWinFullViewer* createViewer(ViewerType type, HWND parent);
    static void configureDrawing(SoWinFullViewer* viewer);

private:
    void configureViewer();
    void watchCurrentCamera();

    void releaseDialogs();
    // Index of the dialog updateDUI is resetting, -1 outside a walk; kept in step when a reset
    // unregisters a dialog, so that none is skipped or reset twice.
    int m_DuiWalkIndex;

    // Every observer, told of the destruction so that none uses the canvas through a dangling
    // pointer (a group that lost the view-context slot to a later one still writes to it).
    std::vector<OivCanvasObserver*> m_Observers;
    bool isObserver(OivCanvasObserver* observer) const;
    void tellObservers();

    // The scene manager when it is the extended one; null otherwise.
    OivSceneManager* getExtendedManager() const;
    // The canvas's own sticky-cursor listeners; it listens to its scene manager for them while
    // there is at least one.
    OivListenerList<StickyCursorCB> m_StickyCursorListeners;
    static void stickyCursorCB(void* data, OivSceneManager* manager);
};

#endif // OIVWINTAV_OIVBASECANVAS_H
