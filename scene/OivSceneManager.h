// The scene manager a canvas uses: the base layout plus the host's 3D root under the global
// vertical exaggeration (the global Z scale), a sticky cursor that follows the mouse over the
// scene while the viewer is picking, and two switchable overlay instruments, a compass and a
// horizon giro. A change of the Z scale keeps the camera on the same geometry and is reported as
// a scene-context change.
//
// Not copyable: a copy would share (and release twice) the scale nodes, the other nodes and the
// camera control.
#ifndef OIVWINTAV_OIVSCENEMANAGER_H
#define OIVWINTAV_OIVSCENEMANAGER_H

#include "scene/OivBaseSceneManager.h"

class OivCompass;
class OivGlobalZScale;
class OivStickyCursor;
class SoScale;

class OivSceneManager : public OivBaseSceneManager {
public:
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
    bool isStickyCursorShown() const;
    void applyStickyCursorRule();
    SoSeparator* newCursorBranch();
};

#endif // OIVWINTAV_OIVSCENEMANAGER_H
