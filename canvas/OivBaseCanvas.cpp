#include "canvas/OivBaseCanvas.h"

#include "camera/OivBaseCanvasGroup.h"
#include "scene/OivSceneManager.h"
#include "viewers/OivWinExaminerViewer.h"
#include "viewers/OivWinPlaneViewer.h"

#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/sensors/SoNodeSensor.h>

OivBaseCanvas::OivBaseCanvas()
    : m_OivViewer(nullptr), m_OivSceneManager(nullptr), m_ViewerType(EXAMINER_VIEWER),
      m_ParentWindow(nullptr), m_ViewContextChangeCB(nullptr), m_ViewContextChangeData(nullptr),
      m_CameraSensor(nullptr) {}

OivBaseCanvas::~OivBaseCanvas() {
    leaveCanvasGroups();
    delete m_OivSceneManager;
    if (m_CameraSensor) {
        m_CameraSensor->detach();
        delete m_CameraSensor;
    }
    if (m_OivViewer) {
        m_OivViewer->setCameraTypeChangeCallback(nullptr, nullptr);
        // The viewer layer deletes its components through the component base, whose destructor
        // is public and virtual.
        delete static_cast<SoWinComponent*>(m_OivViewer);
    }
}

void OivBaseCanvas::initialize(ViewerType type, HWND parent) {
    // A second build would leave the first viewer, scene manager and sensor without an owner.
    if (m_OivViewer)
        return;
    m_ViewerType = type;
    m_ParentWindow = parent;
    if (!parent)
        return;
    m_OivViewer = createViewer(type, parent);
    configureViewer();
    OivSceneManager* manager = new OivSceneManager();
    m_OivSceneManager = manager;
    manager->setViewer(m_OivViewer, type == PLANE_VIEWER);
    m_OivViewer->show();
    m_CameraSensor = new SoNodeSensor(cameraChangeCB, this);
    watchCurrentCamera();
    m_OivViewer->setCameraTypeChangeCallback(cameraTypeChangeCB, this);
    m_OivSceneManager->setSceneContextChangeCallback(sceneChangeCB, this);
}

SoWinFullViewer* OivBaseCanvas::createViewer(ViewerType type, HWND parent) {
    constexpr SbBool kBuildInsideParent = TRUE;
    if (type == PLANE_VIEWER)
        return new OivWinPlaneViewer(parent, nullptr, kBuildInsideParent,
                                     SoWinFullViewer::BUILD_ALL, SoWinViewer::BROWSER);
    return new OivWinExaminerViewer(parent, nullptr, kBuildInsideParent, SoWinFullViewer::BUILD_ALL,
                                    SoWinViewer::BROWSER, TRUE);
}

void OivBaseCanvas::configureViewer() {
    // The host's window is the frame: no buttons or wheels around the drawing area.
    m_OivViewer->setDecoration(FALSE);
    m_OivViewer->setPreserveCameraHeightAngle(TRUE);
    m_OivViewer->setTransparencyType(SoGLRenderAction::SORTED_OBJECT_BLEND);
    m_OivViewer->setCursorStyle(SoWinViewer::SHADOW);
}

void OivBaseCanvas::watchCurrentCamera() {
    m_CameraSensor->detach();
    if (SoCamera* camera = m_OivViewer->getCamera())
        m_CameraSensor->attach(camera);
}

void OivBaseCanvas::leaveCanvasGroups() {
    // Each removal shortens the list this walks, so it walks a copy.
    const SbPList groups(m_CanvasGroups);
    for (int i = 0; i < groups.getLength(); ++i)
        static_cast<OivBaseCanvasGroup*>(groups[i])->removeCanvas(this);
}

void OivBaseCanvas::setViewContextChangeCallback(ViewContextChangeCB* callback, void* userData) {
    m_ViewContextChangeCB = callback;
    m_ViewContextChangeData = userData;
}

void OivBaseCanvas::copyBitmap() {}

OivBaseSceneManager* OivBaseCanvas::createOivBaseSceneManagerInstance() {
    return new OivBaseSceneManager();
}

void OivBaseCanvas::viewContextChanged(bool cameraOnly) {
    if (m_ViewContextChangeCB)
        m_ViewContextChangeCB(m_ViewContextChangeData, cameraOnly, this);
}

void OivBaseCanvas::sceneChangeCB(void* data, OivBaseSceneManager*) {
    static_cast<OivBaseCanvas*>(data)->viewContextChanged(false);
}

void OivBaseCanvas::cameraChangeCB(void* data, SoSensor*) {
    static_cast<OivBaseCanvas*>(data)->viewContextChanged(true);
}

void OivBaseCanvas::cameraTypeChangeCB(void* data, SoCamera*, SoWinViewer*) {
    OivBaseCanvas* canvas = static_cast<OivBaseCanvas*>(data);
    canvas->watchCurrentCamera();
    canvas->viewContextChanged(false);
}
