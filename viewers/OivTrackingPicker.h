// How a curve viewer takes its tracking curve from a shape: a pipe of the companion library, an
// SoLineSet or an SoIndexedLineSet, hit by a click or named by the host. A recognised pick is
// recorded as the pre-tracking node and reported on the viewer's pre-tracking list; with
// auto-picking on (the default) its polyline is installed at once with the shape's
// object-to-world matrix, with it off the host accepts the pick later.
//
// Neither the tracking nor the pre-tracking node is referenced: the scene keeps them alive (hosts
// rely on their reference counts). Each is watched instead, and forgotten when it is deleted, so
// that nothing reads one after it is gone.
//
// Not copyable: the watches call back the picker they belong to.
#ifndef OIVWINTAV_OIVTRACKINGPICKER_H
#define OIVWINTAV_OIVTRACKINGPICKER_H

#include <Inventor/SbMatrix.h>
#include <Inventor/SbVec2s.h>
#include <Inventor/SbVec3f.h>
#include <Inventor/sensors/SoNodeSensor.h>

#include <vector>

class OivTrackingNotifier;
class OivWinCurveViewer;
class SbViewportRegion;
class SoNode;
class SoPath;
class SoPickedPoint;
class SoSearchAction;

class OivTrackingPicker {
public:
    // Installs curves on `viewer` and reports picks through `notifier`; both outlive the picker.
    OivTrackingPicker(OivWinCurveViewer& viewer, OivTrackingNotifier& notifier);

    OivTrackingPicker(const OivTrackingPicker&) = delete;
    OivTrackingPicker& operator=(const OivTrackingPicker&) = delete;

    // Picks at `position` (viewport pixels, origin bottom left) within 4 pixels in `root`; a pipe
    // or a line set hit is recorded and reported, and with auto-picking installed as the curve
    // with the tracking point at the hit point. True when a curve was installed.
    bool pick(SoNode* root, const SbViewportRegion& region, const SbVec2s& position,
              bool adjustCamera);

    // Installs polyline `lineIndex` of `node`, or of the last line set under it, with the node's
    // object-to-world matrix in the viewer's scene; the tracking point starts at the polyline's
    // first point and the camera moves there. Nothing happens for a null node, one without a
    // line set, or one not in the viewer's scene.
    void setTrackingNode(SoNode* node, int lineIndex);
    // Installs polyline 0 of the pre-tracking node and moves the tracking point (and the camera)
    // to the point where it was picked; then forgets the pre-tracking node.
    void validatePreTrackingNode(void);

    // Forgets the node the curve came from; forgetNodes also forgets the pre-tracking node.
    void forgetTrackingNode(void) { rememberTrackingNode(nullptr); }
    void forgetNodes(void);

    // The object-to-world matrix of the first path to `node` in the viewer's scene; false, with
    // `matrix` unchanged, when the node is not there.
    bool getObjectToWorld(SoNode* node, SbMatrix& matrix) const;

    // Whether a recognised pick installs its curve at once.
    bool isAutoPicking(void) const { return m_AutoPicking; }
    void setAutoPicking(bool on) { m_AutoPicking = on; }
    // The node the curve came from, and the shape of the last recognised pick; null when none.
    SoNode* getTrackingNode(void) const { return m_TrackingNode; }
    SoNode* getPreTrackingNode(void) const { return m_PreTrackingNode; }
    // The object-to-world matrix of the shape the last curve from a node came from.
    const SbMatrix& getTrackingNodeMatrix(void) const { return m_TrackingNodeMatrix; }

private:
    bool pickPipe(const SoPickedPoint& picked, SoNode* pipe, bool adjustCamera);
    bool pickLineSet(const SoPickedPoint& picked, SoNode* hit, bool adjustCamera);
    void recordPreTracking(SoNode* node, const SbVec3f& objectPoint);
    bool installNodeCurve(SoNode* trackingNode, const std::vector<SbVec3f>& points,
                          const SbVec3f& initialPoint, const SbMatrix& matrix, bool adjustCamera);
    SoPath* findInScene(SoNode* node, SoSearchAction& search) const;
    SbMatrix objectToWorld(SoPath* path) const;

    void rememberTrackingNode(SoNode* node);
    void rememberPreTrackingNode(SoNode* node);
    static void watch(SoNodeSensor& watch, SoNode* node);
    static void nodeChangedCB(void* data, SoSensor* sensor);
    static void trackingNodeDeletedCB(void* data, SoSensor* sensor);
    static void preTrackingNodeDeletedCB(void* data, SoSensor* sensor);

    OivWinCurveViewer& m_Viewer;
    OivTrackingNotifier& m_Notifier;
    bool m_AutoPicking;
    SoNode* m_TrackingNode;
    SbMatrix m_TrackingNodeMatrix;
    SoNode* m_PreTrackingNode;
    // The picked point in the pre-tracking node's object space.
    SbVec3f m_PreTrackingPoint;
    SoNodeSensor m_TrackingNodeWatch;
    SoNodeSensor m_PreTrackingNodeWatch;
};

#endif // OIVWINTAV_OIVTRACKINGPICKER_H
