#include "viewers/OivWinExaminerViewer.h"

#include <Inventor/nodes/SoCamera.h>

#include <algorithm>

namespace {

// Height factor per seek step of an orthographic camera (single-precision bits 0x3F7E353F).
constexpr float kSeekHeightFactor = 0.993f;

} // namespace

OivWinExaminerViewer::OivWinExaminerViewer(HWND parent, const char* name, SbBool buildInsideParent,
                                           SoWinFullViewer::BuildFlag flag, SoWinViewer::Type type,
                                           SbBool buildNow)
    : inherited(parent, name, buildInsideParent, flag, type, buildNow, TRUE) {}

OivWinExaminerViewer::~OivWinExaminerViewer() {
    // The SDK destroys the drawing windows after this part of the viewer is gone; messages it
    // sends them on the way must not reach MouseMoveProc and a viewer that no longer exists.
    releaseWindows();
}

void OivWinExaminerViewer::setSeekMode(SbBool on) {
    inherited::setSeekMode(on);
}

void OivWinExaminerViewer::setViewing(SbBool on) {
    inherited::setViewing(on);
    if (m_ViewingModeChangeCB)
        m_ViewingModeChangeCB(m_ViewingModeChangeData, this);
}

void OivWinExaminerViewer::widgetChanged(HWND newWidget) {
    SoWinViewer::widgetChanged(newWidget);
}

void OivWinExaminerViewer::viewAll(void) {
    if (OivWinViewerSupport::viewMain3DRoot(*this))
        stopAnimating();
    else
        SoWinExaminerViewer::viewAll();
    interceptWindowProc();
}

void OivWinExaminerViewer::setStereoViewing(SbBool on) {
    SoWinViewer::setStereoViewing(on);
    interceptWindowProc();
}

void OivWinExaminerViewer::toggleCameraType(void) {
    SoWinViewer::toggleCameraType();
}

void OivWinExaminerViewer::setViewingModeChangeCallback(OivWinViewerCB* function, void* userData) {
    m_ViewingModeChangeCB = function;
    m_ViewingModeChangeData = userData;
}

void OivWinExaminerViewer::setSystemMouseEventCallback(OivWinViewerCB* function, void* userData) {
    m_SystemMouseEventCB = function;
    m_SystemMouseEventData = userData;
}

void OivWinExaminerViewer::interpolateSeekAnimation(float t) {
    SoCamera* camera = getCamera();
    if (!camera)
        return;
    SoWinViewer::interpolateSeekAnimation(t);
    OivWinViewerSupport::scaleOrthographicHeight(*camera, kSeekHeightFactor);
}

// ---- Window interception
// -------------------------------------------------------------------------

void OivWinExaminerViewer::interceptWindowProc(void) {
    HWND window = getNormalWidget();
    if (!window)
        return;
    const bool intercepted = std::find(m_InterceptedWindows.begin(), m_InterceptedWindows.end(),
                                       window) != m_InterceptedWindows.end();
    // Installing again would make the procedure its own original and loop forever; it would
    // also hide a procedure someone installed over ours since.
    if (!intercepted) {
        const auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(&OivWinExaminerViewer::MouseMoveProc)));
        if (!previous)
            return;
        if (previous != &OivWinExaminerViewer::MouseMoveProc)
            m_OriginalWindowProc = previous;
        m_InterceptedWindows.push_back(window);
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void OivWinExaminerViewer::onSystemMouseMove(int x, int y) {
    m_LastMouseX = x;
    m_LastMouseY = y;
    if (m_SystemMouseEventCB)
        m_SystemMouseEventCB(m_SystemMouseEventData, this);
}

LRESULT CALLBACK OivWinExaminerViewer::MouseMoveProc(HWND hwnd, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
    auto* viewer = reinterpret_cast<OivWinExaminerViewer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!viewer)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_MOUSEMOVE)
        viewer->onSystemMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const WNDPROC original = viewer->m_OriginalWindowProc;
    if (message == WM_NCDESTROY)
        viewer->forgetWindow(hwnd);
    return CallWindowProcA(original, hwnd, message, wParam, lParam);
}

void OivWinExaminerViewer::forgetWindow(HWND window) {
    m_InterceptedWindows.erase(
        std::remove(m_InterceptedWindows.begin(), m_InterceptedWindows.end(), window),
        m_InterceptedWindows.end());
}

void OivWinExaminerViewer::releaseWindows(void) {
    for (HWND window : m_InterceptedWindows) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OriginalWindowProc));
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    m_InterceptedWindows.clear();
}
