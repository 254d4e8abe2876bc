// The curve viewer's navigation: tracking switched on and off, the camera placed on the tracking
// point, view all and the home position, the tracking button, and the messages that move the
// tracking point along the curve.
#include "viewers/OivWinCurveViewer.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/widgets/SoWinBitmapButton.h>
#include <Inventor/actions/SoHandleEventAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/events/SoMouseButtonEvent.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoEventCallback.h>
#include <Inventor/nodes/SoSeparator.h>

#include <cstdint>

namespace {

// The module whose bitmap resources hold the tracking button's pictures.
constexpr const char* kResourceModule = "OivWinTav.dll";

// The camera is placed on the tracking point this long after the seek animation should end.
constexpr double kSeekArrivalDelay = 0.5;

// The direction the camera looks in: its rotated -Z axis.
SbVec3f viewingDirection(const SoCamera& camera) {
    SbMatrix rotation;
    rotation.setRotate(camera.orientation.getValue());
    return -SbVec3f(rotation[2][0], rotation[2][1], rotation[2][2]);
}

SbVec3f focalPointOf(const SoCamera& camera) {
    return camera.position.getValue() + viewingDirection(camera) * camera.focalDistance.getValue();
}

// Puts the camera `distance` back from `point` along its line of sight.
void lookAt(SoCamera& camera, const SbVec3f& point, float distance) {
    camera.position.setValue(point - viewingDirection(camera) * distance);
}

} // namespace

// ---- Tracking
// -----------------------------------------------------------------------------------

void OivWinCurveViewer::enableTracking() {
    m_TrackingEnabled = true;
    if (m_Curve.isDefined())
        m_Compass.setVisible(true);
    showTrackingBitmap();
    SoCamera* camera = getCamera();
    if (!camera)
        return;
    if (m_Curve.isDefined())
        lookAt(*camera, m_TrackingPoint, camera->focalDistance.getValue());
    else
        moveTrackingPoint(focalPointOf(*camera));
    scaleTrackingCompass();
    saveHomePosition();
}

void OivWinCurveViewer::disableTracking(bool clearCurve) {
    m_TrackingEnabled = false;
    showTrackingBitmap();
    m_Compass.setVisible(false);
    if (clearCurve && m_Curve.isDefined())
        forgetCurve();
}

void OivWinCurveViewer::toggleTracking() {
    if (m_TrackingEnabled)
        disableTracking(true);
    else
        enableTracking();
}

void OivWinCurveViewer::scaleTrackingCompass() {
    if (SoCamera* camera = getCamera())
        m_Compass.scaleFor(*camera, m_TrackingPoint, m_TrackingObjectScale);
}

// ---- The camera
// ---------------------------------------------------------------------------------

void OivWinCurveViewer::adjustCameraToTrackingPoint() {
    SoCamera* camera = getCamera();
    if (!camera)
        return;
    lookAt(*camera, m_TrackingPoint, camera->focalDistance.getValue());
    scaleTrackingCompass();
    saveHomePosition();
}

void OivWinCurveViewer::setSceneGraph(SoNode* scene) {
    if (scene != getSceneGraph())
        m_Picker.forgetNodes();
    // The compass never stays behind in a scene the viewer leaves.
    m_Compass.placeIn(getInternalRoot(), -1);
    inherited::setSceneGraph(scene);
    if (m_TrackingEnabled)
        enableTracking();
    SoCamera* camera = getCamera();
    if (!scene || !camera)
        return;
    SoSearchAction search;
    search.setNode(camera);
    search.setSearchingAll(FALSE);
    search.apply(getSceneGraph());
    SoPath* path = search.getPath();
    if (!path)
        return;
    // Next to the camera, the compass is drawn through it.
    if (path->getLength() > 1) {
        auto* parent = static_cast<SoGroup*>(path->getNodeFromTail(1));
        m_Compass.placeIn(parent, parent->findChild(camera) + 2);
    }
    viewAll();
}

void OivWinCurveViewer::viewAll(void) {
    inherited::viewAll();
    SoCamera* camera = getCamera();
    if (!m_TrackingEnabled || !camera)
        return;
    const float distance = (focalPointOf(*camera) - m_TrackingPoint).length();
    const float focalDistance = 2.0f * distance + camera->focalDistance.getValue();
    lookAt(*camera, m_TrackingPoint, focalDistance);
    camera->focalDistance.setValue(focalDistance);
    scaleTrackingCompass();
}

void OivWinCurveViewer::saveHomePosition(void) {
    if (m_TrackingEnabled)
        m_HomeTrackingPoint = m_TrackingPoint;
    SoWinViewer::saveHomePosition();
}

void OivWinCurveViewer::resetToHomePosition(void) {
    SoWinExaminerViewer::resetToHomePosition();
    if (m_TrackingEnabled)
        resetToHomeTrackingPoint();
}

void OivWinCurveViewer::resetToHomeTrackingPoint() {
    moveTrackingPoint(m_HomeTrackingPoint);
    notifyTrackingPointChanged();
    scaleTrackingCompass();
}

void OivWinCurveViewer::setViewing(SbBool viewing) {
    inherited::setViewing(viewing);
    if (m_TrackingButton)
        m_TrackingButton->select(!isViewing());
}

// ---- Buttons
// ------------------------------------------------------------------------------------

void OivWinCurveViewer::showTrackingBitmap(void) {
    if (m_TrackingButton)
        m_TrackingButton->setBitmap(GetModuleHandleA(kResourceModule),
                                    m_TrackingEnabled ? IDB_TRACKING_ON : IDB_TRACKING_OFF);
}

void OivWinCurveViewer::createViewerButtons(HWND parent) {
    inherited::createViewerButtons(parent);
    m_ButtonParentWindow = parent;
    m_TrackingButton = std::make_unique<SoWinBitmapButton>(parent, 0);
    m_TrackingButton->showFocus(0);
    // The SDK's button handling routes a click through these to pushButtonCB.
    HWND window = m_TrackingButton->getWidget();
    SetPropA(window, SoWinBitmapButton::kViewerProperty,
             static_cast<HANDLE>(static_cast<SoWinFullViewer*>(this)));
    SetPropA(window, SoWinBitmapButton::kIdProperty,
             reinterpret_cast<HANDLE>(intptr_t(TRACKING_BUTTON_ID)));
    SetPropA(window, SoWinBitmapButton::kButtonProperty,
             static_cast<HANDLE>(m_TrackingButton.get()));
    viewerButtonWidgets->append(window);
    showTrackingBitmap();
}

void OivWinCurveViewer::pushButtonCB(HWND hwnd, int id, void*) {
    if (id <= SEEK_BUTTON)
        SoWinFullViewer::pushButtonCB(hwnd, id, nullptr);
    else if (id == CAMERA_TYPE_BUTTON)
        SoWinExaminerViewer::pushButtonCB(hwnd, id, nullptr);
    else if (id == TRACKING_BUTTON_ID)
        toggleTracking();
}

void OivWinCurveViewer::rightWheelMotion(float value) {
    inherited::rightWheelMotion(value);
    scaleTrackingCompass();
}

// ---- Messages
// -----------------------------------------------------------------------------------

SbVec2s OivWinCurveViewer::pickingPosition(const MSG* msg) const {
    // The message's point is in screen coordinates; picking wants the drawing window's pixels
    // with the origin at the bottom left, rounded as the SDK's own seek rounds them.
    POINT point = msg->pt;
    ScreenToClient(msg->hwnd ? msg->hwnd : getNormalWidget(), &point);
    return SbVec2s(short(point.x), short(getGlxSize()[1] - 1 - point.y));
}

SbBool OivWinCurveViewer::pickAt(const MSG* msg, bool adjustCamera) {
    SoSceneManager* manager = getSceneManager();
    return getTrackingInfoFromPickedNode(manager->getSceneGraph(),
                                         manager->getGLRenderAction()->getViewportRegion(),
                                         pickingPosition(msg), adjustCamera);
}

void OivWinCurveViewer::processEvent(MSG* msg) {
    if (!msg)
        return;
    if (m_TrackingEnabled && isSeekMode())
        processSeekEvent(msg);
    else
        processUnSeekEvent(msg);
}

void OivWinCurveViewer::processSeekEvent(MSG* msg) {
    // While seeking only a click counts; the rest would move the camera off its way.
    if (msg->message != WM_LBUTTONDOWN && msg->message != WM_MBUTTONDOWN)
        return;
    if (!pickAt(msg, false)) {
        setSeekMode(FALSE);
        return;
    }
    inherited::processEvent(msg);
    // A later seek click postpones the placement; there is only ever one pending.
    m_SeekArrivalSensor.unschedule();
    m_SeekArrivalSensor.setTimeFromNow(SbTime(double(getSeekTime()) + kSeekArrivalDelay));
    m_SeekArrivalSensor.schedule();
}

void OivWinCurveViewer::seekArrivedCB(void* data, SoSensor*) {
    static_cast<OivWinCurveViewer*>(data)->adjustCameraToTrackingPoint();
}

void OivWinCurveViewer::processUnSeekEvent(MSG* msg) {
    inherited::processEvent(msg);
    if (!m_TrackingEnabled)
        return;
    scaleTrackingCompass();
    // The buttons held are the ones the move itself reports: a release this viewer never saw (one
    // that came while tracking was off, or went to another window) holds nothing down.
    const WPARAM keys = msg->wParam;
    const bool panning =
        (keys & MK_MBUTTON) != 0 || ((keys & MK_LBUTTON) && (keys & (MK_SHIFT | MK_CONTROL)));
    if (msg->message == WM_MOUSEMOVE && panning)
        snapToCurve();
}

void OivWinCurveViewer::snapToCurve(void) {
    SoCamera* camera = getCamera();
    if (!camera)
        return;
    const SbVec3f* nearest = m_Curve.findNearest(focalPointOf(*camera));
    if (nearest && *nearest != m_TrackingPoint) {
        moveTrackingPoint(*nearest);
        notifyTrackingPointChanged();
    }
    lookAt(*camera, m_TrackingPoint, camera->focalDistance.getValue());
}

SbBool OivWinCurveViewer::eventCB(void* userData, MSG* msg) {
    auto* viewer = static_cast<OivWinCurveViewer*>(userData);
    // In seek mode the click belongs to the seek, which picks for itself.
    if (!viewer || !msg || !viewer->m_TrackingEnabled || viewer->isViewing() ||
        viewer->isSeekMode())
        return FALSE;
    if (msg->message == WM_LBUTTONDOWN && !(msg->wParam & MK_SHIFT))
        viewer->pickAt(msg, true);
    // The click goes on to the viewer and the scene as well.
    return FALSE;
}

void OivWinCurveViewer::mousePressCB(void* userData, SoEventCallback* callback) {
    auto* viewer = static_cast<OivWinCurveViewer*>(userData);
    if (!viewer || !viewer->m_TrackingEnabled)
        return;
    const SoEvent* event = callback->getEvent();
    if (!SoMouseButtonEvent::isButtonPressEvent(event, SoMouseButtonEvent::ANY))
        return;
    const SbViewportRegion& region = callback->getAction()->getViewportRegion();
    viewer->getTrackingInfoFromPickedNode(viewer->getSceneManager()->getSceneGraph(), region,
                                          event->getPosition(region), true);
    callback->setHandled();
}
