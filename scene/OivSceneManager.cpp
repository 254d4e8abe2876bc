#include "scene/OivSceneManager.h"

#include "camera/OivCameraControl.h"
#include "scene/OivSceneSupport.h"
#include "tav/OivCompass.h"
#include "tav/OivCursorEcho.h"
#include "tav/OivGlobalZScale.h"
#include "tav/OivOnTopSeparator.h"
#include "tav/OivScreenPosition.h"
#include "tav/OivStickyCursor.h"
#include "viewers/OivWinExaminerViewer.h"

#include <Inventor/Win/viewers/SoWinViewer.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/nodes/SoCallback.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/sensors/SoOneShotSensor.h>

#include <cstdio>

namespace {

constexpr float kInitialZScale = 1.0f;

// Places and kinds of the overlay instruments, in the companion library's terms.
constexpr OivCompass::ScreenPosition kCompassPlace[] = {OivCompass::RIGHT, OivCompass::TOP};
constexpr OivCompass::ScreenPosition kHorizonGiroPlace[] = {OivCompass::LEFT, OivCompass::TOP};
constexpr OivCompass::CompassType kHorizonGiroType = OivCompass::HORIZON_GIRO;

constexpr OivStickyCursor::PredefinedShape kNormalOrientedShape = OivStickyCursor::ARROW;
constexpr OivStickyCursor::PredefinedShape kUprightShape = OivStickyCursor::CROSS;
const SbVec3f kShapeAxis(0.0f, 0.0f, 1.0f);

// The read-out: right-aligned at the bottom right, a line above the message, clear of the
// instruments and the frame rate at the top.
constexpr float kReadoutRightMargin = 10.0f;
const char* const kReadoutFormat = "X %.2f   Y %.2f   Z %.2f";

// Runs edit() with the node's notification off: the echo is no content, and a notification
// would tell this view's sticky cursor that its surfaces moved.
template <typename Edit> void editSilently(SoNode* node, Edit edit) {
    const SbBool wasNotifying = node->enableNotify(FALSE);
    edit();
    node->enableNotify(wasNotifying);
}

} // namespace

OivSceneManager::OivSceneManager()
    : m_Root3D(nullptr), m_GlobalScale(nullptr), m_GlobalUnScale(nullptr), m_CompassSwitch(nullptr),
      m_Compass(nullptr), m_HorizonGiroSwitch(nullptr), m_HorizonGiro(nullptr),
      m_GlobalZScale(kInitialZScale), m_StickyCursorSwitch(nullptr), m_StickyCursor(nullptr),
      m_StickyCursorEnabled(false), m_CursorPlace{false, SbVec3f(), SbVec3f()},
      m_ReportFromMouse(false), m_CursorReportSensor(new SoOneShotSensor(cursorReportCB, this)),
      m_CursorReadout(false), m_ReadoutSwitch(nullptr), m_ReadoutText(nullptr),
      m_EchoSwitch(nullptr), m_CursorEcho(nullptr), m_CursorDrawn(nullptr) {
    // The host edits its 3D content all the time: no render caches there.
    SoSeparator::setNumRenderCaches(0);
    m_Root3D = OivSceneSupport::held(new SoSeparator);
    m_GlobalScale = new OivGlobalZScale;
    m_GlobalScale->ref();
    m_GlobalUnScale = new SoScale;
    m_GlobalUnScale->ref();
    m_CompassSwitch = OivSceneSupport::held(new SoSwitch);
    m_Compass = OivSceneSupport::held(new OivCompass);
    m_HorizonGiroSwitch = OivSceneSupport::held(new SoSwitch);
    m_HorizonGiro = OivSceneSupport::held(new OivCompass);
    m_StickyCursorSwitch = OivSceneSupport::held(new SoSwitch);
    m_StickyCursor = OivSceneSupport::held(new OivStickyCursor);
    m_ReadoutSwitch = OivSceneSupport::held(new SoSwitch);
    m_ReadoutText = OivSceneSupport::held(new SoText2);
    m_EchoSwitch = OivSceneSupport::held(new SoSwitch);
    m_CursorEcho = OivSceneSupport::held(new OivCursorEcho);
    m_CursorDrawn = OivSceneSupport::held(new SoCallback);
    m_CursorDrawn->setCallback(cursorDrawnCB, this);
}

OivSceneManager::~OivSceneManager() {
    // A viewer that outlives the manager may still draw the graph.
    m_CursorDrawn->setCallback(nullptr, nullptr);
    delete m_CursorReportSensor;
    m_GlobalScale->unref();
    m_GlobalUnScale->unref();
    SoNode* const nodes[] = {
        m_Root3D,      m_CompassSwitch,      m_Compass,      m_HorizonGiroSwitch,
        m_HorizonGiro, m_StickyCursorSwitch, m_StickyCursor, m_ReadoutSwitch,
        m_ReadoutText, m_EchoSwitch,         m_CursorEcho,   m_CursorDrawn};
    for (SoNode* node : nodes)
        node->unref();
}

void OivSceneManager::setViewer(SoWinViewer* viewer, bool orthographic) {
    OivBaseSceneManager::setViewer(viewer, orthographic);
    if (m_Viewer) {
        m_Compass->setViewer(m_Viewer);
        m_HorizonGiro->setViewer(m_Viewer);
    }
    // A cursor enabled before there was a viewer appears if this viewer is already picking.
    applyStickyCursorRule();
}

SoSeparator* OivSceneManager::createSceneGraph(SoCamera* camera) {
    OivBaseSceneManager::createSceneGraph(camera);
    if (!camera)
        return m_SceneRoot;
    // The base build leaves the render-cache count at 0 for the separators made here, and
    // emptied the containers a rebuild refills; these switches are the manager's own.
    SoSwitch* const switches[] = {m_CompassSwitch, m_HorizonGiroSwitch, m_StickyCursorSwitch,
                                  m_ReadoutSwitch, m_EchoSwitch};
    for (SoSwitch* display : switches)
        display->removeAllChildren();

    SoSeparator* scaled = new SoSeparator;
    scaled->addChild(m_GlobalScale);
    scaled->addChild(m_Root3D);
    m_ProtectedRoot3D->addChild(scaled);
    m_ProtectedRoot3D->addChild(newCursorBranch());

    m_ProtectedRootOverlay->addChild(m_CompassSwitch);
    m_CompassSwitch->addChild(m_Compass);
    m_Compass->setPosition(kCompassPlace[0], kCompassPlace[1]);
    m_ProtectedRootOverlay->addChild(m_HorizonGiroSwitch);
    m_HorizonGiroSwitch->addChild(m_HorizonGiro);
    m_HorizonGiro->setType(kHorizonGiroType);
    m_HorizonGiro->setPosition(kHorizonGiroPlace[0], kHorizonGiroPlace[1]);
    const ScreenPlace readoutPlace = {OivScreenPosition::RIGHT,  OivScreenPosition::PIXELS,
                                      kReadoutRightMargin,       OivScreenPosition::BOTTOM,
                                      OivScreenPosition::PIXELS, lineAboveMessage()};
    m_ProtectedRootOverlay->addChild(m_ReadoutSwitch);
    m_ReadoutSwitch->addChild(newTextDisplay(readoutPlace, m_ReadoutText));
    m_ReadoutText->justification.setValue(SoText2::RIGHT);
    updateReadout();

    setCompassVisible(false);
    setHorizonGiroVisible(false);
    return m_SceneRoot;
}

SoSeparator* OivSceneManager::newCursorBranch() {
    // Drawn over the scene that it sits on, as if the depth buffer were cleared for it.
    SoSeparator* branch = new OivOnTopSeparator;
    // The cursor places itself again as it is drawn: it must be reached while its last place is
    // out of view (the view or the Z scale changed), which culling by that place would prevent.
    branch->renderCulling = SoSeparator::OFF;
    branch->addChild(m_StickyCursorSwitch);
    m_StickyCursorSwitch->addChild(m_StickyCursor);
    branch->addChild(m_CursorDrawn);
    branch->addChild(m_EchoSwitch);
    m_EchoSwitch->addChild(m_CursorEcho);
    placeEcho();
    return branch;
}

SoSeparator* OivSceneManager::getRoot3D() {
    return m_Root3D;
}

OivGlobalZScale* OivSceneManager::getGlobalScale() {
    return m_GlobalScale;
}

SoScale* OivSceneManager::getGlobalUnScale() {
    return m_GlobalUnScale;
}

OivCompass* OivSceneManager::getCompass() {
    return m_Compass;
}

OivCompass* OivSceneManager::getHorizonGiro() {
    return m_HorizonGiro;
}

float OivSceneManager::getGlobalZScale() const {
    return m_GlobalZScale;
}

void OivSceneManager::setCompassVisible(bool visible) {
    OivSceneSupport::setShown(m_CompassSwitch, visible);
}

bool OivSceneManager::isCompassVisible() const {
    return OivSceneSupport::isShown(m_CompassSwitch);
}

void OivSceneManager::setHorizonGiroVisible(bool visible) {
    OivSceneSupport::setShown(m_HorizonGiroSwitch, visible);
}

bool OivSceneManager::isHorizonGiroVisible() const {
    return OivSceneSupport::isShown(m_HorizonGiroSwitch);
}

void OivSceneManager::setGlobalZScale(float z) {
    // An inverse scale that stays finite: a scale of 0, a scale that is not finite or one whose
    // inverse overflows would make every bounding box below the scale nodes infinite.
    if (z == m_GlobalZScale || !OivGlobalZScale::isUsableFactor(z))
        return;
    // The camera follows the geometry before the geometry moves.
    if (SoCamera* camera = getCamera())
        OivCameraControl::setCameraWithGlobalScales(camera, m_GlobalZScale, z);
    m_GlobalZScale = z;
    m_GlobalScale->scaleFactor.setValue(1.0f, 1.0f, z);
    m_GlobalUnScale->scaleFactor.setValue(1.0f, 1.0f, 1.0f / z);
    // The stretched surface under the mouse is somewhere else now, even where the camera stayed.
    m_StickyCursor->placeAgain();
    placeEcho();
    sceneContextChanged();
}

void OivSceneManager::enableStickyCursor(bool enable) {
    m_StickyCursorEnabled = enable;
    applyStickyCursorRule();
}

bool OivSceneManager::isStickyCursorEnabled() const {
    return m_StickyCursorEnabled;
}

void OivSceneManager::setStickyCursorNormalOrientation(bool normalOrientation) {
    m_StickyCursor->useNormalOrientation(normalOrientation);
    m_StickyCursor->setPredefinedShape(normalOrientation ? kNormalOrientedShape : kUprightShape);
    placeEcho();
}

bool OivSceneManager::isStickyCursorNormalOriented() const {
    return m_StickyCursor->isUsingNormalOrientation();
}

void OivSceneManager::setMousePosition(int x, int y) {
    if (!m_StickyCursorEnabled)
        return;
    m_StickyCursor->onMouseMove(x, y);
    reportCursorPlace(true);
}

void OivSceneManager::onViewmodeChange() {
    applyStickyCursorRule();
}

void OivSceneManager::setStickyCursorVisibility(bool visible) {
    OivSceneSupport::setShown(m_StickyCursorSwitch, visible);
}

bool OivSceneManager::isStickyCursorShown() const {
    const SoWinViewer* viewer = getLiveViewer();
    return m_StickyCursorEnabled && viewer && !viewer->isViewing();
}

void OivSceneManager::applyStickyCursorRule() {
    setStickyCursorVisibility(isStickyCursorShown());
    reportCursorPlace(false);
}

bool OivSceneManager::CursorPlace::operator==(const CursorPlace& other) const {
    if (onSurface != other.onSurface)
        return false;
    return !onSurface || (point == other.point && normal == other.normal);
}

OivSceneManager::CursorPlace OivSceneManager::readCursorPlace() const {
    CursorPlace place{false, SbVec3f(), SbVec3f()};
    SbVec3f point, normal;
    // The cursor is drawn with no transformation of its own between it and the global Z scale.
    if (isStickyCursorShown() && m_StickyCursor->getSurfacePoint(point, normal))
        place = {true, toTrue(point), normalToTrue(normal)};
    return place;
}

void OivSceneManager::reportCursorPlace(bool fromMouse) {
    const CursorPlace place = readCursorPlace();
    if (place == m_CursorPlace)
        return;
    m_CursorPlace = place;
    m_ReportFromMouse = fromMouse;
    updateReadout();
    m_StickyCursorListeners.call(this);
}

bool OivSceneManager::getStickyCursorPoint(SbVec3f& point, SbVec3f* normal) const {
    if (!m_CursorPlace.onSurface || !getLiveViewer())
        return false;
    point = m_CursorPlace.point;
    if (normal)
        *normal = m_CursorPlace.normal;
    return true;
}

void OivSceneManager::addStickyCursorCallback(StickyCursorCB* callback, void* userData) {
    m_StickyCursorListeners.add(callback, userData);
}

void OivSceneManager::removeStickyCursorCallback(StickyCursorCB* callback, void* userData) {
    m_StickyCursorListeners.remove(callback, userData);
}

bool OivSceneManager::isStickyCursorReportFromMouse() const {
    return m_ReportFromMouse;
}

void OivSceneManager::setCursorReadout(bool on) {
    m_CursorReadout = on;
    updateReadout();
}

bool OivSceneManager::isCursorReadout() const {
    return m_CursorReadout;
}

void OivSceneManager::updateReadout() {
    const bool shown = m_CursorReadout && m_CursorPlace.onSurface;
    if (shown) {
        const SbVec3f& point = m_CursorPlace.point;
        char text[128];
        std::snprintf(text, sizeof(text), kReadoutFormat, point[0], point[1], point[2]);
        m_ReadoutText->string.setValue(text);
    }
    if (shown != OivSceneSupport::isShown(m_ReadoutSwitch))
        OivSceneSupport::setShown(m_ReadoutSwitch, shown);
}

void OivSceneManager::showCursorEcho(const SbVec3f& point, const SbVec3f& normal) {
    m_EchoPoint = point;
    m_EchoNormal = normal;
    editSilently(m_EchoSwitch, [this] { OivSceneSupport::setShown(m_EchoSwitch, true); });
    placeEcho();
}

void OivSceneManager::hideCursorEcho() {
    if (!isCursorEchoShown())
        return;
    editSilently(m_EchoSwitch, [this] { OivSceneSupport::setShown(m_EchoSwitch, false); });
    if (SoWinViewer* viewer = getLiveViewer())
        viewer->scheduleRedraw();
}

bool OivSceneManager::isCursorEchoShown() const {
    return OivSceneSupport::isShown(m_EchoSwitch);
}

void OivSceneManager::placeEcho() {
    if (!isCursorEchoShown())
        return;
    const bool oriented = isStickyCursorNormalOriented();
    editSilently(m_CursorEcho, [&] {
        m_CursorEcho->position.setValue(fromTrue(m_EchoPoint));
        m_CursorEcho->orientation.setValue(
            oriented ? SbRotation(kShapeAxis, normalFromTrue(m_EchoNormal)) : SbRotation());
        m_CursorEcho->shape.setValue(m_StickyCursor->getPredefinedShape());
    });
    if (SoWinViewer* viewer = getLiveViewer())
        viewer->scheduleRedraw();
}

SbVec3f OivSceneManager::toTrue(const SbVec3f& point) const {
    return SbVec3f(point[0], point[1], point[2] / m_GlobalZScale);
}

SbVec3f OivSceneManager::fromTrue(const SbVec3f& point) const {
    return SbVec3f(point[0], point[1], point[2] * m_GlobalZScale);
}

SbVec3f OivSceneManager::normalToTrue(const SbVec3f& normal) const {
    // Normals take the inverse transpose of the map of points: stretched where points shrink.
    SbVec3f mapped(normal[0], normal[1], normal[2] * m_GlobalZScale);
    mapped.normalize();
    return mapped;
}

SbVec3f OivSceneManager::normalFromTrue(const SbVec3f& normal) const {
    SbVec3f mapped(normal[0], normal[1], normal[2] / m_GlobalZScale);
    mapped.normalize();
    return mapped;
}

void OivSceneManager::cursorDrawnCB(void* data, SoAction* action) {
    if (!action->isOfType(SoGLRenderAction::getClassTypeId()))
        return;
    OivSceneManager* manager = static_cast<OivSceneManager*>(data);
    // Listeners may edit graphs and draw: not in the middle of this frame.
    if (!(manager->readCursorPlace() == manager->m_CursorPlace))
        manager->m_CursorReportSensor->schedule();
}

void OivSceneManager::cursorReportCB(void* data, SoSensor*) {
    static_cast<OivSceneManager*>(data)->reportCursorPlace(false);
}

void OivSceneManager::viewingModeChangeCB(void* userData, SoWinViewer*) {
    static_cast<OivSceneManager*>(userData)->onViewmodeChange();
}

void OivSceneManager::systemMouseEventCB(void* userData, SoWinViewer* viewer) {
    // Only the examiner viewer (and those derived from it) keeps the last mouse position.
    const OivWinExaminerViewer* examiner = dynamic_cast<OivWinExaminerViewer*>(viewer);
    if (!examiner)
        return;
    static_cast<OivSceneManager*>(userData)->setMousePosition(examiner->getLastMouseX(),
                                                              examiner->getLastMouseY());
}
