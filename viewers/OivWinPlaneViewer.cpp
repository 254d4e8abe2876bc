#include "viewers/OivWinPlaneViewer.h"

#include <Inventor/nodes/SoCamera.h>

namespace {

// Height factor per seek step of an orthographic camera (single-precision bits 0x3F7C28F6).
constexpr float kSeekHeightFactor = 0.985f;

} // namespace

OivWinPlaneViewer::OivWinPlaneViewer(HWND parent, const char* name, SbBool buildInsideParent,
                                     SoWinFullViewer::BuildFlag flag, SoWinViewer::Type type)
    : inherited(parent, name, buildInsideParent, flag, type) {}

OivWinPlaneViewer::~OivWinPlaneViewer() = default;

void OivWinPlaneViewer::setSeekMode(SbBool on) {
    inherited::setSeekMode(on);
}

void OivWinPlaneViewer::setViewing(SbBool on) {
    inherited::setViewing(on);
    if (m_ViewingModeChangeCB)
        m_ViewingModeChangeCB(m_ViewingModeChangeData, this);
}

void OivWinPlaneViewer::viewAll(void) {
    if (!OivWinViewerSupport::viewMain3DRoot(*this))
        SoWinViewer::viewAll();
}

void OivWinPlaneViewer::toggleCameraType(void) {
    SoWinViewer::toggleCameraType();
}

void OivWinPlaneViewer::setViewingModeChangeCallback(OivWinViewerCB* function, void* userData) {
    m_ViewingModeChangeCB = function;
    m_ViewingModeChangeData = userData;
}

void OivWinPlaneViewer::interpolateSeekAnimation(float t) {
    SoCamera* camera = getCamera();
    if (!camera)
        return;
    SoWinViewer::interpolateSeekAnimation(t);
    OivWinViewerSupport::scaleOrthographicHeight(*camera, kSeekHeightFactor);
}
