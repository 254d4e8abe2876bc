// The scene manager a canvas uses: the base layout plus the host's 3D root under the global
// vertical exaggeration (the global Z scale), a sticky cursor that follows the mouse over the
// scene while the viewer is picking, and two switchable overlay instruments, a compass and a
// horizon giro. A change of the Z scale keeps the camera on the same geometry and is reported as
// a scene-context change.
//
// The host reads the sticky cursor's place in its own, true coordinates (those of the children of
// getRoot3D(), without the global Z scale), is told when it changes, and may show it as a line of
// text in the overlay. A canvas group with cursor echo on shows another member's cursor here.
//
// Not copyable: a copy would share (and release twice) the scale nodes, the other nodes and the
// camera control.
#ifndef OIVWINTAV_OIVSCENEMANAGER_H
#define OIVWINTAV_OIVSCENEMANAGER_H

#include "scene/OivBaseSceneManager.h"
#include "tav/OivListenerList.h"

#include <Inventor/SbVec3f.h>

class OivCompass;
class OivCursorEcho;
class SoAction;
class SoCallback;
class SoOneShotSensor;
class SoSensor;
class OivGlobalZScale;
class OivStickyCursor;
class SoScale;

class OivSceneManager : public OivBaseSceneManager {
public:
    // A sticky-cursor listener: user data first, then the manager whose cursor changed.
    typedef void StickyCursorCB(void* userData, OivSceneManager* manager);

    // Z scale 1, sticky cursor off; nothing is in a graph yet.
    OivSceneManager();
    ~OivSceneManager() override;

    OivSceneManager(const OivSceneManager&) = delete;
    OivSceneManager& operator=(const OivSceneManager&) = delete;

    // Builds the graph as the base manager does, then shows the viewer's camera on the compass
    // and the horizon giro. The sticky cursor follows the rule of enableStickyCursor.
    void setViewer(SoWinViewer* viewer, bool orthographic) override;

    // The base layout, then: under "Main3DRoot" the host's 3D root behind the global Z scale and
    // the sticky cursor, drawn over the finished scene; in the protected overlay the compass
    // (top right) and the horizon giro (top left), both hidden.
    SoSeparator* createSceneGraph(SoCamera* camera) override;

    // Where the host hangs its 3D content; everything in it is stretched by the global Z scale.
    SoSeparator* getRoot3D();
    OivGlobalZScale* getGlobalScale();
    // Kept at the inverse of the global Z scale, for the host to put below getRoot3D() in front
    // of content that must not be stretched. The manager does not place it in the graph.
    SoScale* getGlobalUnScale();
    OivCompass* getCompass();
    OivCompass* getHorizonGiro();
    float getGlobalZScale() const;

    // Shows or hides the compass (top right) and the horizon giro (top left).
    void setCompassVisible(bool visible);
    bool isCompassVisible() const;
    void setHorizonGiroVisible(bool visible);
    bool isHorizonGiroVisible() const;

    // Stretches the host's content by z along Z, first moving the camera so that it stays on the
    // same geometry, then reports a scene-context change. The current value changes nothing and
    // reports nothing (canvas groups pass a change around and rely on that to stop), nor does a
    // z whose inverse is not finite (0, a value that is not finite, or one so small that the
    // inverse scale would overflow): it would turn every bounding box infinite.
    void setGlobalZScale(float z);

    // The sticky cursor is shown exactly while it is enabled and the viewer is picking (not
    // viewing); with no viewer it is hidden.
    void enableStickyCursor(bool enable);
    bool isStickyCursorEnabled() const;
    // On: the cursor is an arrow along the surface normal; off: an upright 3D cross.
    void setStickyCursorNormalOrientation(bool normalOrientation);
    bool isStickyCursorNormalOriented() const;
    // Moves an enabled cursor onto the surface under (x, y), client pixels of the drawing window
    // (origin top left, y downwards); also in viewing mode, where the cursor stays hidden, so
    // that it appears at the right place when picking starts. A disabled cursor ignores it.
    void setMousePosition(int x, int y);

    // While the cursor is shown on a surface: true, the point it marks and, when asked, the unit
    // surface normal (facing the viewer), both in true coordinates. False while the cursor is
    // disabled, hidden (viewing mode), off every surface, or there is no viewer. Reads what the
    // last placement stored; it costs nothing.
    bool getStickyCursorPoint(SbVec3f& point, SbVec3f* normal = nullptr) const;
    // Registers a listener, called whenever what getStickyCursorPoint gives changes: after a mouse
    // move, when the cursor is shown or hidden, and when it is placed again after a Z scale or
    // view change (then from the message loop, once the frame that placed it is drawn). A pair
    // already registered is not added twice. A listener may remove itself (or another one, which
    // is then not called) while being called.
    void addStickyCursorCallback(StickyCursorCB* callback, void* userData);
    // Unregisters the pair; a pair that is not registered is ignored.
    void removeStickyCursorCallback(StickyCursorCB* callback, void* userData);
    // Whether the last change reported to the listeners came from a mouse move over this
    // manager's viewer, rather than from a change of mode, Z scale or view: for listeners that
    // follow the mouse from view to view.
    bool isStickyCursorReportFromMouse() const;

    // The read-out: one line at the bottom right of the overlay, above the message's line, with
    // the true point ("X 1234.50   Y 567.25   Z -1500.00"), shown while the cursor is on a surface.
    // Off by default.
    void setCursorReadout(bool on);
    // Whether the read-out is on (shown while the cursor is on a surface).
    bool isCursorReadout() const;

    // The echo of a cursor of another view (a canvas group shows it): the member's cursor shape
    // in the echo's colour at `point`, in true coordinates, mapped through this manager's own Z
    // scale (and kept there when the Z scale changes); turned along `normal` when this manager's
    // cursor is normal-oriented. Neither moves the camera or the sticky cursor, nor reaches
    // the sticky-cursor listeners; the viewer redraws from the message loop.
    void showCursorEcho(const SbVec3f& point, const SbVec3f& normal);
    // Takes the echo away; without one, nothing happens.
    void hideCursorEcho();
    // Whether an echo is shown.
    bool isCursorEchoShown() const;

    // Applies the sticky-cursor rule after the viewer switched between viewing and picking.
    virtual void onViewmodeChange();

    // Viewer callbacks, registered with the manager as user data: a change of viewing mode, and
    // a mouse move over the drawing window of an OivWinExaminerViewer (or a viewer derived from
    // it), whose last mouse position becomes the cursor's. A null viewer, or one of another
    // kind, is ignored.
    static void viewingModeChangeCB(void* userData, SoWinViewer* viewer);
    static void systemMouseEventCB(void* userData, SoWinViewer* viewer);

protected:
    void setStickyCursorVisibility(bool visible);

    SoSeparator* m_Root3D;
    OivGlobalZScale* m_GlobalScale;
    SoScale* m_GlobalUnScale;
    SoSwitch* m_CompassSwitch;
    OivCompass* m_Compass;
    SoSwitch* m_HorizonGiroSwitch;
    OivCompass* m_HorizonGiro;
    float m_GlobalZScale;
    SoSwitch* m_StickyCursorSwitch;
    OivStickyCursor* m_StickyCursor;
    bool m_StickyCursorEnabled;

private:
    // Where the cursor is, in true coordinates, as the listeners last heard it.
    struct CursorPlace {
        bool onSurface;
        SbVec3f point;
        SbVec3f normal;
        bool operator==(const CursorPlace& other) const;
    };
    bool isStickyCursorShown() const;
    void applyStickyCursorRule();
    SoSeparator* newCursorBranch();

    // The cursor's place now, from its last placement.
    CursorPlace readCursorPlace() const;
    // Stores the cursor's place now and, if it changed, updates the read-out and tells the
    // listeners.
    void reportCursorPlace(bool fromMouse);
    void updateReadout();
    void placeEcho();
    SbVec3f toTrue(const SbVec3f& point) const;
    SbVec3f fromTrue(const SbVec3f& point) const;
    SbVec3f normalToTrue(const SbVec3f& normal) const;
    SbVec3f normalFromTrue(const SbVec3f& normal) const;

    // The cursor drawn: a placement that the frame made is reported once the frame is done.
    static void cursorDrawnCB(void* data, SoAction* action);
    static void cursorReportCB(void* data, SoSensor* sensor);

    CursorPlace m_CursorPlace;
    bool m_ReportFromMouse;
    OivListenerList<StickyCursorCB> m_StickyCursorListeners;
    SoOneShotSensor* m_CursorReportSensor;
    bool m_CursorReadout;
    SoSwitch* m_ReadoutSwitch;
    SoText2* m_ReadoutText;
    SoSwitch* m_EchoSwitch;
    OivCursorEcho* m_CursorEcho;
    SoCallback* m_CursorDrawn; // after the cursor in its branch: reports where a frame placed it
    SbVec3f m_EchoPoint;
    SbVec3f m_EchoNormal;
};

#endif // OIVWINTAV_OIVSCENEMANAGER_H
