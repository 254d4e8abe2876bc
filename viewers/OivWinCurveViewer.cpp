#include "viewers/OivWinCurveViewer.h"

#include "tav/OivOnTopSeparator.h"
#include "tav/OivPipe.h"
#include "viewers/OivCurveResampler.h"
#include "viewers/OivTrackingPolyline.h"

#include <Inventor/SbColor.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/widgets/SoWinBitmapButton.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoHandleEventAction.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/details/SoLineDetail.h>
#include <Inventor/events/SoMouseButtonEvent.h>
#include <Inventor/lists/SoCallbackList.h>
#include <Inventor/nodekits/SoWrapperKit.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoDrawStyle.h>
#include <Inventor/nodes/SoEventCallback.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoLineSet.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoPickStyle.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <Inventor/nodes/SoTranslation.h>
#include <Inventor/nodes/SoVertexProperty.h>
#include <Inventor/sensors/SoAlarmSensor.h>
#include <Inventor/sensors/SoNodeSensor.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

namespace {

// The module whose bitmap resources hold the tracking button's pictures.
constexpr const char* kResourceModule = "OivWinTav.dll";

// Resampling: the matrix form (picked shapes, long well paths) cuts finer than the plain form.
constexpr int kMatrixFormDivisions = 1000;
constexpr int kPlainFormDivisions = 100;
// Points the resampled buffer is first made for; a curve that needs more grows it.
constexpr int kMatrixFormCapacity = 50000;
constexpr int kPlainFormCapacity = 10000;

// The compass's arms reach this far from the tracking point, in world units, whatever the view.
constexpr float kMinCompassScale = 20.0f;
constexpr float kMaxCompassScale = 100.0f;
constexpr float kDefaultTrackingObjectScale = 0.05f;
constexpr float kCompassLineWidth = 2.0f;

// Pick radius in pixels for a tracking pick.
constexpr float kPickRadius = 4.0f;
// The camera is placed on the tracking point this long after the seek animation should end.
constexpr double kSeekArrivalDelay = 0.5;

// What a space-conversion query gives for a node it cannot find.
const SbVec3f kNotFound(-999.25f, -999.25f, -999.25f);

// The direction the camera looks in: its rotated -Z axis.
SbVec3f viewingDirection(const SoCamera& camera) {
    SbMatrix rotation;
    rotation.setRotate(camera.orientation.getValue());
    return -SbVec3f(rotation[2][0], rotation[2][1], rotation[2][2]);
}

SbVec3f focalPointOf(const SoCamera& camera) {
    return camera.position.getValue() + viewingDirection(camera) * camera.focalDistance.getValue();
}

// Puts the camera `distance` back from `point` along its line of sight.
void lookAt(SoCamera& camera, const SbVec3f& point, float distance) {
    camera.position.setValue(point - viewingDirection(camera) * distance);
}

bool isFinite(const SbVec3f& point) {
    return std::isfinite(point[0]) && std::isfinite(point[1]) && std::isfinite(point[2]);
}

SoCallbackListCB* asListCallback(OivWinCurveViewer::TrackingCallback* function) {
    return reinterpret_cast<SoCallbackListCB*>(function);
}

// The list would call a null function the next time it fires.
void addToList(SoCallbackList* list, OivWinCurveViewer::TrackingCallback* function,
               void* userData) {
    if (function)
        list->addCallback(asListCallback(function), userData);
}

} // namespace

OivWinCurveViewer::OivWinCurveViewer(HWND parent, const char* name, SbBool buildInsideParent,
                                     SoWinFullViewer::BuildFlag flag, SoWinViewer::Type type)
    : inherited(parent, name, buildInsideParent, flag, type, FALSE), m_TrackingButtons(),
      m_ButtonParentWindow(nullptr), m_TrackingEnabled(false), m_HomeTrackingPoint(0, 0, 0),
      m_TrackingCompassTranslation(nullptr), m_TrackingCompassSwitch(nullptr),
      m_TrackingCompassScale(nullptr), m_TrackingCompassMaterial(nullptr),
      m_TrackingObjectScale(kDefaultTrackingObjectScale), m_TrackingCompassNode(nullptr),
      m_TrackingCompassRoot(nullptr), m_AutoPickingTrackingNode(true),
      m_TrackingPointChangedCallbacks(new SoCallbackList),
      m_TrackingCurveChangedCallbacks(new SoCallbackList),
      m_PreTrackingCurveChangedCallbacks(new SoCallbackList),
      m_TrackingCurveChangedCallbackEnabled(true), m_TrackingPointChangedCallbackEnabled(true),
      m_TrackingCurveDefined(false), m_ResampledTrackingCurve(nullptr), m_TrackingCurve(nullptr),
      m_TrackingPoint(0, 0, 0), m_NumResampledPoints(0), m_NumPointsOfInputTrackingCurve(0),
      m_TrackingNodeDefined(false), m_TrackingNode(nullptr), m_PreTrackingNode(nullptr),
      m_PreTrackingPoint(0, 0, 0), m_TrackingNodeMatrix(SbMatrix::identity()),
      m_ResampledCapacity(0), m_TrackingPointInNodeSpace(kNotFound),
      m_TrackingPointInObjectSpace(kNotFound), m_TrackingCompassParent(nullptr),
      m_SeekArrivalSensor(new SoAlarmSensor(&OivWinCurveViewer::seekArrivedCB, this)),
      m_TrackingNodeWatch(newNodeWatch(&OivWinCurveViewer::trackingNodeDeletedCB, this)),
      m_PreTrackingNodeWatch(newNodeWatch(&OivWinCurveViewer::preTrackingNodeDeletedCB, this)) {
    buildTrackingCompass();
    placeTrackingCompass(getInternalRoot(), -1);
    setEventCallback(&OivWinCurveViewer::eventCB, this);
    // Built last, so that the SDK's call of createViewerButtons reaches this class.
    setBaseWidget(buildWidget(getParentWidget()));
}

OivWinCurveViewer::~OivWinCurveViewer() {
    // Deleting the sensor unschedules it: a seek still on its way calls nobody back.
    delete m_SeekArrivalSensor;
    delete m_TrackingNodeWatch;
    delete m_PreTrackingNodeWatch;
    setEventCallback(nullptr, nullptr);
    placeTrackingCompass(nullptr, -1);
    m_TrackingCompassRoot->unref();
    m_TrackingCompassNode->unref();
    delete[] m_ResampledTrackingCurve;
    delete[] m_TrackingCurve;
    delete m_TrackingPointChangedCallbacks;
    delete m_TrackingCurveChangedCallbacks;
    delete m_PreTrackingCurveChangedCallbacks;
    for (SoWinBitmapButton*& button : m_TrackingButtons) {
        if (!button)
            continue;
        // The full viewer lays out what its list names; the window goes with the button.
        const int listed = viewerButtonWidgets->find(button->getWidget());
        if (listed >= 0)
            viewerButtonWidgets->remove(listed);
        delete button;
        button = nullptr;
    }
}

// ---- The tracking compass
// -----------------------------------------------------------------------

void OivWinCurveViewer::buildTrackingCompass(void) {
    // Drawn over the scene, translucent shapes included: the point the camera follows is seen
    // inside a pipe or under the ground too.
    m_TrackingCompassRoot = new OivOnTopSeparator;
    m_TrackingCompassRoot->ref();
    m_TrackingCompassTranslation = new SoTranslation;
    m_TrackingCompassScale = new SoScale;
    m_TrackingCompassSwitch = new SoSwitch;
    m_TrackingCompassSwitch->whichChild.setValue(SO_SWITCH_NONE);
    m_TrackingCompassMaterial = new SoMaterial;
    m_TrackingCompassMaterial->diffuseColor.setValue(1.0f, 0.0f, 0.0f);
    m_TrackingCompassSwitch->addChild(m_TrackingCompassMaterial);
    m_TrackingCompassSwitch->addChild(getTrackingCompassNode());
    m_TrackingCompassRoot->addChild(m_TrackingCompassTranslation);
    m_TrackingCompassRoot->addChild(m_TrackingCompassScale);
    m_TrackingCompassRoot->addChild(m_TrackingCompassSwitch);
}

SoNode* OivWinCurveViewer::getTrackingCompassNode() {
    if (m_TrackingCompassNode)
        return m_TrackingCompassNode;
    static const SbVec3f kVertices[] = {{-1, 0, 0}, {1, 0, 0},  {0, -1, 0},
                                        {0, 1, 0},  {0, 0, -1}, {0, 0, 1}};
    static const SbColor kAxisColours[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    constexpr int kVerticesPerAxis = 2;
    SoVertexProperty* property = new SoVertexProperty;
    property->vertex.setValues(0, int(std::size(kVertices)), kVertices);
    for (int vertex = 0; vertex < int(std::size(kVertices)); ++vertex)
        property->orderedRGBA.set1Value(
            vertex, kAxisColours[vertex / kVerticesPerAxis].getPackedValue(0.0f));
    property->materialBinding.setValue(SoVertexProperty::PER_VERTEX);
    SoLineSet* axes = new SoLineSet;
    const int32_t numVertices[] = {kVerticesPerAxis, kVerticesPerAxis, kVerticesPerAxis};
    axes->numVertices.setValues(0, int(std::size(numVertices)), numVertices);
    axes->vertexProperty.setValue(property);

    SoSeparator* compass = new SoSeparator;
    compass->ref();
    // The compass is a line set itself: picked, it would become the tracking curve, and a seek
    // would stop on it instead of on the scene behind.
    SoPickStyle* unpickable = new SoPickStyle;
    unpickable->style.setValue(SoPickStyle::UNPICKABLE);
    compass->addChild(unpickable);
    SoDrawStyle* drawStyle = new SoDrawStyle;
    drawStyle->lineWidth.setValue(kCompassLineWidth);
    compass->addChild(drawStyle);
    SoLightModel* unlit = new SoLightModel;
    unlit->model.setValue(SoLightModel::BASE_COLOR);
    compass->addChild(unlit);
    compass->addChild(axes);
    m_TrackingCompassNode = compass;
    return m_TrackingCompassNode;
}

void OivWinCurveViewer::placeTrackingCompass(SoGroup* parent, int index) {
    if (m_TrackingCompassParent) {
        m_TrackingCompassParent->removeChild(m_TrackingCompassRoot);
        m_TrackingCompassParent->unref();
        m_TrackingCompassParent = nullptr;
    }
    if (!parent)
        return;
    parent->ref();
    m_TrackingCompassParent = parent;
    // A parent with fewer children than asked for gets the compass at its end.
    if (index < 0 || index > parent->getNumChildren())
        parent->addChild(m_TrackingCompassRoot);
    else
        parent->insertChild(m_TrackingCompassRoot, index);
}

void OivWinCurveViewer::scaleTrackingCompass() {
    SoCamera* camera = getCamera();
    if (!camera)
        return;
    const float s =
        camera->getViewVolume(0.0f).getWorldToScreenScale(m_TrackingPoint, m_TrackingObjectScale);
    const float clamped = std::min(std::max(s, kMinCompassScale), kMaxCompassScale);
    m_TrackingCompassScale->scaleFactor.setValue(clamped, clamped, clamped);
}

void OivWinCurveViewer::setTrackingObjectScale(float scale) {
    m_TrackingObjectScale = scale;
    scaleTrackingCompass();
}

// ---- The tracking curve and point
// ---------------------------------------------------------------

void OivWinCurveViewer::setTrackingCurve(int startIndex, int numPoints, const SbVec3f* points,
                                         const SbVec3f& initialPoint, const SbMatrix& matrix,
                                         bool adjustCamera) {
    installCurve(startIndex, numPoints, points, initialPoint, &matrix, adjustCamera);
}

void OivWinCurveViewer::setTrackingCurve(int startIndex, int numPoints, const SbVec3f* points,
                                         const SbVec3f& initialPoint, bool adjustCamera) {
    installCurve(startIndex, numPoints, points, initialPoint, nullptr, adjustCamera);
}

void OivWinCurveViewer::installCurve(int startIndex, int numPoints, const SbVec3f* points,
                                     const SbVec3f& initialPoint, const SbMatrix* matrix,
                                     bool adjustCamera) {
    // A curve has a first point; without one the present curve stays.
    if (numPoints < 1 || !points || startIndex < 0)
        return;
    const SbVec3f* curve = points + startIndex;
    m_TrackingCurveDefined = true;
    m_TrackingCompassSwitch->whichChild.setValue(SO_SWITCH_ALL);
    setCurvePoints(numPoints, curve, matrix);
    resampleCurve(numPoints, curve, matrix);
    SbVec3f initial = initialPoint;
    if (matrix)
        matrix->multVecMatrix(initialPoint, initial);
    updateTrackingPoint(initial, adjustCamera, true);
}

void OivWinCurveViewer::setCurvePoints(int numPoints, const SbVec3f* points,
                                       const SbMatrix* matrix) {
    delete[] m_TrackingCurve;
    m_NumPointsOfInputTrackingCurve = numPoints;
    m_TrackingCurve = new SbVec3f[numPoints];
    for (int k = 0; k < numPoints; ++k) {
        if (matrix)
            matrix->multVecMatrix(points[k], m_TrackingCurve[k]);
        else
            m_TrackingCurve[k] = points[k];
    }
}

void OivWinCurveViewer::resampleCurve(int numPoints, const SbVec3f* points,
                                      const SbMatrix* matrix) {
    const OivCurveResampler resampler(points, numPoints,
                                      matrix ? kMatrixFormDivisions : kPlainFormDivisions);
    if (!m_ResampledTrackingCurve) {
        m_ResampledCapacity = matrix ? kMatrixFormCapacity : kPlainFormCapacity;
        m_ResampledTrackingCurve = new SbVec3f[m_ResampledCapacity];
    }
    // Grown rather than overrun: a long plain-form curve, or a matrix-form curve after a
    // plain-form buffer, needs more than the first allocation holds.
    const int needed = resampler.countPoints();
    if (needed > m_ResampledCapacity) {
        delete[] m_ResampledTrackingCurve;
        m_ResampledCapacity = needed;
        m_ResampledTrackingCurve = new SbVec3f[m_ResampledCapacity];
    }
    m_NumResampledPoints = resampler.resample(matrix, m_ResampledTrackingCurve);
    m_ResampledIndex.build(m_ResampledTrackingCurve, m_NumResampledPoints);
}

void OivWinCurveViewer::forgetCurve(void) {
    delete[] m_ResampledTrackingCurve;
    delete[] m_TrackingCurve;
    m_ResampledTrackingCurve = nullptr;
    m_TrackingCurve = nullptr;
    m_ResampledCapacity = 0;
    m_NumResampledPoints = 0;
    m_NumPointsOfInputTrackingCurve = 0;
    m_ResampledIndex.clear();
    m_TrackingPoint.setValue(0.0f, 0.0f, 0.0f);
    m_TrackingCurveDefined = false;
    rememberTrackingNode(nullptr);
}

void OivWinCurveViewer::moveTrackingPoint(const SbVec3f& point) {
    m_TrackingPoint = point;
    m_TrackingCompassTranslation->translation.setValue(point);
}

void OivWinCurveViewer::notifyTrackingPointChanged(void) {
    if (m_TrackingPointChangedCallbackEnabled)
        m_TrackingPointChangedCallbacks->invokeCallbacks(this);
}

void OivWinCurveViewer::updateTrackingPoint(const SbVec3f& point, bool adjustCamera,
                                            bool curveChanged) {
    // A point that is not finite would take the camera, and every later view, with it to nowhere.
    if (isFinite(point))
        moveTrackingPoint(point);
    if (curveChanged && m_TrackingCurveChangedCallbackEnabled)
        m_TrackingCurveChangedCallbacks->invokeCallbacks(this);
    notifyTrackingPointChanged();
    if (adjustCamera)
        adjustCameraToTrackingPoint();
}

void OivWinCurveViewer::updateTrackingPoint(const SbVec3f& point, const SbMatrix& matrix,
                                            bool adjustCamera) {
    SbVec3f world;
    matrix.multVecMatrix(point, world);
    updateTrackingPoint(world, adjustCamera, false);
}

void OivWinCurveViewer::updateTrackingPointInTrackingNodeSpace(const SbVec3f& point) {
    updateTrackingPoint(point, m_TrackingNodeMatrix, true);
}

SbVec3f& OivWinCurveViewer::getTrackingPointInTrackingNodeSpace() {
    m_TrackingNodeMatrix.inverse().multVecMatrix(m_TrackingPoint, m_TrackingPointInNodeSpace);
    return m_TrackingPointInNodeSpace;
}

SbVec3f& OivWinCurveViewer::getTrackingPointInObjectSpace(SoNode* node) {
    m_TrackingPointInObjectSpace = kNotFound;
    SoNode* graph = getSceneGraph();
    if (!node || !graph)
        return m_TrackingPointInObjectSpace;
    SoSearchAction search;
    search.setNode(node);
    search.setInterest(SoSearchAction::FIRST);
    search.apply(graph);
    if (SoPath* path = search.getPath()) {
        SoGetMatrixAction matrix(getViewportRegion());
        matrix.apply(path);
        matrix.getMatrix().inverse().multVecMatrix(m_TrackingPoint, m_TrackingPointInObjectSpace);
    }
    return m_TrackingPointInObjectSpace;
}

void OivWinCurveViewer::addTrackingPointChangedCallback(TrackingCallback* function,
                                                        void* userData) {
    addToList(m_TrackingPointChangedCallbacks, function, userData);
}

void OivWinCurveViewer::removeTrackingPointChangedCallback(TrackingCallback* function,
                                                           void* userData) {
    m_TrackingPointChangedCallbacks->removeCallback(asListCallback(function), userData);
}

void OivWinCurveViewer::addTrackingCurveChangedCallback(TrackingCallback* function,
                                                        void* userData) {
    addToList(m_TrackingCurveChangedCallbacks, function, userData);
}

void OivWinCurveViewer::removeTrackingCurveChangedCallback(TrackingCallback* function,
                                                           void* userData) {
    m_TrackingCurveChangedCallbacks->removeCallback(asListCallback(function), userData);
}

void OivWinCurveViewer::addPreTrackingCurveChangedCallback(TrackingCallback* function,
                                                           void* userData) {
    addToList(m_PreTrackingCurveChangedCallbacks, function, userData);
}

void OivWinCurveViewer::removePreTrackingCurveChangedCallback(TrackingCallback* function,
                                                              void* userData) {
    m_PreTrackingCurveChangedCallbacks->removeCallback(asListCallback(function), userData);
}

// ---- Curves from nodes
// --------------------------------------------------------------------------

void OivWinCurveViewer::recordPreTracking(SoNode* node, const SbVec3f& objectPoint) {
    rememberPreTrackingNode(node);
    m_PreTrackingPoint = objectPoint;
    if (m_TrackingCurveChangedCallbackEnabled)
        m_PreTrackingCurveChangedCallbacks->invokeCallbacks(this);
}

bool OivWinCurveViewer::installNodeCurve(SoNode* trackingNode, const std::vector<SbVec3f>& points,
                                         const SbVec3f& initialPoint, const SbMatrix& matrix,
                                         bool adjustCamera) {
    if (points.empty())
        return false;
    m_TrackingNodeMatrix = matrix;
    rememberTrackingNode(trackingNode);
    setTrackingCurve(0, int(points.size()), points.data(), initialPoint, m_TrackingNodeMatrix,
                     adjustCamera);
    return true;
}

bool OivWinCurveViewer::getTrackingInfoFromPickedNode(SoNode* root, const SbViewportRegion& region,
                                                      const SbVec2s& position, bool adjustCamera) {
    if (!root)
        return false;
    SoRayPickAction pick(region);
    pick.setPoint(position);
    pick.setRadius(kPickRadius);
    pick.apply(root);
    const SoPickedPoint* picked = pick.getPickedPoint();
    if (!picked)
        return false;
    SoNode* hit = picked->getPath()->getTail();
    const SbVec3f objectPoint = picked->getObjectPoint();

    if (hit->isOfType(OivPipe::getClassTypeId())) {
        recordPreTracking(hit, objectPoint);
        const OivPipe* pipe = static_cast<OivPipe*>(hit);
        if (!m_AutoPickingTrackingNode)
            return false;
        const std::vector<SbVec3f> path(pipe->getPathPoints(),
                                        pipe->getPathPoints() + pipe->getNumPathPoints());
        return installNodeCurve(hit, path, objectPoint, picked->getObjectToWorld(hit),
                                adjustCamera);
    }

    const SoDetail* detail = picked->getDetail();
    if (!detail || detail->getTypeId() != SoLineDetail::getClassTypeId())
        return false;
    const int line = static_cast<const SoLineDetail*>(detail)->getLineIndex();
    std::vector<SbVec3f> points;
    if (hit->getTypeId() == SoWrapperKit::getClassTypeId()) {
        SoNode* contents = static_cast<SoWrapperKit*>(hit)->getPart("contents", FALSE);
        SoNode* lineSet = OivTrackingPolyline::findLineSet(contents);
        if (!OivTrackingPolyline::isTrackable(lineSet))
            return false;
        recordPreTracking(lineSet, objectPoint);
        return m_AutoPickingTrackingNode &&
               OivTrackingPolyline::extract(lineSet, line, contents, points) &&
               installNodeCurve(lineSet, points, objectPoint, picked->getObjectToWorld(lineSet),
                                adjustCamera);
    }
    if (!OivTrackingPolyline::isTrackable(hit))
        return false;
    recordPreTracking(hit, objectPoint);
    return m_AutoPickingTrackingNode &&
           OivTrackingPolyline::extract(hit, line, picked->getPath(), points) &&
           installNodeCurve(hit, points, objectPoint, picked->getObjectToWorld(hit), adjustCamera);
}

void OivWinCurveViewer::setTrackingNode(SoNode* node, int lineIndex) {
    SoNode* graph = getSceneGraph();
    if (!node || !graph)
        return;
    SoNode* lineSet =
        OivTrackingPolyline::isTrackable(node) ? node : OivTrackingPolyline::findLineSet(node);
    if (!lineSet)
        return;
    SoSearchAction search;
    search.setNode(lineSet);
    search.setInterest(SoSearchAction::FIRST);
    search.apply(graph);
    SoPath* path = search.getPath();
    if (!path)
        return;
    SoGetMatrixAction matrix(getViewportRegion());
    matrix.apply(path);
    std::vector<SbVec3f> points;
    if (OivTrackingPolyline::extract(lineSet, lineIndex, path, points))
        installNodeCurve(node, points, points.front(), matrix.getMatrix(), true);
}

void OivWinCurveViewer::validatePreTrackingNode() {
    if (!m_PreTrackingNode)
        return;
    setTrackingNode(m_PreTrackingNode, 0);
    updateTrackingPoint(m_PreTrackingPoint, m_TrackingNodeMatrix, true);
    rememberPreTrackingNode(nullptr);
}

// The scene keeps these nodes alive, not the viewer (hosts rely on their reference counts): each
// is watched, and forgotten when it is deleted or the viewer leaves its scene, so that nothing
// reads one after it is gone.
void OivWinCurveViewer::rememberTrackingNode(SoNode* node) {
    m_TrackingNode = node;
    m_TrackingNodeDefined = node != nullptr;
    watchNode(m_TrackingNodeWatch, node);
}

void OivWinCurveViewer::rememberPreTrackingNode(SoNode* node) {
    m_PreTrackingNode = node;
    watchNode(m_PreTrackingNodeWatch, node);
}

SoNodeSensor* OivWinCurveViewer::newNodeWatch(SoSensorCB* deleted, void* data) {
    // Immediate, so that a change of the node costs a call to a function that does nothing
    // instead of a visit of the delay queue.
    auto* watch = new SoNodeSensor(&OivWinCurveViewer::nodeChangedCB, nullptr);
    watch->setPriority(0);
    watch->setDeleteCallback(deleted, data);
    return watch;
}

void OivWinCurveViewer::watchNode(SoNodeSensor* watch, SoNode* node) {
    watch->detach();
    if (node)
        watch->attach(node);
}

void OivWinCurveViewer::nodeChangedCB(void*, SoSensor*) {}

void OivWinCurveViewer::trackingNodeDeletedCB(void* data, SoSensor*) {
    static_cast<OivWinCurveViewer*>(data)->rememberTrackingNode(nullptr);
}

void OivWinCurveViewer::preTrackingNodeDeletedCB(void* data, SoSensor*) {
    static_cast<OivWinCurveViewer*>(data)->rememberPreTrackingNode(nullptr);
}

// ---- Tracking
// -----------------------------------------------------------------------------------

void OivWinCurveViewer::showTrackingBitmap(void) {
    if (SoWinBitmapButton* button = m_TrackingButtons[0])
        button->setBitmap(GetModuleHandleA(kResourceModule),
                          m_TrackingEnabled ? IDB_TRACKING_ON : IDB_TRACKING_OFF);
}

void OivWinCurveViewer::enableTracking() {
    m_TrackingEnabled = true;
    if (m_TrackingCurveDefined)
        m_TrackingCompassSwitch->whichChild.setValue(SO_SWITCH_ALL);
    showTrackingBitmap();
    SoCamera* camera = getCamera();
    if (!camera)
        return;
    if (m_TrackingCurveDefined)
        lookAt(*camera, m_TrackingPoint, camera->focalDistance.getValue());
    else
        moveTrackingPoint(focalPointOf(*camera));
    scaleTrackingCompass();
    saveHomePosition();
}

void OivWinCurveViewer::disableTracking(bool clearCurve) {
    m_TrackingEnabled = false;
    showTrackingBitmap();
    m_TrackingCompassSwitch->whichChild.setValue(SO_SWITCH_NONE);
    if (clearCurve && m_ResampledTrackingCurve)
        forgetCurve();
}

void OivWinCurveViewer::toggleTracking() {
    if (m_TrackingEnabled)
        disableTracking(true);
    else
        enableTracking();
}

void OivWinCurveViewer::adjustCameraToTrackingPoint() {
    SoCamera* camera = getCamera();
    if (!camera)
        return;
    lookAt(*camera, m_TrackingPoint, camera->focalDistance.getValue());
    scaleTrackingCompass();
    saveHomePosition();
}

void OivWinCurveViewer::setSceneGraph(SoNode* scene) {
    if (scene != getSceneGraph()) {
        rememberTrackingNode(nullptr);
        rememberPreTrackingNode(nullptr);
    }
    // The compass never stays behind in a scene the viewer leaves.
    placeTrackingCompass(getInternalRoot(), -1);
    inherited::setSceneGraph(scene);
    if (m_TrackingEnabled)
        enableTracking();
    SoCamera* camera = getCamera();
    if (!scene || !camera)
        return;
    SoSearchAction search;
    search.setNode(camera);
    search.setSearchingAll(FALSE);
    search.apply(getSceneGraph());
    SoPath* path = search.getPath();
    if (!path)
        return;
    // Next to the camera, the compass is drawn through it.
    if (path->getLength() > 1) {
        auto* parent = static_cast<SoGroup*>(path->getNodeFromTail(1));
        placeTrackingCompass(parent, parent->findChild(camera) + 2);
    }
    viewAll();
}

void OivWinCurveViewer::viewAll(void) {
    inherited::viewAll();
    SoCamera* camera = getCamera();
    if (!m_TrackingEnabled || !camera)
        return;
    const float distance = (focalPointOf(*camera) - m_TrackingPoint).length();
    const float focalDistance = 2.0f * distance + camera->focalDistance.getValue();
    lookAt(*camera, m_TrackingPoint, focalDistance);
    camera->focalDistance.setValue(focalDistance);
    scaleTrackingCompass();
}

void OivWinCurveViewer::saveHomePosition(void) {
    if (m_TrackingEnabled)
        m_HomeTrackingPoint = m_TrackingPoint;
    SoWinViewer::saveHomePosition();
}

void OivWinCurveViewer::resetToHomePosition(void) {
    SoWinExaminerViewer::resetToHomePosition();
    if (m_TrackingEnabled)
        resetToHomeTrackingPoint();
}

void OivWinCurveViewer::resetToHomeTrackingPoint() {
    moveTrackingPoint(m_HomeTrackingPoint);
    notifyTrackingPointChanged();
    scaleTrackingCompass();
}

void OivWinCurveViewer::setViewing(SbBool viewing) {
    inherited::setViewing(viewing);
    if (SoWinBitmapButton* button = m_TrackingButtons[0])
        button->select(!isViewing());
}

// ---- Buttons
// ------------------------------------------------------------------------------------

void OivWinCurveViewer::createViewerButtons(HWND parent) {
    inherited::createViewerButtons(parent);
    m_ButtonParentWindow = parent;
    SoWinBitmapButton* button = new SoWinBitmapButton(parent, 0);
    m_TrackingButtons[0] = button;
    button->showFocus(0);
    // The SDK's button handling routes a click through these to pushButtonCB.
    HWND window = button->getWidget();
    SetPropA(window, SoWinBitmapButton::kViewerProperty,
             static_cast<HANDLE>(static_cast<SoWinFullViewer*>(this)));
    SetPropA(window, SoWinBitmapButton::kIdProperty,
             reinterpret_cast<HANDLE>(intptr_t(TRACKING_BUTTON_ID)));
    SetPropA(window, SoWinBitmapButton::kButtonProperty, static_cast<HANDLE>(button));
    viewerButtonWidgets->append(window);
    showTrackingBitmap();
}

void OivWinCurveViewer::pushButtonCB(HWND hwnd, int id, void*) {
    if (id <= SEEK_BUTTON)
        SoWinFullViewer::pushButtonCB(hwnd, id, nullptr);
    else if (id == CAMERA_TYPE_BUTTON)
        SoWinExaminerViewer::pushButtonCB(hwnd, id, nullptr);
    else if (id == TRACKING_BUTTON_ID)
        toggleTracking();
}

void OivWinCurveViewer::rightWheelMotion(float value) {
    inherited::rightWheelMotion(value);
    scaleTrackingCompass();
}

// ---- Messages
// -----------------------------------------------------------------------------------

SbVec2s OivWinCurveViewer::pickingPosition(const MSG* msg) const {
    // The message's point is in screen coordinates; picking wants the drawing window's pixels
    // with the origin at the bottom left, rounded as the SDK's own seek rounds them.
    POINT point = msg->pt;
    ScreenToClient(msg->hwnd ? msg->hwnd : getNormalWidget(), &point);
    return SbVec2s(short(point.x), short(getGlxSize()[1] - 1 - point.y));
}

SbBool OivWinCurveViewer::pickAt(const MSG* msg, bool adjustCamera) {
    SoSceneManager* manager = getSceneManager();
    return getTrackingInfoFromPickedNode(manager->getSceneGraph(),
                                         manager->getGLRenderAction()->getViewportRegion(),
                                         pickingPosition(msg), adjustCamera);
}

void OivWinCurveViewer::processEvent(MSG* msg) {
    if (!msg)
        return;
    if (m_TrackingEnabled && isSeekMode())
        processSeekEvent(msg);
    else
        processUnSeekEvent(msg);
}

void OivWinCurveViewer::processSeekEvent(MSG* msg) {
    // While seeking only a click counts; the rest would move the camera off its way.
    if (msg->message != WM_LBUTTONDOWN && msg->message != WM_MBUTTONDOWN)
        return;
    if (!pickAt(msg, false)) {
        setSeekMode(FALSE);
        return;
    }
    inherited::processEvent(msg);
    // A later seek click postpones the placement; there is only ever one pending.
    m_SeekArrivalSensor->unschedule();
    m_SeekArrivalSensor->setTimeFromNow(SbTime(double(getSeekTime()) + kSeekArrivalDelay));
    m_SeekArrivalSensor->schedule();
}

void OivWinCurveViewer::seekArrivedCB(void* data, SoSensor*) {
    static_cast<OivWinCurveViewer*>(data)->adjustCameraToTrackingPoint();
}

void OivWinCurveViewer::processUnSeekEvent(MSG* msg) {
    inherited::processEvent(msg);
    if (!m_TrackingEnabled)
        return;
    scaleTrackingCompass();
    // The buttons held are the ones the move itself reports: a release this viewer never saw (one
    // that came while tracking was off, or went to another window) holds nothing down.
    const WPARAM keys = msg->wParam;
    const bool panning =
        (keys & MK_MBUTTON) != 0 || ((keys & MK_LBUTTON) && (keys & (MK_SHIFT | MK_CONTROL)));
    if (msg->message == WM_MOUSEMOVE && panning)
        snapToCurve();
}

void OivWinCurveViewer::snapToCurve(void) {
    SoCamera* camera = getCamera();
    if (!camera)
        return;
    if (m_TrackingCurveDefined) {
        const int nearest = m_ResampledIndex.findNearest(focalPointOf(*camera));
        if (nearest >= 0 && m_ResampledTrackingCurve[nearest] != m_TrackingPoint) {
            moveTrackingPoint(m_ResampledTrackingCurve[nearest]);
            notifyTrackingPointChanged();
        }
    }
    lookAt(*camera, m_TrackingPoint, camera->focalDistance.getValue());
}

SbBool OivWinCurveViewer::eventCB(void* userData, MSG* msg) {
    auto* viewer = static_cast<OivWinCurveViewer*>(userData);
    // In seek mode the click belongs to the seek, which picks for itself.
    if (!viewer || !msg || !viewer->m_TrackingEnabled || viewer->isViewing() ||
        viewer->isSeekMode())
        return FALSE;
    if (msg->message == WM_LBUTTONDOWN && !(msg->wParam & MK_SHIFT))
        viewer->pickAt(msg, true);
    // The click goes on to the viewer and the scene as well.
    return FALSE;
}

void OivWinCurveViewer::mousePressCB(void* userData, SoEventCallback* callback) {
    auto* viewer = static_cast<OivWinCurveViewer*>(userData);
    if (!viewer || !viewer->m_TrackingEnabled)
        return;
    const SoEvent* event = callback->getEvent();
    if (!SoMouseButtonEvent::isButtonPressEvent(event, SoMouseButtonEvent::ANY))
        return;
    const SbViewportRegion& region = callback->getAction()->getViewportRegion();
    viewer->getTrackingInfoFromPickedNode(viewer->getSceneManager()->getSceneGraph(), region,
                                          event->getPosition(region), true);
    callback->setHandled();
}
