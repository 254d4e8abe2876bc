#include <Inventor/Win/viewers/SoWinViewer.h>

#include <Inventor/Win/viewers/SoWinCameraDolly.h>
#include <Inventor/Win/viewers/SoWinCameraPan.h>

#include <Inventor/SbBox3f.h>
#include <Inventor/SbXfBox3f.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/sensors/SoTimerSensor.h>

#include <GL/gl.h>

#include <algorithm>

namespace {

// Where the user's scene goes in the internal root: after the headlight and the group for the
// viewer's own camera, before the nodes subclasses append.
constexpr int kSceneChild = 2;

// Direction of the headlight in camera space: from over the viewer's right shoulder.
const SbVec3f kHeadlightDirection(1.0f, -1.0f, -10.0f);

// A seek ends this far (as a fraction of the distance it started from) from the picked point.
constexpr float kSeekDistanceFraction = 0.5f;
// Steps of the seek animation per second.
constexpr double kSeekStepsPerSecond = 60.0;
// Pick radius in pixels when looking for the point to seek to.
constexpr float kSeekPickRadius = 2.0f;

// Clipping planes leave this much room around the scene so nothing on its border is cut.
constexpr float kClippingSlack = 0.01f;
// A perspective near plane never comes closer than this fraction of the far plane; closer
// planes waste depth buffer precision.
constexpr float kNearToFarMinimum = 0.001f;

// Dolly per drag across the whole window height, and per wheel notch (e^x of the distance).
constexpr float kDragDollyRate = 2.0f;
constexpr float kWheelDollyStep = 0.1f;

// An arrow key moves the camera by this fraction of the view.
constexpr float kArrowKeyStep = 0.1f;

// Eye separation for stereo, as a fraction of the focal distance.
constexpr float kStereoOffsetFraction = 0.03f;

// Sets a camera field without telling the camera's auditors: the viewer's own bookkeeping
// (clipping planes) must not look like a camera move to sensors on the camera.
template <class Field, class Value>
void setQuietly(SoCamera& camera, Field& field, const Value& v) {
    const SbBool notify = camera.enableNotify(FALSE);
    field.setValue(v);
    camera.enableNotify(notify);
}

SoPath* findPath(SoNode* root, SoNode* node) {
    SoSearchAction search;
    search.setNode(node);
    search.setInterest(SoSearchAction::FIRST);
    search.setSearchingAll(TRUE);
    search.apply(root);
    SoPath* path = search.getPath();
    if (path)
        path->ref();
    return path;
}

} // namespace

SoWinViewer::SoWinViewer(HWND parent, const char* name, SbBool embed, Type type, SbBool buildNow)
    : inherited(parent, name, embed, TRUE, TRUE, FALSE), m_Type(type),
      m_CameraType(SoPerspectiveCamera::getClassTypeId()),
      m_ClippingBoxAction(new SoGetBoundingBoxAction(SbViewportRegion())) {
    m_Root = new SoSeparator;
    m_Root->ref();
    m_Root->setName("SoWinViewerRoot");

    // Traversed before any camera, the light is placed in eye space: it turns with the camera.
    m_Headlight = new SoDirectionalLight;
    m_Headlight->direction.setValue(kHeadlightDirection);
    m_Root->addChild(m_Headlight);

    m_CameraGroup = new SoGroup;
    m_Root->addChild(m_CameraGroup);

    m_SeekSensor = new SoTimerSensor(&SoWinViewer::seekTimerCB, this);
    m_SeekSensor->setInterval(SbTime(1.0 / kSeekStepsPerSecond));

    inherited::setSceneGraph(m_Root);
    if (buildNow)
        setBaseWidget(buildWidget(getParentWidget()));
}

SoWinViewer::~SoWinViewer() {
    inherited::setSceneGraph(nullptr);
    attachCamera(nullptr);
    delete m_SeekSensor;
    if (m_UserScene)
        m_UserScene->unref();
    m_Root->unref();
}

// ---- Scene graph and camera --------------------------------------------------------------------

void SoWinViewer::setSceneGraph(SoNode* newScene) {
    if (newScene == m_UserScene)
        return;
    if (newScene)
        newScene->ref();
    removeViewerCamera();
    if (m_UserScene) {
        m_Root->removeChild(m_UserScene);
        m_UserScene->unref();
    }
    m_UserScene = newScene;
    attachCamera(nullptr);
    if (!newScene)
        return;
    m_Root->insertChild(newScene, kSceneChild);

    SoSearchAction search;
    search.setType(SoCamera::getClassTypeId());
    search.setInterest(SoSearchAction::FIRST);
    search.setSearchingAll(TRUE);
    search.apply(newScene);
    if (search.getPath()) {
        attachCamera(static_cast<SoCamera*>(search.getPath()->getTail()));
    } else {
        createViewerCamera();
        viewAll();
    }
    saveHomePosition();
}

SoNode* SoWinViewer::getSceneGraph(void) {
    return m_UserScene;
}

void SoWinViewer::createViewerCamera(void) {
    SoType type = m_CameraType;
    if (!type.canCreateInstance() || !type.isDerivedFrom(SoCamera::getClassTypeId()))
        type = SoPerspectiveCamera::getClassTypeId();
    auto* camera = static_cast<SoCamera*>(type.createInstance());
    const bool intoScene =
        m_Type == EDITOR && m_UserScene && m_UserScene->isOfType(SoGroup::getClassTypeId());
    if (intoScene) {
        static_cast<SoGroup*>(m_UserScene)->insertChild(camera, 0);
    } else {
        m_CameraGroup->addChild(camera);
        m_ViewerMadeCamera = true;
    }
    attachCamera(camera);
}

void SoWinViewer::removeViewerCamera(void) {
    if (!m_ViewerMadeCamera)
        return;
    attachCamera(nullptr);
    m_CameraGroup->removeAllChildren();
    m_ViewerMadeCamera = false;
}

void SoWinViewer::attachCamera(SoCamera* camera) {
    if (camera == m_Camera)
        return;
    if (isSeeking())
        finishSeek();
    if (camera)
        camera->ref();
    if (m_Camera)
        m_Camera->unref();
    m_Camera = camera;
    if (camera)
        m_CameraType = camera->getTypeId();
}

void SoWinViewer::setCamera(SoCamera* camera) {
    attachCamera(camera);
}

void SoWinViewer::setCameraType(SoType type) {
    if (!type.isDerivedFrom(SoCamera::getClassTypeId()) || !type.canCreateInstance())
        return;
    const bool ortho = type.isDerivedFrom(SoOrthographicCamera::getClassTypeId());
    if (m_Camera && ortho != bool(m_Camera->isOfType(SoOrthographicCamera::getClassTypeId()))) {
        toggleCameraType();
        return;
    }
    if (!m_Camera)
        m_CameraType = type;
}

void SoWinViewer::toggleCameraType(void) {
    if (!m_Camera)
        return;
    const bool wasOrtho = m_Camera->isOfType(SoOrthographicCamera::getClassTypeId());
    SoCamera* replacement =
        wasOrtho ? static_cast<SoCamera*>(new SoPerspectiveCamera) : new SoOrthographicCamera;
    replacement->ref();
    replacement->aspectRatio.setValue(m_Camera->aspectRatio.getValue());
    replacement->viewportMapping.setValue(m_Camera->viewportMapping.getValue());
    replacement->nearDistance.setValue(m_Camera->nearDistance.getValue());
    replacement->farDistance.setValue(m_Camera->farDistance.getValue());
    if (!wasOrtho)
        m_SavedHeightAngle = static_cast<SoPerspectiveCamera*>(m_Camera)->heightAngle.getValue();
    const bool keepAngle = wasOrtho && m_PreserveHeightAngle;
    if (keepAngle)
        static_cast<SoPerspectiveCamera*>(replacement)->heightAngle.setValue(m_SavedHeightAngle);
    SoWinCameraState::of(*m_Camera).applyTo(*replacement, keepAngle);

    SoPath* path = findPath(m_Root, m_Camera);
    if (path && path->getLength() > 1) {
        auto* parent = static_cast<SoGroup*>(path->getNodeFromTail(1));
        parent->replaceChild(path->getIndexFromTail(0), replacement);
    }
    if (path)
        path->unref();
    attachCamera(replacement);
    replacement->unref();
    if (m_CameraTypeChangeCB)
        m_CameraTypeChangeCB(m_CameraTypeChangeData, m_Camera, this);
}

void SoWinViewer::setCameraTypeChangeCallback(CameraTypeChangeCB* callback, void* data) {
    m_CameraTypeChangeCB = callback;
    m_CameraTypeChangeData = data;
}

void SoWinViewer::viewAll(void) {
    if (!m_Camera || !m_UserScene)
        return;
    endRunningSeek();
    m_Camera->viewAll(m_UserScene, getViewportRegion());
}

void SoWinViewer::saveHomePosition(void) {
    if (m_Camera)
        m_Home = SoWinCameraState::of(*m_Camera);
}

void SoWinViewer::resetToHomePosition(void) {
    if (!m_Camera || m_Home.type == SoType::badType())
        return;
    endRunningSeek();
    m_Home.applyTo(*m_Camera);
}

// A seek still flying would pull the camera back from the view just asked for, step by step.
void SoWinViewer::endRunningSeek(void) {
    if (isSeeking())
        setSeekMode(FALSE);
}

// ---- Settings
// ------------------------------------------------------------------------------------

void SoWinViewer::setHeadlight(SbBool on) {
    m_Headlight->on.setValue(on);
}

SbBool SoWinViewer::isHeadlight(void) const {
    return m_Headlight->on.getValue();
}

void SoWinViewer::setViewing(SbBool on) {
    m_Viewing = on;
}

void SoWinViewer::setStereoViewing(SbBool on) {
    m_Stereo = on;
    scheduleRedraw();
}

void SoWinViewer::setSeekTime(float seconds) {
    m_SeekTime = std::max(seconds, 0.0f);
}

void SoWinViewer::setFramesPerSecondCallback(FramesPerSecondCB* callback, void* data) {
    m_FpsCB = callback;
    m_FpsData = data;
    m_FramesInSample = 0;
}

void SoWinViewer::setNumSamples(int frames) {
    m_NumSamples = std::max(frames, 1);
    m_FramesInSample = 0;
}

// ---- Seeking
// -------------------------------------------------------------------------------------

void SoWinViewer::setSeekMode(SbBool on) {
    if (!on && isSeeking())
        finishSeek();
    m_SeekMode = on;
}

SbBool SoWinViewer::isSeeking(void) const {
    return m_SeekSensor->isScheduled();
}

SbBool SoWinViewer::seekToPoint(const SbVec2s& position) {
    if (!m_Camera) {
        setSeekMode(FALSE);
        return FALSE;
    }
    SoRayPickAction pick(getViewportRegion());
    pick.setPoint(position);
    pick.setRadius(kSeekPickRadius);
    pick.apply(m_Root);
    const SoPickedPoint* picked = pick.getPickedPoint();
    if (!picked) {
        setSeekMode(FALSE);
        return FALSE;
    }
    m_Seek.begin(*m_Camera, picked->getPoint(), kSeekDistanceFraction);
    if (m_SeekTime <= 0.0f) {
        interpolateSeekAnimation(1.0f);
        setSeekMode(FALSE);
        return TRUE;
    }
    m_SeekStart = SbTime::getTimeOfDay();
    // A click during a seek restarts it from here: the sensor, already queued, reads the new
    // start on its next step. Coin queues a timer sensor once more on each schedule() (its check
    // is in debug builds only), and unschedule() takes out one entry: a second one would go on
    // moving the camera after the seek ends, and outlive the viewer.
    if (!m_SeekSensor->isScheduled())
        m_SeekSensor->schedule();
    return TRUE;
}

void SoWinViewer::interpolateSeekAnimation(float t) {
    if (m_Camera)
        m_Seek.apply(*m_Camera, t);
}

void SoWinViewer::finishSeek(void) {
    m_SeekSensor->unschedule();
}

void SoWinViewer::seekTimerCB(void* data, SoSensor*) {
    auto* viewer = static_cast<SoWinViewer*>(data);
    const double elapsed = (SbTime::getTimeOfDay() - viewer->m_SeekStart).getValue();
    const float t = std::min(float(elapsed / viewer->m_SeekTime), 1.0f);
    viewer->interpolateSeekAnimation(t);
    if (t >= 1.0f) {
        viewer->finishSeek();
        viewer->setSeekMode(FALSE);
    }
}

// ---- Drawing
// -------------------------------------------------------------------------------------

void SoWinViewer::widgetChanged(HWND newWidget) {
    inherited::widgetChanged(newWidget);
    scheduleRedraw();
}

void SoWinViewer::actualRedraw(void) {
    // Frames are only timed for a listener; setting one starts a fresh sample.
    const bool timed = m_FpsCB != nullptr;
    const SbTime frameStart = timed ? SbTime::getTimeOfDay() : SbTime::zero();
    if (m_AutoClipping)
        adjustClippingPlanes();
    if (m_Stereo && m_Camera)
        drawStereo();
    else
        inherited::actualRedraw();
    if (timed)
        countFrame(frameStart);
}

void SoWinViewer::drawStereo(void) {
    const float offset = m_Camera->focalDistance.getValue() * kStereoOffsetFraction;
    const SbBool clear = isClearBeforeRender();
    const SbBool clearZ = isClearZBufferBeforeRender();
    // Clearing obeys the colour mask, so the whole picture is cleared once, before the masks.
    const SbColor& background = getBackgroundColor();
    glClearColor(background[0], background[1], background[2], 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    setClearBeforeRender(FALSE, FALSE);
    m_Camera->setStereoAdjustment(offset);
    m_Camera->setStereoMode(SoCamera::LEFT_VIEW);
    glColorMask(GL_TRUE, GL_FALSE, GL_FALSE, GL_TRUE);
    inherited::actualRedraw();
    glClear(GL_DEPTH_BUFFER_BIT);
    m_Camera->setStereoMode(SoCamera::RIGHT_VIEW);
    glColorMask(GL_FALSE, GL_TRUE, GL_TRUE, GL_TRUE);
    inherited::actualRedraw();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    m_Camera->setStereoMode(SoCamera::MONOSCOPIC);
    setClearBeforeRender(clear, clearZ);
}

void SoWinViewer::countFrame(const SbTime& frameStart) {
    if (m_FramesInSample == 0)
        m_SampleStart = frameStart;
    if (++m_FramesInSample < m_NumSamples)
        return;
    const double seconds = (SbTime::getTimeOfDay() - m_SampleStart).getValue();
    m_FramesInSample = 0;
    if (m_FpsCB && seconds > 0.0)
        m_FpsCB(float(m_NumSamples / seconds), m_FpsData, this);
}

void SoWinViewer::adjustClippingPlanes(void) {
    if (!m_Camera)
        return;
    m_ClippingBoxAction->setViewportRegion(getViewportRegion());
    m_ClippingBoxAction->apply(m_Root);
    SbXfBox3f box = m_ClippingBoxAction->getXfBoundingBox();
    if (box.isEmpty())
        return;
    // Into camera space, where the camera looks down -Z.
    SbMatrix toCamera;
    toCamera.setTranslate(-m_Camera->position.getValue());
    SbMatrix rotation;
    rotation.setRotate(m_Camera->orientation.getValue().inverse());
    toCamera.multRight(rotation);
    box.transform(toCamera);
    const SbBox3f cameraBox = box.project();
    float farPlane = -cameraBox.getMin()[2];
    float nearPlane = -cameraBox.getMax()[2];
    if (farPlane <= 0.0f)
        return; // everything is behind the camera: nothing to fit
    farPlane *= 1.0f + kClippingSlack;
    nearPlane *= 1.0f - kClippingSlack;
    if (m_Camera->isOfType(SoPerspectiveCamera::getClassTypeId()))
        nearPlane = std::max(nearPlane, farPlane * kNearToFarMinimum);
    setQuietly(*m_Camera, m_Camera->nearDistance, nearPlane);
    setQuietly(*m_Camera, m_Camera->farDistance, farPlane);
}

// ---- Message helpers
// -----------------------------------------------------------------------------

SbVec2s SoWinViewer::getViewportPosition(const MSG* msg) const {
    const SbVec2s size = getViewportRegion().getWindowSize();
    const int x = GET_X_LPARAM(msg->lParam);
    const int y = size[1] - 1 - GET_Y_LPARAM(msg->lParam);
    return SbVec2s(short(x), short(y));
}

SbVec2f SoWinViewer::getNormalizedPosition(const MSG* msg) const {
    // Pixel centres, so the middle of the window is exactly (0.5, 0.5).
    const SbVec2s size = getViewportRegion().getWindowSize();
    const SbVec2s position = getViewportPosition(msg);
    return SbVec2f((position[0] + 0.5f) / std::max<short>(size[0], 1),
                   (position[1] + 0.5f) / std::max<short>(size[1], 1));
}

float SoWinViewer::getViewportAspect(void) const {
    return getViewportRegion().getViewportAspectRatio();
}

WPARAM SoWinViewer::getKeysAfter(const MSG* msg) {
    switch (msg->message) {
    case WM_LBUTTONDOWN:
        return msg->wParam | MK_LBUTTON;
    case WM_MBUTTONDOWN:
        return msg->wParam | MK_MBUTTON;
    case WM_RBUTTONDOWN:
        return msg->wParam | MK_RBUTTON;
    case WM_LBUTTONUP:
        return msg->wParam & ~WPARAM(MK_LBUTTON);
    case WM_MBUTTONUP:
        return msg->wParam & ~WPARAM(MK_MBUTTON);
    case WM_RBUTTONUP:
        return msg->wParam & ~WPARAM(MK_RBUTTON);
    default:
        return msg->wParam;
    }
}

void SoWinViewer::processEvent(MSG* msg) {
    if (!msg || processKey(msg))
        return;
    const bool mouse = msg->message >= WM_MOUSEMOVE && msg->message <= WM_MBUTTONDBLCLK;
    if (processSeekPress(msg) || (isViewing() && processViewingEvent(msg))) {
        if (mouse)
            showModeCursor();
        return;
    }
    inherited::processEvent(msg);
    if (mouse)
        showModeCursor();
}

SbBool SoWinViewer::processKey(const MSG* msg) {
    const int key = int(msg->wParam);
    const bool down = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    const bool up = msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP;
    if (key == VK_MENU && down && !isViewing()) {
        m_ViewingForAlt = true;
        setViewing(TRUE);
        return TRUE;
    }
    if (key == VK_MENU && up && m_ViewingForAlt) {
        m_ViewingForAlt = false;
        setViewing(FALSE);
        return TRUE;
    }
    if (!down)
        return FALSE;
    if (key == VK_ESCAPE) {
        m_ViewingForAlt = false;
        setViewing(!isViewing());
        return TRUE;
    }
    return isViewing() && processViewingKey(key);
}

SbBool SoWinViewer::processViewingKey(int virtualKey) {
    switch (virtualKey) {
    case 'S':
        setSeekMode(!isSeekMode());
        return TRUE;
    case VK_HOME:
        resetToHomePosition();
        return TRUE;
    case VK_LEFT:
        moveCameraInView(SbVec2f(-kArrowKeyStep, 0.0f));
        return TRUE;
    case VK_RIGHT:
        moveCameraInView(SbVec2f(kArrowKeyStep, 0.0f));
        return TRUE;
    case VK_UP:
        moveCameraInView(SbVec2f(0.0f, kArrowKeyStep));
        return TRUE;
    case VK_DOWN:
        moveCameraInView(SbVec2f(0.0f, -kArrowKeyStep));
        return TRUE;
    default:
        return FALSE;
    }
}

void SoWinViewer::moveCameraInView(const SbVec2f& step) {
    // Panning drags the scene: the camera goes the other way.
    const SbVec2f middle(0.5f, 0.5f);
    if (m_Camera)
        SoWinCameraPan::pan(*m_Camera, getViewportAspect(), middle, middle - step);
}

LPCSTR SoWinViewer::getViewingCursor(void) const {
    return IDC_HAND;
}

void SoWinViewer::showModeCursor(void) {
    LPCSTR shape = IDC_ARROW;
    if (m_SeekMode)
        shape = IDC_CROSS;
    else if (isViewing())
        shape = getViewingCursor();
    SetCursor(LoadCursorA(nullptr, shape));
}

SbBool SoWinViewer::processViewingEvent(MSG* msg) {
    if (msg->message != WM_MOUSEWHEEL)
        return FALSE;
    dollyForWheel(msg);
    return TRUE;
}

SbBool SoWinViewer::processSeekPress(const MSG* msg) {
    const bool press = msg->message == WM_LBUTTONDOWN || msg->message == WM_MBUTTONDOWN;
    if (!press || !m_SeekMode)
        return FALSE;
    seekToPoint(getViewportPosition(msg));
    return TRUE;
}

void SoWinViewer::dollyForWheel(const MSG* msg) {
    const float notches = float(GET_WHEEL_DELTA_WPARAM(msg->wParam)) / WHEEL_DELTA;
    if (m_Camera)
        SoWinCameraDolly::dolly(*m_Camera, -notches * kWheelDollyStep);
}

void SoWinViewer::dollyForDrag(const SbVec2f& from, const SbVec2f& to) {
    if (m_Camera)
        SoWinCameraDolly::dolly(*m_Camera, (from[1] - to[1]) * kDragDollyRate);
}
