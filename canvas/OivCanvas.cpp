#include "canvas/OivCanvas.h"

#include "scene/OivSceneManager.h"
#include "viewers/OivWinExaminerViewer.h"
#include "viewers/OivWinPlaneViewer.h"

#include <Inventor/fields/SoMFFloat.h>
#include <Inventor/fields/SoMFString.h>
#include <Inventor/nodes/SoSeparator.h>

#include <iterator>

namespace {

struct ZScale {
    float value;
    const char* label;
};

// In the order of the canvas toolbar's Z-scale list.
constexpr ZScale kZScales[] = {
    {0.01f, "0.01"}, {0.1f, "0.1"}, {0.2f, "0.2"},   {0.5f, "0.5"},   {1.0f, "1"},    {2.0f, "2"},
    {3.0f, "3"},     {4.0f, "4"},   {5.0f, "5"},     {7.5f, "7.5"},   {10.0f, "10"},  {20.0f, "20"},
    {25.0f, "25"},   {50.0f, "50"}, {100.0f, "100"}, {200.0f, "200"}, {500.0f, "500"}};

} // namespace

OivCanvas::OivCanvas()
    : m_ZScales(nullptr), m_ZScaleLabels(nullptr), m_LoupeViewer(nullptr), m_LoupeWindow(nullptr) {}

OivCanvas::~OivCanvas() {
    // The base destructor deletes the scene manager before the viewer: the viewer must not call
    // it in between.
    if (m_OivViewer)
        routeViewerCallbacks(false);
    delete m_ZScales;
    delete m_ZScaleLabels;
    deleteLoupe();
}

void OivCanvas::initialize(ViewerType type, HWND parent) {
    bool built = m_OivViewer != nullptr;
    OivBaseCanvas::initialize(type, parent);
    fillZScales();
    if (m_OivViewer && !built)
        routeViewerCallbacks(true);
}

OivSceneManager* OivCanvas::getOivSceneManager() const {
    // initialize makes no other kind of manager.
    return static_cast<OivSceneManager*>(m_OivSceneManager);
}

OivBaseSceneManager* OivCanvas::createOivBaseSceneManagerInstance() {
    return new OivSceneManager();
}

void OivCanvas::fillZScales() {
    if (!m_ZScales)
        m_ZScales = new SoMFFloat;
    if (!m_ZScaleLabels)
        m_ZScaleLabels = new SoMFString;
    for (int i = 0; i < int(std::size(kZScales)); ++i) {
        m_ZScales->set1Value(i, kZScales[i].value);
        m_ZScaleLabels->set1Value(i, kZScales[i].label);
    }
}

void OivCanvas::routeViewerCallbacks(bool on) {
    OivSceneManager* manager = on ? getOivSceneManager() : nullptr;
    OivWinViewerCB* viewingModeCB = on ? OivSceneManager::viewingModeChangeCB : nullptr;
    if (m_ViewerType == PLANE_VIEWER) {
        // The plane viewer reports no mouse moves.
        static_cast<OivWinPlaneViewer*>(m_OivViewer)
            ->setViewingModeChangeCallback(viewingModeCB, manager);
        return;
    }
    auto* examiner = static_cast<OivWinExaminerViewer*>(m_OivViewer);
    examiner->setViewingModeChangeCallback(viewingModeCB, manager);
    examiner->setSystemMouseEventCallback(on ? OivSceneManager::systemMouseEventCB : nullptr,
                                          manager);
}

void OivCanvas::initializeLoupe(HWND window) {
    m_LoupeWindow = window;
    if (!m_OivViewer || !window)
        return;
    deleteLoupe();
    m_LoupeViewer = createViewer(m_ViewerType, window);
    // Unlike the main viewer, the loupe keeps the viewer's own cursor.
    configureDrawing(m_LoupeViewer);
    m_LoupeViewer->setSceneGraph(getOivSceneManager()->getRoot3D());
    m_LoupeViewer->viewAll();
    m_LoupeViewer->show();
}

void OivCanvas::deleteLoupe() {
    // The viewer layer deletes its components through the component base.
    delete static_cast<SoWinComponent*>(m_LoupeViewer);
    m_LoupeViewer = nullptr;
}
