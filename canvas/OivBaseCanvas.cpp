#include "canvas/OivBaseCanvas.h"

#include "canvas/OivCanvas.h"
#include "canvas/OivCanvasDialogLink.h"
#include "canvas/OivCanvasObserver.h"
#include "canvas/OivImageOutput.h"
#include "canvas/OivSceneFile.h"
#include "scene/OivSceneManager.h"
#include "video/OivVideoRecorder.h"
#include "viewers/OivWinCurveViewer.h"
#include "viewers/OivWinExaminerViewer.h"
#include "viewers/OivWinPlaneViewer.h"

#include <Inventor/SbPList.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/sensors/SoNodeSensor.h>

#include <algorithm>

OivBaseCanvas::OivBaseCanvas()
    : m_OivViewer(nullptr), m_OivSceneManager(nullptr), m_ViewerType(EXAMINER_VIEWER),
      m_ParentWindow(nullptr), m_ViewContextChangeCB(nullptr), m_ViewContextChangeData(nullptr),
      m_CameraSensor(nullptr), m_VideoRecorder(nullptr), m_DuiList(nullptr), m_DuiWalkIndex(-1) {}

OivBaseCanvas::~OivBaseCanvas() {
    tellObservers();
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
    releaseDialogs();
    delete m_VideoRecorder;
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
    if (type == CURVE_VIEWER)
        return new OivWinCurveViewer(parent, nullptr, kBuildInsideParent,
                                     SoWinFullViewer::BUILD_ALL, SoWinViewer::BROWSER);
    return new OivWinExaminerViewer(parent, nullptr, kBuildInsideParent, SoWinFullViewer::BUILD_ALL,
                                    SoWinViewer::BROWSER, TRUE);
}

void OivBaseCanvas::configureViewer() {
    configureDrawing(m_OivViewer);
    m_OivViewer->setCursorStyle(SoWinViewer::SHADOW);
}

void OivBaseCanvas::configureDrawing(SoWinFullViewer* viewer) {
    // The host's window is the frame: no buttons or wheels around the drawing area.
    viewer->setDecoration(FALSE);
    viewer->setPreserveCameraHeightAngle(TRUE);
    viewer->setTransparencyType(SoGLRenderAction::SORTED_OBJECT_BLEND);
}

void OivBaseCanvas::watchCurrentCamera() {
    m_CameraSensor->detach();
    if (SoCamera* camera = m_OivViewer->getCamera())
        m_CameraSensor->attach(camera);
}

bool OivBaseCanvas::isObserver(OivCanvasObserver* observer) const {
    return std::find(m_Observers.begin(), m_Observers.end(), observer) != m_Observers.end();
}

void OivBaseCanvas::addCanvasObserver(OivCanvasObserver* observer) {
    if (observer && !isObserver(observer))
        m_Observers.push_back(observer);
}

void OivBaseCanvas::removeCanvasObserver(OivCanvasObserver* observer) {
    m_Observers.erase(std::remove(m_Observers.begin(), m_Observers.end(), observer),
                      m_Observers.end());
}

void OivBaseCanvas::tellObservers() {
    // An observer leaving (a group taking the canvas out) shortens the list: walk a copy, and
    // skip those gone meanwhile.
    const std::vector<OivCanvasObserver*> observers = m_Observers;
    for (OivCanvasObserver* observer : observers)
        if (isObserver(observer))
            observer->canvasDestroyed(this);
    m_Observers.clear();
}

OivSceneManager* OivBaseCanvas::getExtendedManager() const {
    return dynamic_cast<OivSceneManager*>(m_OivSceneManager);
}

bool OivBaseCanvas::getGlobalZScale(float& zScale) const {
    const OivSceneManager* manager = getExtendedManager();
    if (manager)
        zScale = manager->getGlobalZScale();
    return manager != nullptr;
}

void OivBaseCanvas::setGlobalZScale(float zScale) {
    if (OivSceneManager* manager = getExtendedManager())
        manager->setGlobalZScale(zScale);
}

void OivBaseCanvas::addStickyCursorCallback(StickyCursorCB* callback, void* userData) {
    OivSceneManager* manager = getExtendedManager();
    if (!manager || !callback)
        return;
    if (m_StickyCursorListeners.empty())
        manager->addStickyCursorCallback(stickyCursorCB, this);
    m_StickyCursorListeners.add(callback, userData);
}

void OivBaseCanvas::removeStickyCursorCallback(StickyCursorCB* callback, void* userData) {
    m_StickyCursorListeners.remove(callback, userData);
    OivSceneManager* manager = getExtendedManager();
    if (manager && m_StickyCursorListeners.empty())
        manager->removeStickyCursorCallback(stickyCursorCB, this);
}

void OivBaseCanvas::stickyCursorCB(void* data, OivSceneManager*) {
    auto* canvas = static_cast<OivBaseCanvas*>(data);
    canvas->m_StickyCursorListeners.call(canvas);
}

bool OivBaseCanvas::getStickyCursorPoint(SbVec3f& point, SbVec3f* normal) const {
    const OivSceneManager* manager = getExtendedManager();
    return manager && manager->getStickyCursorPoint(point, normal);
}

bool OivBaseCanvas::isStickyCursorReportFromMouse() const {
    const OivSceneManager* manager = getExtendedManager();
    return manager && manager->isStickyCursorReportFromMouse();
}

void OivBaseCanvas::showCursorEcho(const SbVec3f& point, const SbVec3f& normal) {
    if (OivSceneManager* manager = getExtendedManager())
        manager->showCursorEcho(point, normal);
}

void OivBaseCanvas::hideCursorEcho() {
    if (OivSceneManager* manager = getExtendedManager())
        manager->hideCursorEcho();
}

void OivBaseCanvas::setViewContextChangeCallback(ViewContextChangeCB* callback, void* userData) {
    m_ViewContextChangeCB = callback;
    m_ViewContextChangeData = userData;
}

bool OivBaseCanvas::import3DGraphicFile(const char* fileName, SoGroup* parent) {
    return OivSceneFile::read(fileName, parent);
}

bool OivBaseCanvas::export3DGraphicFile(const char* fileName, SoNode* root, bool binary,
                                        bool toVRML2) {
    return OivSceneFile::write(fileName, root, binary, toVRML2);
}

bool OivBaseCanvas::printPage(HDC hdc) {
    return OivImageOutput::printPage(m_OivViewer, hdc);
}

void OivBaseCanvas::magnify(int x0, int y0, int x1, int y1) {
    OivImageOutput::magnify(m_OivViewer, x0, y0, x1, y1);
}

void OivBaseCanvas::copyBitmap() {}

OivVideoRecorder* OivBaseCanvas::getVideoRecorder() {
    if (!m_VideoRecorder) {
        m_VideoRecorder = new OivVideoRecorder();
        m_VideoRecorder->setOivBaseCanvas(this);
    }
    return m_VideoRecorder;
}

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

void OivBaseCanvas::addDUI(DuiBaseDialog* dialog) {
    OivCanvasDialogLink* link = OivCanvasDialogLink::of(dialog);
    if (!link)
        return;
    if (!m_DuiList)
        m_DuiList = new SbPList;
    if (m_DuiList->find(link) != -1)
        return;
    m_DuiList->append(link);
    link->registrationChanged(this, true);
}

void OivBaseCanvas::updateDUI() {
    if (!m_DuiList)
        return;
    // A reset may update this canvas again (through a group): the outer walk goes on from where
    // it was.
    const int outerWalk = m_DuiWalkIndex;
    // The length is read again at every step: a reset may register or unregister dialogs.
    for (m_DuiWalkIndex = 0; m_DuiWalkIndex < m_DuiList->getLength(); ++m_DuiWalkIndex)
        static_cast<OivCanvasDialogLink*>((*m_DuiList)[m_DuiWalkIndex])->reset();
    m_DuiWalkIndex = outerWalk;
}

void OivBaseCanvas::removeDUI(DuiBaseDialog* dialog) {
    OivCanvasDialogLink* link = OivCanvasDialogLink::of(dialog);
    const int index = m_DuiList && link ? m_DuiList->find(link) : -1;
    if (index == -1)
        return;
    m_DuiList->remove(index);
    if (index <= m_DuiWalkIndex)
        --m_DuiWalkIndex;
    link->registrationChanged(this, false);
}

void OivBaseCanvas::releaseDialogs() {
    if (!m_DuiList)
        return;
    SbPList* dialogs = m_DuiList;
    m_DuiList = nullptr;
    for (int i = 0; i < dialogs->getLength(); ++i)
        static_cast<OivCanvasDialogLink*>((*dialogs)[i])->registrationChanged(this, false);
    delete dialogs;
}
