#include <Inventor/Win/viewers/SoWinPlaneViewer.h>

#include <Inventor/Win/viewers/SoWinCameraPan.h>
#include <Inventor/Win/viewers/SoWinCameraState.h>
#include <Inventor/nodes/SoCamera.h>

SoWinPlaneViewer::SoWinPlaneViewer(HWND parent, const char* name, SbBool embed,
                                   SoWinFullViewer::BuildFlag flag, SoWinViewer::Type type)
    : SoWinPlaneViewer(parent, name, embed, flag, type, TRUE) {}

SoWinPlaneViewer::SoWinPlaneViewer(HWND parent, const char* name, SbBool embed,
                                   SoWinFullViewer::BuildFlag flag, SoWinViewer::Type type,
                                   SbBool buildNow)
    : inherited(parent, name, embed, flag, type, FALSE) {
    if (buildNow)
        setBaseWidget(buildWidget(getParentWidget()));
}

SoWinPlaneViewer::~SoWinPlaneViewer() = default;

void SoWinPlaneViewer::lookAlong(Axis axis) {
    SoCamera* camera = getCamera();
    if (!camera)
        return;
    static const SbVec3f from[] = {SbVec3f(1, 0, 0), SbVec3f(0, 1, 0), SbVec3f(0, 0, 1)};
    static const SbVec3f up[] = {SbVec3f(0, 0, 1), SbVec3f(0, 0, 1), SbVec3f(0, 1, 0)};
    const SbVec3f focalPoint = SoWinCameraState::focalPointOf(*camera);
    camera->position.setValue(focalPoint + from[axis] * camera->focalDistance.getValue());
    camera->pointAt(focalPoint, up[axis]);
}

SoWinPlaneViewer::Drag SoWinPlaneViewer::dragFor(WPARAM keys) {
    if ((keys & MK_MBUTTON) || ((keys & MK_LBUTTON) && (keys & MK_CONTROL)))
        return Drag::DOLLY;
    if (keys & MK_LBUTTON)
        return Drag::PAN;
    return Drag::NONE;
}

SbBool SoWinPlaneViewer::processViewingEvent(MSG* msg) {
    SoCamera* camera = getCamera();
    const SbVec2f position = getNormalizedPosition(msg);
    switch (msg->message) {
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
        m_Drag = dragFor(getKeysAfter(msg));
        m_LastPosition = position;
        return TRUE;
    case WM_MOUSEMOVE: {
        const Drag wanted = dragFor(getKeysAfter(msg));
        if (camera && wanted == m_Drag && wanted == Drag::PAN)
            SoWinCameraPan::pan(*camera, getViewportAspect(), m_LastPosition, position);
        else if (camera && wanted == m_Drag && wanted == Drag::DOLLY)
            dollyForDrag(m_LastPosition, position);
        m_Drag = wanted;
        m_LastPosition = position;
        return TRUE;
    }
    default:
        return inherited::processViewingEvent(msg);
    }
}

void SoWinPlaneViewer::createViewerButtons(HWND parent) {
    inherited::createViewerButtons(parent);
    addViewerButton(parent, X_BUTTON, "x");
    addViewerButton(parent, Y_BUTTON, "y");
    addViewerButton(parent, Z_BUTTON, "z");
    addViewerButton(parent, CAMERA_TYPE_BUTTON, "camera type");
}

void SoWinPlaneViewer::pushButtonCB(HWND hwnd, int id, void* data) {
    switch (id) {
    case X_BUTTON:
        lookAlong(X_AXIS);
        break;
    case Y_BUTTON:
        lookAlong(Y_AXIS);
        break;
    case Z_BUTTON:
        lookAlong(Z_AXIS);
        break;
    case CAMERA_TYPE_BUTTON:
        toggleCameraType();
        break;
    default:
        inherited::pushButtonCB(hwnd, id, data);
        break;
    }
}

void SoWinPlaneViewer::translateInViewPlane(float right, float up) {
    SoCamera* camera = getCamera();
    if (!camera)
        return;
    const float height = SoWinCameraState::of(*camera).focalHeight;
    SbVec3f rightAxis, upAxis;
    camera->orientation.getValue().multVec(SbVec3f(1, 0, 0), rightAxis);
    camera->orientation.getValue().multVec(SbVec3f(0, 1, 0), upAxis);
    camera->position.setValue(camera->position.getValue() +
                              (rightAxis * right + upAxis * up) * height);
}

void SoWinPlaneViewer::leftWheelMotion(float value) {
    translateInViewPlane(0.0f, value - getLeftWheelValue());
    inherited::leftWheelMotion(value);
}

void SoWinPlaneViewer::bottomWheelMotion(float value) {
    translateInViewPlane(value - getBottomWheelValue(), 0.0f);
    inherited::bottomWheelMotion(value);
}
