#include "viewers/OivWinViewerSupport.h"

#include <Inventor/SoPath.h>
#include <Inventor/Win/viewers/SoWinViewer.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoOrthographicCamera.h>

namespace {

// View all leaves no room around the content beyond what the camera's own framing leaves.
constexpr float kViewAllSlack = 1.0f;

} // namespace

const char* const OivWinViewerSupport::MAIN_3D_ROOT_NAME = "Main3DRoot";

SoNode* OivWinViewerSupport::findMain3DRoot(SoNode* graph) {
    if (!graph)
        return nullptr;
    SoSearchAction search;
    search.setName(MAIN_3D_ROOT_NAME);
    search.setInterest(SoSearchAction::FIRST);
    search.apply(graph);
    SoPath* path = search.getPath();
    return path ? path->getTail() : nullptr;
}

SbBool OivWinViewerSupport::viewMain3DRoot(SoWinViewer& viewer) {
    SoCamera* camera = viewer.getCamera();
    SoNode* target = findMain3DRoot(viewer.getSceneGraph());
    if (!camera || !target)
        return FALSE;
    camera->viewAll(target, viewer.getGLRenderAction()->getViewportRegion(), kViewAllSlack);
    return TRUE;
}

void OivWinViewerSupport::scaleOrthographicHeight(SoCamera& camera, float factor) {
    if (camera.isOfType(SoOrthographicCamera::getClassTypeId()))
        camera.scaleHeight(factor);
}
