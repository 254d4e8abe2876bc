#include "scene/OivBaseSceneManager.h"

#include "camera/OivCameraControl.h"
#include "scene/OivSceneSupport.h"
#include "tav/OivOnTopSeparator.h"
#include "tav/OivScreenPosition.h"
#include "viewers/OivWinViewerSupport.h"

#include <Inventor/SoInput.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/SoWinComponent.h>
#include <Inventor/Win/viewers/SoWinViewer.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoEventCallback.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoGradientBackground.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoImageBackground.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoPickStyle.h>
#include <Inventor/nodes/SoResetTransform.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/nodes/SoTransparencyType.h>
#include <windows.h>

#include <cstdio>

namespace {

const char* const kDefaultBackgroundImage = "..\\Config\\3D\\canvas\\background\\background.jpg";
const char* const kTextFontName = "Arial";
constexpr float kTextFontSize = 16.0f;
constexpr float kGlobalFontSize = 12.0f;

// 0x3D70F0F1, 0x3D20A0A1, 0x3E48C8C9 in single precision.
const SbColor kGradientColor0(15.0f / 255.0f, 10.0f / 255.0f, 50.0f / 255.0f);
const SbColor kGradientColor1(80.0f / 256.0f, 80.0f / 256.0f, 150.0f / 256.0f);
const SbColor kAlternateColor(0.8f, 0.8f, 0.8f);
const SbColor kBlack(0.0f, 0.0f, 0.0f);
const SbColor kWhite(1.0f, 1.0f, 1.0f);

// Children of the background switch.
constexpr int kImageBackgroundChild = 0;
constexpr int kGradientBackgroundChild = 1;

// Above this rate the viewer's own measure is too coarse and the counter-based one is shown.
constexpr float kViewerFpsLimit = 70.0f;
const char* const kFrameRateFormat = "%5.2f FPS";

constexpr OivBaseSceneManager::ScreenPlace kFrameRatePlace = {3, 0, 0.12f, 0, 1, 21.0f};
constexpr OivBaseSceneManager::ScreenPlace kMessagePlace = {2, 0, 0.12f, 1, 1, 10.0f};
// From one text line's baseline to the next, in font sizes.
constexpr float kLineSpacing = 1.3f;

void release(SoNode* node) {
    if (node)
        node->unref();
}

SoFont* newFont(float size) {
    SoFont* font = new SoFont;
    font->name.setValue(kTextFontName);
    font->size.setValue(size);
    return font;
}

SoPickStyle* newUnpickable() {
    SoPickStyle* pickStyle = new SoPickStyle;
    pickStyle->style.setValue(SoPickStyle::UNPICKABLE);
    return pickStyle;
}

bool canOpen(const SbString& path) {
    SoInput input;
    if (!input.openFile(path.getString(), TRUE))
        return false;
    input.closeFile();
    return true;
}

// The background switch child that shows `background`, or none.
int backgroundChild(OivBaseSceneManager::Background background) {
    switch (background) {
    case OivBaseSceneManager::IMAGE:
        return kImageBackgroundChild;
    case OivBaseSceneManager::GRADIENT:
        return kGradientBackgroundChild;
    default:
        return SO_SWITCH_NONE;
    }
}

double counterFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
}

double counterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart);
}

} // namespace

OivBaseSceneManager::OivBaseSceneManager()
    : m_Viewer(nullptr), m_GlobalFont(nullptr), m_SceneRoot(nullptr), m_ProtectedRoot3D(nullptr),
      m_EventCallback(nullptr), m_OverlayCamera(nullptr), m_ProtectedRootOverlay(nullptr),
      m_RootOverlay(nullptr), m_PerformanceSwitch(nullptr), m_PerformanceText(nullptr),
      m_MessageSwitch(nullptr), m_MessageText(nullptr), m_RootUI3D(nullptr),
      m_PreSceneGroup(nullptr), m_PostSceneGroup(nullptr), m_SceneContextChangeCB(nullptr),
      m_SceneContextChangeData(nullptr), m_CameraControl(nullptr), m_Background(BLACK),
      m_BackgroundSwitch(nullptr), m_ImageBackground(nullptr), m_GradientBackground(nullptr),
      m_LastCounter(0.0), m_CounterFrequency(0.0), m_Fps(0.0f), m_ViewerFps(0.0f) {
    // Its nodes need Coin: a manager made before SoWin::init sets the viewer layer up first, as
    // a viewer does.
    if (!SoWin::isInitialized())
        SoWin::init(static_cast<HWND>(nullptr));
    // The 3D content is edited by the host all the time: no render caches there.
    SoSeparator::setNumRenderCaches(0);
    m_SceneRoot = OivSceneSupport::held(new SoSeparator);
    m_ProtectedRoot3D = OivSceneSupport::held(new SoSeparator);
    m_ProtectedRoot3D->setName(OivWinViewerSupport::MAIN_3D_ROOT_NAME);
    m_EventCallback = OivSceneSupport::held(new SoEventCallback);

    SoSeparator::setNumRenderCaches(1);
    m_ProtectedRootOverlay = OivSceneSupport::held(new SoSeparator);
    m_OverlayCamera = OivSceneSupport::held(new SoOrthographicCamera);
    m_RootOverlay = OivSceneSupport::held(new SoSeparator);
    m_PerformanceSwitch = OivSceneSupport::held(new SoSwitch);
    m_PerformanceText = OivSceneSupport::held(new SoText2);
    m_MessageSwitch = OivSceneSupport::held(new SoSwitch);
    m_RootUI3D = OivSceneSupport::held(new SoSeparator);
    m_PreSceneGroup = OivSceneSupport::held(new SoGroup);
    m_PostSceneGroup = OivSceneSupport::held(new SoGroup);
    m_GlobalFont = OivSceneSupport::held(newFont(kGlobalFontSize));

    m_CameraControl = new OivCameraControl;
    m_CounterFrequency = counterFrequency();

    m_BackgroundSwitch = OivSceneSupport::held(new SoSwitch);
    m_ImageBackground = OivSceneSupport::held(new SoImageBackground);
    m_GradientBackground = OivSceneSupport::held(new SoGradientBackground);
    m_AlternateColor = kAlternateColor;
    m_BackgroundImage = kDefaultBackgroundImage;
    m_GradientColor1 = kGradientColor1;
    m_GradientColor0 = kGradientColor0;
}

OivBaseSceneManager::~OivBaseSceneManager() {
    // A viewer that goes on drawing must not report its frame rate to a deleted manager; one
    // that the host deleted first is not called.
    if (SoWinViewer* viewer = getLiveViewer())
        viewer->setFramesPerSecondCallback(nullptr, nullptr);
    delete m_CameraControl;
    SoNode* const nodes[] = {m_GlobalFont,      m_SceneRoot,         m_ProtectedRoot3D,
                             m_EventCallback,   m_OverlayCamera,     m_ProtectedRootOverlay,
                             m_RootOverlay,     m_PerformanceSwitch, m_PerformanceText,
                             m_MessageSwitch,   m_MessageText,       m_RootUI3D,
                             m_PreSceneGroup,   m_PostSceneGroup,    m_BackgroundSwitch,
                             m_ImageBackground, m_GradientBackground};
    for (SoNode* node : nodes)
        release(node);
}

void OivBaseSceneManager::setViewer(SoWinViewer* viewer, bool orthographic) {
    releaseViewer(viewer);
    m_Viewer = viewer;
    m_ViewerWatch.watch(viewer);
    if (!viewer)
        return;
    viewer->setFramesPerSecondCallback(fpsCB, this);
    SoCamera* camera = orthographic ? static_cast<SoCamera*>(new SoOrthographicCamera)
                                    : static_cast<SoCamera*>(new SoPerspectiveCamera);
    createSceneGraph(camera);
    // A viewer looks for the graph's camera only when it is handed a new graph: a rebuilt one is
    // taken away and handed again.
    if (viewer->getSceneGraph() == m_SceneRoot)
        viewer->setSceneGraph(nullptr);
    viewer->setSceneGraph(m_SceneRoot);
}

void OivBaseSceneManager::releaseViewer(SoWinViewer* next) {
    SoWinViewer* previous = getLiveViewer();
    if (!previous || previous == next)
        return;
    // The graph moves to the next viewer; the previous one neither shows it nor reports to us.
    previous->setFramesPerSecondCallback(nullptr, nullptr);
    previous->setSceneGraph(nullptr);
}

SoWinViewer* OivBaseSceneManager::getLiveViewer() const {
    return m_ViewerWatch.get();
}

SoSeparator* OivBaseSceneManager::createSceneGraph(SoCamera* camera) {
    // Nothing to build around; the graph stays as it is.
    if (!camera)
        return m_SceneRoot;
    SoSeparator::setNumRenderCaches(0);
    camera->ref();
    clearLayout();

    m_SceneRoot->addChild(m_PreSceneGroup);
    m_SceneRoot->addChild(m_BackgroundSwitch);
    m_BackgroundSwitch->addChild(m_ImageBackground);
    loadBackgroundImage();
    m_ImageBackground->style.setValue(SoImageBackground::STRETCH);
    m_BackgroundSwitch->addChild(m_GradientBackground);
    m_GradientBackground->color1.setValue(m_GradientColor1);
    m_GradientBackground->color0.setValue(m_GradientColor0);
    m_BackgroundSwitch->whichChild.setValue(SO_SWITCH_NONE);
    m_BackgroundSwitch->whichChild.setValue(backgroundChild(m_Background));

    SoSeparator* branch3D = new SoSeparator;
    m_SceneRoot->addChild(branch3D);
    branch3D->addChild(camera);
    branch3D->addChild(m_EventCallback);
    branch3D->addChild(m_ProtectedRoot3D);

    // The overlay rarely changes: let it cache. It and the UI3D branch are drawn over the whole
    // scene, translucent shapes included, which would otherwise be drawn over them.
    SoSeparator::setNumRenderCaches(2);
    SoSeparator* overlay = new OivOnTopSeparator;
    m_SceneRoot->addChild(overlay);
    overlay->addChild(m_OverlayCamera);
    overlay->addChild(new SoResetTransform);
    SoLightModel* lightModel = new SoLightModel;
    lightModel->model.setValue(SoLightModel::BASE_COLOR);
    overlay->addChild(lightModel);
    overlay->addChild(new SoDirectionalLight);
    overlay->addChild(m_ProtectedRootOverlay);

    // The manager's own 2D items must never be what a pick through the overlay returns.
    m_ProtectedRootOverlay->addChild(newUnpickable());
    buildFrameRateDisplay();
    buildMessageDisplay();
    overlay->addChild(m_RootOverlay);

    SoSeparator* ui3D = new OivOnTopSeparator;
    m_SceneRoot->addChild(ui3D);
    ui3D->addChild(new SoDirectionalLight);
    SoTransparencyType* transparency = new SoTransparencyType;
    transparency->value.setValue(SoTransparencyType::ADD);
    ui3D->addChild(transparency);
    ui3D->addChild(new SoOrthographicCamera);
    ui3D->addChild(m_RootUI3D);

    // Keeps whatever a subclass appends to the protected overlay unpickable as well.
    m_ProtectedRootOverlay->addChild(newUnpickable());
    m_SceneRoot->addChild(m_PostSceneGroup);

    SoSeparator::setNumRenderCaches(0);
    camera->unref();
    return m_SceneRoot;
}

void OivBaseSceneManager::clearLayout() {
    // A second build starts from empty containers, or every branch would be drawn twice. The
    // host's own roots keep their content.
    SoGroup* const containers[] = {m_SceneRoot,         m_BackgroundSwitch,
                                   m_ProtectedRoot3D,   m_ProtectedRootOverlay,
                                   m_PerformanceSwitch, m_MessageSwitch};
    for (SoGroup* container : containers)
        container->removeAllChildren();
}

void OivBaseSceneManager::buildFrameRateDisplay() {
    m_ProtectedRootOverlay->addChild(m_PerformanceSwitch);
    setPerformanceVisible(false);
    m_PerformanceSwitch->addChild(newTextDisplay(kFrameRatePlace, m_PerformanceText));
    m_PerformanceText->justification.setValue(SoText2::RIGHT);
}

void OivBaseSceneManager::buildMessageDisplay() {
    m_ProtectedRootOverlay->addChild(m_MessageSwitch);
    setMessageVisible(false);
    // Made once: a rebuild shows the same text node again.
    if (!m_MessageText)
        m_MessageText = OivSceneSupport::held(new SoText2);
    m_MessageSwitch->addChild(newTextDisplay(kMessagePlace, m_MessageText));
}

void OivBaseSceneManager::loadBackgroundImage() {
    if (canOpen(m_BackgroundImage))
        m_ImageBackground->filename.setValue(m_BackgroundImage);
}

SoEventCallback* OivBaseSceneManager::getEventCallback() {
    return m_EventCallback;
}

SoFont* OivBaseSceneManager::getGlobalFont() {
    return m_GlobalFont;
}

SoSeparator* OivBaseSceneManager::getRootOverlay() {
    return m_RootOverlay;
}

SoSeparator* OivBaseSceneManager::getRootUI3D() {
    return m_RootUI3D;
}

OivCameraControl* OivBaseSceneManager::getCameraControl() const {
    return m_CameraControl;
}

OivBaseSceneManager::Background OivBaseSceneManager::getBackground() const {
    return m_Background;
}

SoImageBackground* OivBaseSceneManager::getImageBackground() const {
    return m_ImageBackground;
}

SoGradientBackground* OivBaseSceneManager::getGradientBackground() const {
    return m_GradientBackground;
}

void OivBaseSceneManager::setBackground(Background background) {
    m_Background = background;
    switch (background) {
    case BLACK:
    case ALTERNATE:
        m_BackgroundSwitch->whichChild.setValue(SO_SWITCH_NONE);
        if (SoWinViewer* viewer = getLiveViewer())
            viewer->setBackgroundColor(background == BLACK ? kBlack : m_AlternateColor);
        break;
    case GRADIENT:
    case IMAGE:
        m_BackgroundSwitch->whichChild.setValue(backgroundChild(background));
        break;
    default:
        break;
    }
}

void OivBaseSceneManager::setBackgroundAlternateColor(SbColor color) {
    m_AlternateColor = color;
}

void OivBaseSceneManager::setBackgroundImage(SbString path) {
    m_BackgroundImage = path;
    loadBackgroundImage();
}

void OivBaseSceneManager::setMessage(const SbString& text) {
    if (m_MessageText)
        m_MessageText->string.set1Value(0, text);
}

void OivBaseSceneManager::resetMessage() {
    if (m_MessageText)
        m_MessageText->string.deleteValues(0, 1);
}

void OivBaseSceneManager::setMessageVisible(bool visible) {
    OivSceneSupport::setShown(m_MessageSwitch, visible);
}

bool OivBaseSceneManager::isMessageVisible() const {
    return OivSceneSupport::isShown(m_MessageSwitch);
}

void OivBaseSceneManager::setPerformanceVisible(bool visible) {
    OivSceneSupport::setShown(m_PerformanceSwitch, visible);
}

bool OivBaseSceneManager::isPerformanceVisible() const {
    return OivSceneSupport::isShown(m_PerformanceSwitch);
}

void OivBaseSceneManager::setSceneContextChangeCallback(SceneContextChangeCB* callback,
                                                        void* userData) {
    m_SceneContextChangeCB = callback;
    m_SceneContextChangeData = userData;
}

SoSeparator* OivBaseSceneManager::getSceneRoot() {
    return m_SceneRoot;
}

SoSeparator* OivBaseSceneManager::getProtectedRoot3D() {
    return m_ProtectedRoot3D;
}

SoSeparator* OivBaseSceneManager::getProtectedRootOverlay() {
    return m_ProtectedRootOverlay;
}

SoCamera* OivBaseSceneManager::getCamera() {
    SoWinViewer* viewer = getLiveViewer();
    return viewer ? viewer->getCamera() : nullptr;
}

SoSeparator* OivBaseSceneManager::newTextDisplay(const ScreenPlace& place, SoText2* text) {
    SoSeparator* display = new SoSeparator;
    OivScreenPosition* position = new OivScreenPosition;
    position->setHorizontalPosition(
        static_cast<OivScreenPosition::AnchorType>(place.horizontalAnchor),
        static_cast<OivScreenPosition::MarginType>(place.horizontalMargin), place.horizontalValue);
    position->setVerticalPosition(static_cast<OivScreenPosition::AnchorType>(place.verticalAnchor),
                                  static_cast<OivScreenPosition::MarginType>(place.verticalMargin),
                                  place.verticalValue);
    display->addChild(position);
    SoBaseColor* color = new SoBaseColor;
    color->rgb.setValue(kWhite);
    display->addChild(color);
    display->addChild(newFont(kTextFontSize));
    text->string.setValue("");
    display->addChild(text);
    return display;
}

float OivBaseSceneManager::lineAboveMessage() {
    return kMessagePlace.verticalValue + kLineSpacing * kTextFontSize;
}

void OivBaseSceneManager::printInfo() {
    if (m_ViewerFps < kViewerFpsLimit)
        m_Fps = m_ViewerFps;
    char text[64];
    std::snprintf(text, sizeof(text), kFrameRateFormat, m_Fps);
    m_PerformanceText->string.set1Value(0, text);
}

void OivBaseSceneManager::sceneContextChanged() {
    if (m_SceneContextChangeCB)
        m_SceneContextChangeCB(m_SceneContextChangeData, this);
}

void OivBaseSceneManager::fpsCB(float fps, void* userData, SoWinViewer*) {
    static_cast<OivBaseSceneManager*>(userData)->reportFrameRate(fps);
}

void OivBaseSceneManager::reportFrameRate(float viewerFps) {
    m_ViewerFps = viewerFps;
    if (SoWinViewer* viewer = getLiveViewer()) {
        const double now = counterNow();
        const double elapsed = now - m_LastCounter;
        // Two reports within one counter tick measure nothing: keep the last rate.
        if (elapsed > 0.0)
            m_Fps = static_cast<float>(viewer->getNumSamples() * m_CounterFrequency / elapsed);
        m_LastCounter = now;
    }
    printInfo();
}
