#include "viewers/OivTrackingPicker.h"

#include "tav/OivPipe.h"
#include "viewers/OivTrackingNotifier.h"
#include "viewers/OivTrackingPolyline.h"
#include "viewers/OivWinCurveViewer.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/details/SoLineDetail.h>
#include <Inventor/nodekits/SoWrapperKit.h>

namespace {

// Pick radius in pixels for a tracking pick.
constexpr float kPickRadius = 4.0f;

} // namespace

OivTrackingPicker::OivTrackingPicker(OivWinCurveViewer& viewer, OivTrackingNotifier& notifier)
    : m_Viewer(viewer), m_Notifier(notifier), m_AutoPicking(true), m_TrackingNode(nullptr),
      m_TrackingNodeMatrix(SbMatrix::identity()), m_PreTrackingNode(nullptr),
      m_PreTrackingPoint(0, 0, 0), m_TrackingNodeWatch(&OivTrackingPicker::nodeChangedCB, nullptr),
      m_PreTrackingNodeWatch(&OivTrackingPicker::nodeChangedCB, nullptr) {
    // Immediate, so that a change of a node costs a call to a function that does nothing
    // instead of a visit of the delay queue.
    m_TrackingNodeWatch.setPriority(0);
    m_PreTrackingNodeWatch.setPriority(0);
    m_TrackingNodeWatch.setDeleteCallback(&OivTrackingPicker::trackingNodeDeletedCB, this);
    m_PreTrackingNodeWatch.setDeleteCallback(&OivTrackingPicker::preTrackingNodeDeletedCB, this);
}

// ---- Picks
// --------------------------------------------------------------------------------------

bool OivTrackingPicker::pick(SoNode* root, const SbViewportRegion& region, const SbVec2s& position,
                             bool adjustCamera) {
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
    if (hit->isOfType(OivPipe::getClassTypeId()))
        return pickPipe(*picked, hit, adjustCamera);
    return pickLineSet(*picked, hit, adjustCamera);
}

bool OivTrackingPicker::pickPipe(const SoPickedPoint& picked, SoNode* pipe, bool adjustCamera) {
    const SbVec3f objectPoint = picked.getObjectPoint();
    recordPreTracking(pipe, objectPoint);
    if (!m_AutoPicking)
        return false;
    const OivPipe* path = static_cast<OivPipe*>(pipe);
    const std::vector<SbVec3f> points(path->getPathPoints(),
                                      path->getPathPoints() + path->getNumPathPoints());
    return installNodeCurve(pipe, points, objectPoint, picked.getObjectToWorld(pipe), adjustCamera);
}

bool OivTrackingPicker::pickLineSet(const SoPickedPoint& picked, SoNode* hit, bool adjustCamera) {
    const SoDetail* detail = picked.getDetail();
    if (!detail || detail->getTypeId() != SoLineDetail::getClassTypeId())
        return false;
    const int line = static_cast<const SoLineDetail*>(detail)->getLineIndex();
    const SbVec3f objectPoint = picked.getObjectPoint();
    std::vector<SbVec3f> points;
    if (hit->getTypeId() == SoWrapperKit::getClassTypeId()) {
        SoNode* contents = static_cast<SoWrapperKit*>(hit)->getPart("contents", FALSE);
        SoNode* lineSet = OivTrackingPolyline::findLineSet(contents);
        if (!OivTrackingPolyline::isTrackable(lineSet))
            return false;
        recordPreTracking(lineSet, objectPoint);
        return m_AutoPicking && OivTrackingPolyline::extract(lineSet, line, contents, points) &&
               installNodeCurve(lineSet, points, objectPoint, picked.getObjectToWorld(lineSet),
                                adjustCamera);
    }
    if (!OivTrackingPolyline::isTrackable(hit))
        return false;
    recordPreTracking(hit, objectPoint);
    return m_AutoPicking && OivTrackingPolyline::extract(hit, line, picked.getPath(), points) &&
           installNodeCurve(hit, points, objectPoint, picked.getObjectToWorld(hit), adjustCamera);
}

void OivTrackingPicker::recordPreTracking(SoNode* node, const SbVec3f& objectPoint) {
    rememberPreTrackingNode(node);
    m_PreTrackingPoint = objectPoint;
    m_Notifier.notify(OivTrackingNotifier::PRE_TRACKING_CURVE_CHANGED, &m_Viewer);
}

bool OivTrackingPicker::installNodeCurve(SoNode* trackingNode, const std::vector<SbVec3f>& points,
                                         const SbVec3f& initialPoint, const SbMatrix& matrix,
                                         bool adjustCamera) {
    if (points.empty())
        return false;
    m_TrackingNodeMatrix = matrix;
    rememberTrackingNode(trackingNode);
    m_Viewer.setTrackingCurve(0, int(points.size()), points.data(), initialPoint,
                              m_TrackingNodeMatrix, adjustCamera);
    return true;
}

// ---- Nodes named by the host
// ----------------------------------------------------------------------

void OivTrackingPicker::setTrackingNode(SoNode* node, int lineIndex) {
    if (!node)
        return;
    SoNode* lineSet =
        OivTrackingPolyline::isTrackable(node) ? node : OivTrackingPolyline::findLineSet(node);
    if (!lineSet)
        return;
    SoSearchAction search;
    SoPath* path = findInScene(lineSet, search);
    if (!path)
        return;
    std::vector<SbVec3f> points;
    if (OivTrackingPolyline::extract(lineSet, lineIndex, path, points))
        installNodeCurve(node, points, points.front(), objectToWorld(path), true);
}

void OivTrackingPicker::validatePreTrackingNode(void) {
    if (!m_PreTrackingNode)
        return;
    setTrackingNode(m_PreTrackingNode, 0);
    m_Viewer.updateTrackingPoint(m_PreTrackingPoint, m_TrackingNodeMatrix, true);
    rememberPreTrackingNode(nullptr);
}

bool OivTrackingPicker::getObjectToWorld(SoNode* node, SbMatrix& matrix) const {
    SoSearchAction search;
    SoPath* path = findInScene(node, search);
    if (!path)
        return false;
    matrix = objectToWorld(path);
    return true;
}

SoPath* OivTrackingPicker::findInScene(SoNode* node, SoSearchAction& search) const {
    SoNode* graph = m_Viewer.getSceneGraph();
    if (!node || !graph)
        return nullptr;
    search.setNode(node);
    search.setInterest(SoSearchAction::FIRST);
    search.apply(graph);
    return search.getPath();
}

SbMatrix OivTrackingPicker::objectToWorld(SoPath* path) const {
    SoGetMatrixAction matrix(m_Viewer.getViewportRegion());
    matrix.apply(path);
    return matrix.getMatrix();
}

// ---- Watched nodes
// ------------------------------------------------------------------------------

void OivTrackingPicker::forgetNodes(void) {
    rememberTrackingNode(nullptr);
    rememberPreTrackingNode(nullptr);
}

void OivTrackingPicker::rememberTrackingNode(SoNode* node) {
    m_TrackingNode = node;
    watch(m_TrackingNodeWatch, node);
}

void OivTrackingPicker::rememberPreTrackingNode(SoNode* node) {
    m_PreTrackingNode = node;
    watch(m_PreTrackingNodeWatch, node);
}

void OivTrackingPicker::watch(SoNodeSensor& watch, SoNode* node) {
    watch.detach();
    if (node)
        watch.attach(node);
}

void OivTrackingPicker::nodeChangedCB(void*, SoSensor*) {}

void OivTrackingPicker::trackingNodeDeletedCB(void* data, SoSensor*) {
    static_cast<OivTrackingPicker*>(data)->rememberTrackingNode(nullptr);
}

void OivTrackingPicker::preTrackingNodeDeletedCB(void* data, SoSensor*) {
    static_cast<OivTrackingPicker*>(data)->rememberPreTrackingNode(nullptr);
}
