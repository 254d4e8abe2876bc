#include "viewers/OivWinCurveViewer.h"

#include "tav/OivOnTopSeparator.h"

#include <Inventor/Win/widgets/SoWinBitmapButton.h>
#include <Inventor/nodes/SoSeparator.h>

#include <cmath>

namespace {

constexpr float kDefaultTrackingObjectScale = 0.05f;

// What a space-conversion query gives for a node it cannot find.
const SbVec3f kNotFound(-999.25f, -999.25f, -999.25f);

bool isFinite(const SbVec3f& point) {
    return std::isfinite(point[0]) && std::isfinite(point[1]) && std::isfinite(point[2]);
}

SoCallbackListCB* asListCallback(OivWinCurveViewer::TrackingCallback* function) {
    return reinterpret_cast<SoCallbackListCB*>(function);
}

} // namespace

OivWinCurveViewer::OivWinCurveViewer(HWND parent, const char* name, SbBool buildInsideParent,
                                     SoWinFullViewer::BuildFlag flag, SoWinViewer::Type type)
    : inherited(parent, name, buildInsideParent, flag, type, FALSE), m_ButtonParentWindow(nullptr),
      m_TrackingEnabled(false), m_TrackingPoint(0, 0, 0), m_HomeTrackingPoint(0, 0, 0),
      m_TrackingObjectScale(kDefaultTrackingObjectScale), m_TrackingPointInNodeSpace(kNotFound),
      m_TrackingPointInObjectSpace(kNotFound),
      // Drawn over the scene, translucent shapes included: the point the camera follows is seen
      // inside a pipe or under the ground too.
      m_Compass(new OivOnTopSeparator), m_Picker(*this, m_Notifier),
      m_SeekArrivalSensor(&OivWinCurveViewer::seekArrivedCB, this) {
    m_Compass.placeIn(getInternalRoot(), -1);
    setEventCallback(&OivWinCurveViewer::eventCB, this);
    // Built last, so that the SDK's call of createViewerButtons reaches this class.
    setBaseWidget(buildWidget(getParentWidget()));
}

OivWinCurveViewer::~OivWinCurveViewer() {
    setEventCallback(nullptr, nullptr);
    if (m_TrackingButton) {
        // The full viewer lays out what its list names; the window goes with the button.
        const int listed = viewerButtonWidgets->find(m_TrackingButton->getWidget());
        if (listed >= 0)
            viewerButtonWidgets->remove(listed);
        m_TrackingButton.reset();
    }
}

// ---- The tracking curve and point
// ---------------------------------------------------------------

void OivWinCurveViewer::setTrackingCurve(int startIndex, int numPoints, const SbVec3f* points,
                                         const SbVec3f& initialPoint, const SbMatrix& matrix,
                                         bool adjustCamera) {
    installCurve(startIndex, numPoints, points, initialPoint, &matrix, adjustCamera);
}

void OivWinCurveViewer::setTrackingCurve(int startIndex, int numPoints, const SbVec3f* points,
                                         const SbVec3f& initialPoint, bool adjustCamera) {
    installCurve(startIndex, numPoints, points, initialPoint, nullptr, adjustCamera);
}

void OivWinCurveViewer::installCurve(int startIndex, int numPoints, const SbVec3f* points,
                                     const SbVec3f& initialPoint, const SbMatrix* matrix,
                                     bool adjustCamera) {
    // A curve has a first point; without one the present curve stays.
    if (numPoints < 1 || !points || startIndex < 0)
        return;
    m_Compass.setVisible(true);
    m_Curve.set(points + startIndex, numPoints, matrix);
    SbVec3f initial = initialPoint;
    if (matrix)
        matrix->multVecMatrix(initialPoint, initial);
    updateTrackingPoint(initial, adjustCamera, true);
}

void OivWinCurveViewer::forgetCurve(void) {
    m_Curve.clear();
    m_TrackingPoint.setValue(0.0f, 0.0f, 0.0f);
    m_Picker.forgetTrackingNode();
}

void OivWinCurveViewer::moveTrackingPoint(const SbVec3f& point) {
    m_TrackingPoint = point;
    m_Compass.moveTo(point);
}

void OivWinCurveViewer::notifyTrackingPointChanged(void) {
    m_Notifier.notify(OivTrackingNotifier::POINT_CHANGED, this);
}

void OivWinCurveViewer::updateTrackingPoint(const SbVec3f& point, bool adjustCamera,
                                            bool curveChanged) {
    // A point that is not finite would take the camera, and every later view, with it to nowhere.
    if (isFinite(point))
        moveTrackingPoint(point);
    if (curveChanged)
        m_Notifier.notify(OivTrackingNotifier::CURVE_CHANGED, this);
    notifyTrackingPointChanged();
    if (adjustCamera)
        adjustCameraToTrackingPoint();
}

void OivWinCurveViewer::updateTrackingPoint(const SbVec3f& point, const SbMatrix& matrix,
                                            bool adjustCamera) {
    SbVec3f world;
    matrix.multVecMatrix(point, world);
    updateTrackingPoint(world, adjustCamera, false);
}

void OivWinCurveViewer::updateTrackingPointInTrackingNodeSpace(const SbVec3f& point) {
    updateTrackingPoint(point, m_Picker.getTrackingNodeMatrix(), true);
}

SbVec3f& OivWinCurveViewer::getTrackingPointInTrackingNodeSpace() {
    m_Picker.getTrackingNodeMatrix().inverse().multVecMatrix(m_TrackingPoint,
                                                             m_TrackingPointInNodeSpace);
    return m_TrackingPointInNodeSpace;
}

SbVec3f& OivWinCurveViewer::getTrackingPointInObjectSpace(SoNode* node) {
    m_TrackingPointInObjectSpace = kNotFound;
    SbMatrix objectToWorld;
    if (m_Picker.getObjectToWorld(node, objectToWorld))
        objectToWorld.inverse().multVecMatrix(m_TrackingPoint, m_TrackingPointInObjectSpace);
    return m_TrackingPointInObjectSpace;
}

void OivWinCurveViewer::setTrackingObjectScale(float scale) {
    m_TrackingObjectScale = scale;
    scaleTrackingCompass();
}

SoNode* OivWinCurveViewer::getTrackingCompassNode() {
    return m_Compass.getGeometry();
}

// ---- Notifications
// ------------------------------------------------------------------------------

void OivWinCurveViewer::addTrackingPointChangedCallback(TrackingCallback* function,
                                                        void* userData) {
    m_Notifier.add(OivTrackingNotifier::POINT_CHANGED, asListCallback(function), userData);
}

void OivWinCurveViewer::removeTrackingPointChangedCallback(TrackingCallback* function,
                                                           void* userData) {
    m_Notifier.remove(OivTrackingNotifier::POINT_CHANGED, asListCallback(function), userData);
}

void OivWinCurveViewer::addTrackingCurveChangedCallback(TrackingCallback* function,
                                                        void* userData) {
    m_Notifier.add(OivTrackingNotifier::CURVE_CHANGED, asListCallback(function), userData);
}

void OivWinCurveViewer::removeTrackingCurveChangedCallback(TrackingCallback* function,
                                                           void* userData) {
    m_Notifier.remove(OivTrackingNotifier::CURVE_CHANGED, asListCallback(function), userData);
}

void OivWinCurveViewer::addPreTrackingCurveChangedCallback(TrackingCallback* function,
                                                           void* userData) {
    m_Notifier.add(OivTrackingNotifier::PRE_TRACKING_CURVE_CHANGED, asListCallback(function),
                   userData);
}

void OivWinCurveViewer::removePreTrackingCurveChangedCallback(TrackingCallback* function,
                                                              void* userData) {
    m_Notifier.remove(OivTrackingNotifier::PRE_TRACKING_CURVE_CHANGED, asListCallback(function),
                      userData);
}

// ---- Curves from nodes
// --------------------------------------------------------------------------

bool OivWinCurveViewer::getTrackingInfoFromPickedNode(SoNode* root, const SbViewportRegion& region,
                                                      const SbVec2s& position, bool adjustCamera) {
    return m_Picker.pick(root, region, position, adjustCamera);
}

void OivWinCurveViewer::setTrackingNode(SoNode* node, int lineIndex) {
    m_Picker.setTrackingNode(node, lineIndex);
}

void OivWinCurveViewer::validatePreTrackingNode() {
    m_Picker.validatePreTrackingNode();
}
