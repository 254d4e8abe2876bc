#include "camera/OivBaseCanvasGroup.h"

#include "canvas/OivBaseCanvas.h"

#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/lists/SbPList.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

namespace {

bool isOrthographic(const SoCamera& camera) {
    return camera.isOfType(SoOrthographicCamera::getClassTypeId());
}

// The camera's height value: the height of an orthographic camera, the height angle of a
// perspective one; null for any other kind.
SoSFFloat* heightField(SoCamera& camera) {
    if (isOrthographic(camera))
        return &static_cast<SoOrthographicCamera&>(camera).height;
    if (camera.isOfType(SoPerspectiveCamera::getClassTypeId()))
        return &static_cast<SoPerspectiveCamera&>(camera).heightAngle;
    return nullptr;
}

} // namespace

struct OivBaseCanvasGroup::CameraView {
    bool orthographic;
    SbVec3f position;
    SbRotation orientation;
    float focalDistance;
    bool hasHeight;
    float height;

    static CameraView of(SoCamera& camera) {
        const SoSFFloat* height = heightField(camera);
        return {isOrthographic(camera),
                camera.position.getValue(),
                camera.orientation.getValue(),
                camera.focalDistance.getValue(),
                height != nullptr,
                height ? height->getValue() : 0.0f};
    }

    void applyTo(SoCamera& camera) const {
        camera.position.setValue(position);
        camera.orientation.setValue(orientation);
        camera.focalDistance.setValue(focalDistance);
        // A height is an angle for one kind of camera and a length for the other: it only passes
        // between cameras of one kind (a member whose type could not be toggled keeps its own).
        SoSFFloat* field = heightField(camera);
        if (hasHeight && field && isOrthographic(camera) == orthographic)
            field->setValue(height);
    }
};

OivBaseCanvasGroup::OivBaseCanvasGroup()
    : m_CanvasList(new SbPList), m_Synchronizing(false), m_CursorEcho(false),
      m_EchoSource(nullptr) {}

OivBaseCanvasGroup::~OivBaseCanvasGroup() {
    for (int i = 0; i < getNumCanvases(); ++i)
        release(getCanvas(i));
    delete m_CanvasList;
}

void OivBaseCanvasGroup::addCanvas(OivBaseCanvas* canvas) {
    if (!canvas || isMember(canvas))
        return;
    m_CanvasList->append(canvas);
    canvas->addCanvasObserver(this);
    canvas->setViewContextChangeCallback(viewContextChangeCB, this);
    if (!m_CursorEcho)
        return;
    listenToCursor(canvas, true);
    // A newcomer shows at once where the user points in the others.
    if (m_EchoSource)
        echoCursorOf(m_EchoSource);
}

void OivBaseCanvasGroup::removeCanvas(OivBaseCanvas* canvas) {
    const int index = canvas ? m_CanvasList->find(canvas) : -1;
    if (index < 0)
        return;
    release(canvas);
    m_CanvasList->remove(index);
}

void OivBaseCanvasGroup::release(OivBaseCanvas* canvas) {
    canvas->setViewContextChangeCallback(nullptr, nullptr);
    canvas->removeCanvasObserver(this);
    if (!m_CursorEcho)
        return;
    listenToCursor(canvas, false);
    // The echoes of a cursor that left the group stay nowhere.
    if (canvas == m_EchoSource) {
        m_EchoSource = nullptr;
        forEachFollower(canvas, [](OivBaseCanvas* member) { member->hideCursorEcho(); });
    }
}

void OivBaseCanvasGroup::canvasDestroyed(OivBaseCanvas* canvas) {
    removeCanvas(canvas);
}

void OivBaseCanvasGroup::viewContextChangeCB(void* userData, bool cameraOnly,
                                             OivBaseCanvas* canvas) {
    static_cast<OivBaseCanvasGroup*>(userData)->onViewContextChange(canvas, cameraOnly);
}

void OivBaseCanvasGroup::onViewContextChange(OivBaseCanvas* source, bool cameraOnly) {
    // Toggling a member's camera type or setting its Z scale makes the member report at once.
    // Passed on, that report would copy the member's old view over every other member, the
    // source included, before the source's view arrives.
    if (m_Synchronizing)
        return;
    m_Synchronizing = true;
    synchronizeToCanvas(source, cameraOnly);
    m_Synchronizing = false;
}

void OivBaseCanvasGroup::synchronizeToCanvas(OivBaseCanvas* source, bool cameraOnly) {
    SoCamera* sourceCamera = isMember(source) ? getViewerCamera(source) : nullptr;
    if (!sourceCamera)
        return;
    const CameraView view = CameraView::of(*sourceCamera);
    forEachFollower(source, [&](OivBaseCanvas* member) { follow(member, view, cameraOnly); });
}

void OivBaseCanvasGroup::follow(OivBaseCanvas* member, const CameraView& view, bool cameraOnly) {
    if (!getViewerCamera(member))
        return;
    SoWinFullViewer* viewer = member->getOivViewer();
    const bool toggled = isOrthographic(*viewer->getCamera()) != view.orthographic;
    if (toggled)
        viewer->toggleCameraType();
    SoCamera* camera = viewer->getCamera();
    writeSilently(camera, [&] { view.applyTo(*camera); });
    viewer->render();
    // A toggled member shows another camera type than its dialogs do, even when only the camera
    // moved.
    if (!cameraOnly || toggled)
        member->updateDUI();
}

void OivBaseCanvasGroup::setCursorEcho(bool on) {
    if (on == m_CursorEcho)
        return;
    m_CursorEcho = on;
    m_EchoSource = nullptr;
    for (int i = 0; i < getNumCanvases(); ++i)
        listenToCursor(getCanvas(i), on);
}

bool OivBaseCanvasGroup::isCursorEcho() const {
    return m_CursorEcho;
}

void OivBaseCanvasGroup::listenToCursor(OivBaseCanvas* member, bool on) {
    if (on) {
        member->addStickyCursorCallback(stickyCursorCB, this);
        return;
    }
    member->removeStickyCursorCallback(stickyCursorCB, this);
    member->hideCursorEcho();
}

void OivBaseCanvasGroup::stickyCursorCB(void* userData, OivBaseCanvas* member) {
    static_cast<OivBaseCanvasGroup*>(userData)->onStickyCursorReport(member);
}

void OivBaseCanvasGroup::onStickyCursorReport(OivBaseCanvas* member) {
    // The mouse decides whose cursor is echoed: another member's cursor placed again after a
    // change of its view or Z scale, under a mouse that has left it, does not take over.
    if (!isMember(member) || (member != m_EchoSource && !member->isStickyCursorReportFromMouse()))
        return;
    m_EchoSource = member;
    echoCursorOf(member);
}

void OivBaseCanvasGroup::echoCursorOf(OivBaseCanvas* source) {
    SbVec3f point, normal;
    const bool onSurface = source->getStickyCursorPoint(point, &normal);
    for (int i = 0; i < getNumCanvases(); ++i) {
        if (onSurface && getCanvas(i) != source)
            getCanvas(i)->showCursorEcho(point, normal);
        else
            getCanvas(i)->hideCursorEcho();
    }
}

bool OivBaseCanvasGroup::isMember(OivBaseCanvas* canvas) const {
    return canvas && m_CanvasList->find(canvas) >= 0;
}

SoCamera* OivBaseCanvasGroup::getViewerCamera(OivBaseCanvas* canvas) {
    SoWinFullViewer* viewer = canvas->getOivViewer();
    return viewer ? viewer->getCamera() : nullptr;
}

int OivBaseCanvasGroup::getNumCanvases() const {
    return m_CanvasList->getLength();
}

OivBaseCanvas* OivBaseCanvasGroup::getCanvas(int index) const {
    return static_cast<OivBaseCanvas*>((*m_CanvasList)[index]);
}
