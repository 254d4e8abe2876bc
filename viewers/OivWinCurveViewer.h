// The curve-tracking viewer: an examiner viewer whose camera, while tracking is on, holds its
// focal point on a tracking point that slides along a tracking curve, a polyline given as points
// (optionally with an object-to-world matrix) or taken from a picked or named pipe or line set.
// A three-axis marker, the tracking compass (X red, Y green, Z blue), is drawn at the point.
//
// The curve is kept twice: the input points (world space) and a dense resampling of them that
// drags snap to. While tracking is on, a middle drag or a Shift/Ctrl left drag moves the camera
// as the examiner does and then puts its focal point back on the resampled point nearest to
// where the examiner left it, so the camera slides along the curve and stops at its ends; in
// picking mode a click (without Shift) on a pipe or line set makes it the curve; in seek mode a
// click on one makes it the curve and seeks there. Every placement of the camera on the tracking
// point also becomes the home position.
//
// Three notification lists report, synchronously: the curve changed (each setTrackingCurve),
// the point changed (each updateTrackingPoint, home reset, and a drag that moves the point) and
// a shape was picked for tracking (before any curve is installed from it). The curve gate
// silences the first and the third, the point gate the second. Enabling and disabling tracking
// notify nothing.
//
// The viewer holds its pieces: the curve and its resampling (OivTrackingCurve), the compass
// (OivTrackingCompass), the three lists and their gates (OivTrackingNotifier) and the picking of
// tracking nodes (OivTrackingPicker). Its navigation and message handling, which work on the
// examiner it is, are in OivWinCurveViewerNavigation.cpp.
//
// Not copyable: a copy would share the lists, the point buffers, the buttons and the compass.
#ifndef OIVWINTAV_OIVWINCURVEVIEWER_H
#define OIVWINTAV_OIVWINCURVEVIEWER_H

#include "viewers/OivTrackingCompass.h"
#include "viewers/OivTrackingCurve.h"
#include "viewers/OivTrackingNotifier.h"
#include "viewers/OivTrackingPicker.h"
#include "viewers/OivWinExaminerViewer.h"

#include <Inventor/SbMatrix.h>
#include <Inventor/SbVec2s.h>
#include <Inventor/SbVec3f.h>
#include <Inventor/sensors/SoAlarmSensor.h>

#include <memory>

class SbViewportRegion;
class SoEventCallback;
class SoSensor;
class SoWinBitmapButton;

class OivWinCurveViewer : public OivWinExaminerViewer {
    typedef OivWinExaminerViewer inherited;

public:
    // A notification: the user data given with the function, then the viewer.
    typedef void TrackingCallback(void* userData, OivWinCurveViewer* viewer);

    // Push-button id of the tracking button.
    enum { TRACKING_BUTTON_ID = 9 };
    // Bitmap resources of the library: the tracking button while tracking is on, and off.
    enum { IDB_TRACKING_ON = 101, IDB_TRACKING_OFF = 102 };

    // Tracking off, no curve, the compass hidden, auto-picking and both gates on.
    OivWinCurveViewer(HWND parent = NULL, const char* name = NULL, SbBool buildInsideParent = 1,
                      SoWinFullViewer::BuildFlag flag = SoWinFullViewer::BUILD_ALL,
                      SoWinViewer::Type type = SoWinViewer::BROWSER);
    // Takes the compass out of the scene; a pending camera placement after a seek never comes.
    ~OivWinCurveViewer() override;

    OivWinCurveViewer(const OivWinCurveViewer&) = delete;
    OivWinCurveViewer& operator=(const OivWinCurveViewer&) = delete;

    // ---- The tracking curve and point

    // Makes points[startIndex] .. points[startIndex + numPoints - 1], in the object space of
    // `matrix`, the curve (resampled into about numPoints + 1000 points) and the transformed
    // `initialPoint` (not snapped) the tracking point; notifies curve, then point; then places
    // the camera if asked. Shows the compass, tracking on or not. With numPoints < 1, no points
    // or a negative startIndex nothing changes.
    void setTrackingCurve(int startIndex, int numPoints, const SbVec3f* points,
                          const SbVec3f& initialPoint, const SbMatrix& matrix, bool adjustCamera);
    // The same with points in world space, resampled into about numPoints + 100 points.
    void setTrackingCurve(int startIndex, int numPoints, const SbVec3f* points,
                          const SbVec3f& initialPoint, bool adjustCamera);

    // Makes `point` (world space, not snapped) the tracking point, notifies the curve list when
    // `curveChanged`, always the point list (also when the point stays), then places the camera
    // if asked. Works whether tracking is on or not. A point that is not finite leaves the
    // tracking point where it was; the notifications and the camera placement still follow.
    void updateTrackingPoint(const SbVec3f& point, bool adjustCamera, bool curveChanged);
    // `point` in the object space of `matrix`; the curve list is not notified.
    void updateTrackingPoint(const SbVec3f& point, const SbMatrix& matrix, bool adjustCamera);
    // `point` in the tracking node's object space; the camera always follows.
    void updateTrackingPointInTrackingNodeSpace(const SbVec3f& point);

    // The tracking point in the tracking node's object space, and in the object space of `node`
    // as found first in the scene graph ((-999.25, -999.25, -999.25) when it is not there). The
    // reference is to a vector of the viewer, valid until the next call of the same query.
    SbVec3f& getTrackingPointInTrackingNodeSpace();
    SbVec3f& getTrackingPointInObjectSpace(SoNode* node);

    // The tracking point in world space.
    SbVec3f& getTrackingPoint() { return m_TrackingPoint; }
    // The input points in world space (null without a curve); n is not checked.
    SbVec3f* getTrackingCurve() { return m_Curve.getInputPoints(); }
    SbVec3f& getNthPointOnInputTrackingCurve(int n) { return m_Curve.getInputPoints()[n]; }
    int getNumPointsOfInputTrackingCurve() { return m_Curve.getNumInputPoints(); }
    bool isTrackingCurveDefined() { return m_Curve.isDefined(); }
    // The resampled curve the drags snap to (world space), while a curve is defined.
    const SbVec3f* getResampledTrackingCurve() const { return m_Curve.getResampledPoints(); }
    int getNumResampledPoints() const { return m_Curve.getNumResampledPoints(); }

    // Part of the view (normalised screen units) the compass's half axis covers, before the
    // compass size is held between 20 and 100 world units. 0.05 by default.
    float getTrackingObjectScale() { return m_TrackingObjectScale; }
    void setTrackingObjectScale(float scale);

    // Each list calls its pairs in the order they were added; a null function is not added.
    void addTrackingPointChangedCallback(TrackingCallback* function, void* userData);
    void removeTrackingPointChangedCallback(TrackingCallback* function, void* userData);
    void addTrackingCurveChangedCallback(TrackingCallback* function, void* userData);
    void removeTrackingCurveChangedCallback(TrackingCallback* function, void* userData);
    void addPreTrackingCurveChangedCallback(TrackingCallback* function, void* userData);
    void removePreTrackingCurveChangedCallback(TrackingCallback* function, void* userData);

    // The curve gate also silences the pre-tracking list.
    void enableTrackingCurveChangedCallback() { m_Notifier.setCurveGate(true); }
    void disableTrackingCurveChangedCallback() { m_Notifier.setCurveGate(false); }
    bool isTrackingCurveChangedCallbackEnabled() { return m_Notifier.isCurveGateOpen(); }
    void enableTrackingPointChangedCallback() { m_Notifier.setPointGate(true); }
    void disableTrackingPointChangedCallback() { m_Notifier.setPointGate(false); }
    bool isTrackingPointChangedCallbackEnabled() { return m_Notifier.isPointGateOpen(); }

    // ---- Curves from nodes

    // Installs polyline `lineIndex` of `node`, or of the last line set under it, with the
    // node's object-to-world matrix; the tracking point starts at the polyline's first point and
    // the camera moves there. Nothing happens for a null node, one without a line set, or one
    // not in the scene graph. getTrackingNode() then returns `node` itself.
    void setTrackingNode(SoNode* node, int lineIndex);
    // Accepts the shape of the last pick made with auto-picking off: installs its polyline 0 and
    // moves the tracking point (and the camera) to the picked point.
    void validatePreTrackingNode();
    // With auto-picking on (the default) a pick installs the picked curve at once; with it off a
    // pick is only recorded (getPreTrackingNode) and reported.
    bool isAutoPickingTrackingNode() { return m_Picker.isAutoPicking(); }
    void setAutoPickingTrackingNode(bool on) { m_Picker.setAutoPicking(on); }
    bool isTrackingNodeDefined() { return m_Picker.getTrackingNode() != nullptr; }
    // Neither node is referenced: the scene keeps them alive. Each is forgotten (null) once it is
    // deleted or setSceneGraph gives the viewer another scene.
    SoNode* getTrackingNode() { return m_Picker.getTrackingNode(); }
    SoNode* getPreTrackingNode() { return m_Picker.getPreTrackingNode(); }

    // ---- Tracking

    // Shows the compass if there is a curve; with a curve the camera jumps to the tracking
    // point, without one the focal point becomes the tracking point. Saves the home position.
    void enableTracking();
    // Hides the compass; with `clearCurve` also forgets the curve, the node and the point. The
    // camera stays.
    void disableTracking(bool clearCurve);
    // What the tracking button does: off discarding the curve, or on.
    void toggleTracking();
    bool isTrackingEnabled() { return m_TrackingEnabled; }

    // Moves the camera so that it looks at the tracking point from its current direction and
    // distance, resizes the compass and saves the home position.
    void adjustCameraToTrackingPoint();

    // Moves the compass next to the scene's camera (two children after it), so that it is seen
    // through that camera, and views all; with tracking on, re-places camera or point first.
    void setSceneGraph(SoNode* scene) override;
    // Frames the 3D content, then, with tracking on, centres the view on the tracking point,
    // backing off by twice the distance between the framed centre and the point.
    void viewAll(void) override;
    // With tracking on the tracking point is saved and reset with the camera.
    void saveHomePosition(void) override;
    void resetToHomePosition(void) override;
    // Also shows picking mode on the tracking button.
    void setViewing(SbBool viewing) override;

protected:
    void processEvent(MSG* msg) override;
    // Id 9 toggles tracking; 0 to 7 are the examiner's; others do nothing.
    void pushButtonCB(HWND hwnd, int id, void* data) override;
    // The examiner's buttons, then the tracking button.
    void createViewerButtons(HWND parent) override;
    void rightWheelMotion(float value) override;

    void resetToHomeTrackingPoint();
    // Holds the compass's arms between 20 and 100 world units, after the view.
    void scaleTrackingCompass();
    // The compass geometry: its axes, without placement and colour.
    SoNode* getTrackingCompassNode();

    // Picks at `position` (viewport pixels, origin bottom left) within 4 pixels in `root`; a pipe
    // or a line set hit is recorded and reported, and with auto-picking installed as the curve
    // with the tracking point at the hit point. True when a curve was installed.
    bool getTrackingInfoFromPickedNode(SoNode* root, const SbViewportRegion& region,
                                       const SbVec2s& position, bool adjustCamera);

private:
    // Navigation and messages.
    void processSeekEvent(MSG* msg);
    void processUnSeekEvent(MSG* msg);
    void snapToCurve(void);
    SbVec2s pickingPosition(const MSG* msg) const;
    SbBool pickAt(const MSG* msg, bool adjustCamera);
    static SbBool eventCB(void* userData, MSG* msg);
    // A scene event handler for SoEventCallback nodes: a press picks with a camera move. The
    // library registers it nowhere; a host may.
    static void mousePressCB(void* userData, SoEventCallback* callback);
    static void seekArrivedCB(void* data, SoSensor* sensor);
    void showTrackingBitmap(void);

    // The tracking curve and point.
    void installCurve(int startIndex, int numPoints, const SbVec3f* points,
                      const SbVec3f& initialPoint, const SbMatrix* matrix, bool adjustCamera);
    void forgetCurve(void);
    void moveTrackingPoint(const SbVec3f& point);
    void notifyTrackingPointChanged(void);

    // The tracking button; the window it was made in.
    std::unique_ptr<SoWinBitmapButton> m_TrackingButton;
    HWND m_ButtonParentWindow;
    bool m_TrackingEnabled;
    // The tracking point, world space, and the one saved with the home position.
    SbVec3f m_TrackingPoint;
    SbVec3f m_HomeTrackingPoint;
    float m_TrackingObjectScale;
    // What the two space-conversion queries return references to.
    SbVec3f m_TrackingPointInNodeSpace;
    SbVec3f m_TrackingPointInObjectSpace;

    OivTrackingCompass m_Compass;
    OivTrackingCurve m_Curve;
    OivTrackingNotifier m_Notifier;
    OivTrackingPicker m_Picker;
    // Places the camera on the tracking point once a seek has arrived; one per viewer. It goes
    // with the viewer, unscheduled: a seek still on its way then calls nobody back.
    SoAlarmSensor m_SeekArrivalSensor;
};

#endif // OIVWINTAV_OIVWINCURVEVIEWER_H
