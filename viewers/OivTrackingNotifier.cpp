#include "viewers/OivTrackingNotifier.h"

void OivTrackingNotifier::add(Event event, SoCallbackListCB* function, void* userData) {
    if (function)
        m_Lists[event].addCallback(function, userData);
}

void OivTrackingNotifier::remove(Event event, SoCallbackListCB* function, void* userData) {
    m_Lists[event].removeCallback(function, userData);
}

void OivTrackingNotifier::notify(Event event, void* viewer) {
    if (isOpen(event))
        m_Lists[event].invokeCallbacks(viewer);
}

bool OivTrackingNotifier::isOpen(Event event) const {
    return event == POINT_CHANGED ? m_PointGateOpen : m_CurveGateOpen;
}
