#include <Inventor/Win/viewers/SoWinExaminerViewer.h>

#include <Inventor/Win/viewers/SoWinCameraPan.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/sensors/SoTimerSensor.h>

namespace {

// Spin steps per second; each repeats the last drag step's rotation.
constexpr double kSpinStepsPerSecond = 60.0;
// A release counts as "while moving" when the last drag step is at most this old.
constexpr double kSpinReleaseWindow = 0.25;

} // namespace

SoWinExaminerViewer::SoWinExaminerViewer(HWND parent, const char* name, SbBool embed,
                                         SoWinFullViewer::BuildFlag flag, SoWinViewer::Type type)
    : SoWinExaminerViewer(parent, name, embed, flag, type, TRUE, TRUE) {}

SoWinExaminerViewer::SoWinExaminerViewer(HWND parent, const char* name, SbBool embed,
                                         SoWinFullViewer::BuildFlag flag, SoWinViewer::Type type,
                                         SbBool buildNow, SbBool syncRedraw)
    : inherited(parent, name, embed, flag, type, FALSE), m_SyncRedraw(syncRedraw) {
    m_SpinSensor = new SoTimerSensor(&SoWinExaminerViewer::spinCB, this);
    m_SpinSensor->setInterval(SbTime(1.0 / kSpinStepsPerSecond));
    if (buildNow)
        setBaseWidget(buildWidget(getParentWidget()));
}

SoWinExaminerViewer::~SoWinExaminerViewer() {
    delete m_SpinSensor;
}

// ---- Spinning
// ------------------------------------------------------------------------------------

void SoWinExaminerViewer::setAnimationEnabled(SbBool on) {
    m_AnimationEnabled = on;
    if (!on)
        stopAnimating();
}

void SoWinExaminerViewer::stopAnimating(void) {
    m_SpinSensor->unschedule();
}

SbBool SoWinExaminerViewer::isAnimating(void) const {
    return m_SpinSensor->isScheduled();
}

void SoWinExaminerViewer::startSpin(void) {
    const double sinceLastStep = (getCurrentTime() - m_LastMoveTime).getValue();
    if (!m_AnimationEnabled || !getCamera() || sinceLastStep > kSpinReleaseWindow ||
        m_LastRotation.equals(SbRotation::identity(), 0.0f))
        return;
    // A press taken by a seek does not stop the spin, so its release may find it still going.
    // Coin queues a timer sensor once more on each schedule() (its check is in debug builds
    // only), and stopAnimating() takes out one entry: the spin must be queued once.
    if (!m_SpinSensor->isScheduled())
        m_SpinSensor->schedule();
}

SbTime SoWinExaminerViewer::getCurrentTime(void) const {
    return SbTime::getTimeOfDay();
}

void SoWinExaminerViewer::spinCB(void* data, SoSensor*) {
    auto* viewer = static_cast<SoWinExaminerViewer*>(data);
    if (SoCamera* camera = viewer->getCamera())
        SoWinCameraTrackball::rotate(*camera, viewer->m_LastRotation);
    else
        viewer->stopAnimating();
}

void SoWinExaminerViewer::viewAll(void) {
    stopAnimating();
    inherited::viewAll();
}

void SoWinExaminerViewer::resetToHomePosition(void) {
    stopAnimating();
    inherited::resetToHomePosition();
}

void SoWinExaminerViewer::setViewing(SbBool on) {
    if (!on)
        stopAnimating();
    m_Drag = Drag::NONE;
    inherited::setViewing(on);
}

void SoWinExaminerViewer::setCamera(SoCamera* camera) {
    stopAnimating();
    inherited::setCamera(camera);
}

void SoWinExaminerViewer::setSeekMode(SbBool on) {
    if (on)
        stopAnimating();
    inherited::setSeekMode(on);
}

// ---- Mouse
// ---------------------------------------------------------------------------------------

SoWinExaminerViewer::Drag SoWinExaminerViewer::dragFor(WPARAM keys) {
    const bool left = keys & MK_LBUTTON;
    const bool middle = keys & MK_MBUTTON;
    const bool control = keys & MK_CONTROL;
    const bool shift = keys & MK_SHIFT;
    if ((left && middle) || (middle && control) || (left && control && shift))
        return Drag::DOLLY;
    if (middle || (left && (control || shift)))
        return Drag::PAN;
    if (left)
        return Drag::ROTATE;
    return Drag::NONE;
}

void SoWinExaminerViewer::beginDrag(Drag drag, const SbVec2f& position) {
    m_Drag = drag;
    m_LastPosition = position;
    m_LastRotation = SbRotation::identity();
    if (drag == Drag::ROTATE)
        m_Trackball.begin(position);
}

void SoWinExaminerViewer::dragTo(const SbVec2f& position) {
    SoCamera* camera = getCamera();
    if (!camera || position == m_LastPosition)
        return;
    switch (m_Drag) {
    case Drag::ROTATE:
        m_LastRotation = m_Trackball.drag(position);
        SoWinCameraTrackball::rotate(*camera, m_LastRotation);
        break;
    case Drag::PAN:
        SoWinCameraPan::pan(*camera, getViewportAspect(), m_LastPosition, position);
        break;
    case Drag::DOLLY:
        dollyForDrag(m_LastPosition, position);
        break;
    case Drag::NONE:
        return;
    }
    m_LastPosition = position;
    m_LastMoveTime = getCurrentTime();
    interactionStep();
}

void SoWinExaminerViewer::interactionStep(void) {
    if (m_SyncRedraw)
        render();
}

SbBool SoWinExaminerViewer::processViewingEvent(MSG* msg) {
    const SbVec2f position = getNormalizedPosition(msg);
    const Drag wanted = dragFor(getKeysAfter(msg));
    switch (msg->message) {
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
        stopAnimating();
        beginDrag(wanted, position);
        return TRUE;
    case WM_MOUSEMOVE:
        if (wanted != m_Drag)
            beginDrag(wanted, position);
        else
            dragTo(position);
        return TRUE;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
        if (m_Drag == Drag::ROTATE && wanted == Drag::NONE) {
            dragTo(position);
            m_Drag = Drag::NONE;
            startSpin();
            return TRUE;
        }
        beginDrag(wanted, position);
        return TRUE;
    default:
        if (!inherited::processViewingEvent(msg))
            return FALSE;
        interactionStep();
        return TRUE;
    }
}

LPCSTR SoWinExaminerViewer::getViewingCursor(void) const {
    switch (m_Drag) {
    case Drag::PAN:
        return IDC_SIZEALL;
    case Drag::DOLLY:
        return IDC_SIZENS;
    default:
        return inherited::getViewingCursor();
    }
}

// ---- Buttons and wheels
// --------------------------------------------------------------------------

void SoWinExaminerViewer::createViewerButtons(HWND parent) {
    inherited::createViewerButtons(parent);
    addViewerButton(parent, CAMERA_TYPE_BUTTON, "camera type");
}

void SoWinExaminerViewer::pushButtonCB(HWND hwnd, int id, void* data) {
    if (id == CAMERA_TYPE_BUTTON)
        toggleCameraType();
    else
        inherited::pushButtonCB(hwnd, id, data);
}

void SoWinExaminerViewer::leftWheelMotion(float value) {
    if (SoCamera* camera = getCamera())
        SoWinCameraTrackball::rotate(
            *camera, SbRotation(SbVec3f(1.0f, 0.0f, 0.0f), value - getLeftWheelValue()));
    inherited::leftWheelMotion(value);
}

void SoWinExaminerViewer::bottomWheelMotion(float value) {
    if (SoCamera* camera = getCamera())
        SoWinCameraTrackball::rotate(
            *camera, SbRotation(SbVec3f(0.0f, 1.0f, 0.0f), value - getBottomWheelValue()));
    inherited::bottomWheelMotion(value);
}
