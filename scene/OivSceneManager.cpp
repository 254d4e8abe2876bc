#include "scene/OivSceneManager.h"

#include "camera/OivCameraControl.h"
#include "scene/OivOnTopSeparator.h"
#include "scene/OivSceneSupport.h"
#include "tav/OivCompass.h"
#include "tav/OivGlobalZScale.h"
#include "tav/OivStickyCursor.h"
#include "viewers/OivWinExaminerViewer.h"

#include <Inventor/Win/viewers/SoWinViewer.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>

namespace {

constexpr float kInitialZScale = 1.0f;

// Places and kinds of the overlay instruments, in the companion library's terms.
constexpr OivCompass::ScreenPosition kCompassPlace[] = {OivCompass::RIGHT, OivCompass::TOP};
constexpr OivCompass::ScreenPosition kHorizonGiroPlace[] = {OivCompass::LEFT, OivCompass::TOP};
constexpr OivCompass::CompassType kHorizonGiroType = OivCompass::HORIZON_GIRO;

constexpr OivStickyCursor::PredefinedShape kNormalOrientedShape = OivStickyCursor::ARROW;
constexpr OivStickyCursor::PredefinedShape kUprightShape = OivStickyCursor::CROSS;

} // namespace

OivSceneManager::OivSceneManager()
    : m_Root3D(nullptr), m_GlobalScale(nullptr), m_GlobalUnScale(nullptr), m_CompassSwitch(nullptr),
      m_Compass(nullptr), m_HorizonGiroSwitch(nullptr), m_HorizonGiro(nullptr),
      m_GlobalZScale(kInitialZScale), m_StickyCursorSwitch(nullptr), m_StickyCursor(nullptr),
      m_StickyCursorEnabled(false) {
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
}

OivSceneManager::~OivSceneManager() {
    m_GlobalScale->unref();
    m_GlobalUnScale->unref();
    SoNode* const nodes[] = {
        m_Root3D,      m_CompassSwitch,      m_Compass,     m_HorizonGiroSwitch,
        m_HorizonGiro, m_StickyCursorSwitch, m_StickyCursor};
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
    SoSwitch* const switches[] = {m_CompassSwitch, m_HorizonGiroSwitch, m_StickyCursorSwitch};
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

    setCompassVisible(false);
    setHorizonGiroVisible(false);
    return m_SceneRoot;
}

SoSeparator* OivSceneManager::newCursorBranch() {
    // Drawn over the scene that it sits on, as if the depth buffer were cleared for it.
    SoSeparator* branch = new OivOnTopSeparator;
    branch->addChild(m_StickyCursorSwitch);
    m_StickyCursorSwitch->addChild(m_StickyCursor);
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
}

bool OivSceneManager::isStickyCursorNormalOriented() const {
    return m_StickyCursor->isUsingNormalOrientation();
}

void OivSceneManager::setMousePosition(int x, int y) {
    if (m_StickyCursorEnabled)
        m_StickyCursor->onMouseMove(x, y);
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
