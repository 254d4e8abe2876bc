#include "video/OivVideoFlight.h"

#include "viewers/OivWinCurveViewer.h"

#include <Inventor/nodes/SoCamera.h>

namespace {

SoCamera* copyOf(SoCamera* camera) {
    auto* copy = static_cast<SoCamera*>(camera->copy());
    copy->ref();
    return copy;
}

bool isButtonRelease(UINT message) {
    return message == WM_LBUTTONUP || message == WM_MBUTTONUP || message == WM_RBUTTONUP;
}

} // namespace

OivVideoFlight::OivVideoFlight(OivWinCurveViewer* viewer)
    : m_Viewer(viewer), m_Camera(viewer->getCamera()), m_Saved(nullptr), m_HomeCamera(nullptr),
      m_SavedPoint(viewer->getTrackingPoint()), m_HomePoint(m_SavedPoint),
      m_EventCallback(viewer->getEventCallback(&m_EventCallbackData)) {
    m_Camera->ref();
    m_Saved = copyOf(m_Camera);
    noteHomePosition();
    m_Viewer->setEventCallback(&OivVideoFlight::holdInputCB, this);
}

OivVideoFlight::~OivVideoFlight() {
    m_Viewer->setEventCallback(m_EventCallback, m_EventCallbackData);
    restoreHomePosition();
    m_Camera->copyFieldValues(m_Saved);
    m_Viewer->updateTrackingPoint(m_SavedPoint, false, false);
    // The compass's size follows the camera, which moved back without the viewer's help.
    m_Viewer->setTrackingObjectScale(m_Viewer->getTrackingObjectScale());
    m_HomeCamera->unref();
    m_Saved->unref();
    m_Camera->unref();
}

void OivVideoFlight::moveTo(const SbVec3f& point) {
    m_Viewer->updateTrackingPoint(point, true, false);
}

// The viewer keeps its home position to itself: going home shows it. Every placement on the
// tracking point during the flight will save a new one.
void OivVideoFlight::noteHomePosition() {
    const bool notifying = m_Viewer->isTrackingPointChangedCallbackEnabled();
    m_Viewer->disableTrackingPointChangedCallback();
    m_Viewer->resetToHomePosition();
    m_HomeCamera = copyOf(m_Camera);
    m_HomePoint = m_Viewer->getTrackingPoint();
    setQuietly(m_Saved, m_SavedPoint);
    if (notifying)
        m_Viewer->enableTrackingPointChangedCallback();
}

void OivVideoFlight::restoreHomePosition() {
    const bool notifying = m_Viewer->isTrackingPointChangedCallbackEnabled();
    m_Viewer->disableTrackingPointChangedCallback();
    setQuietly(m_HomeCamera, m_HomePoint);
    m_Viewer->saveHomePosition();
    if (notifying)
        m_Viewer->enableTrackingPointChangedCallback();
}

void OivVideoFlight::setQuietly(const SoCamera* camera, const SbVec3f& point) {
    m_Camera->copyFieldValues(camera);
    m_Viewer->updateTrackingPoint(point, false, false);
}

SbBool OivVideoFlight::holdInputCB(void* userData, MSG* msg) {
    auto* flight = static_cast<OivVideoFlight*>(userData);
    if (!isButtonRelease(msg->message))
        return TRUE;
    return flight->m_EventCallback && flight->m_EventCallback(flight->m_EventCallbackData, msg);
}
