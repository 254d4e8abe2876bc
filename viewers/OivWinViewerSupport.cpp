#include "viewers/OivWinViewerSupport.h"

#include "tav/OivFinite.h"

#include <Inventor/SoPath.h>
#include <Inventor/Win/viewers/SoWinViewer.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/fields/SoSFFloat.h>
#include <Inventor/fields/SoSFRotation.h>
#include <Inventor/fields/SoSFVec3f.h>
#include <Inventor/lists/SoFieldList.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoOrthographicCamera.h>

#include <cmath>

namespace {

// View all leaves no room around the content beyond what the camera's own framing leaves.
constexpr float kViewAllSlack = 1.0f;

// Whether every number of the camera (position, orientation, distances, height) is one.
bool isFinite(const SoCamera& camera) {
    SoFieldList fields;
    camera.getFields(fields);
    for (int i = 0; i < fields.getLength(); ++i) {
        const SoField* field = fields[i];
        if (field->isOfType(SoSFFloat::getClassTypeId()) &&
            !std::isfinite(static_cast<const SoSFFloat*>(field)->getValue()))
            return false;
        if (field->isOfType(SoSFVec3f::getClassTypeId()) &&
            !OivFinite::isFinite(static_cast<const SoSFVec3f*>(field)->getValue()))
            return false;
        if (field->isOfType(SoSFRotation::getClassTypeId())) {
            const float* q = static_cast<const SoSFRotation*>(field)->getValue().getValue();
            if (!std::isfinite(q[0]) || !std::isfinite(q[1]) || !std::isfinite(q[2]) ||
                !std::isfinite(q[3]))
                return false;
        }
    }
    return true;
}

// Gives `camera` the values of `framed` where they differ, so that it notifies only of changes.
void takeChangedValues(SoCamera& camera, const SoCamera& framed) {
    SoFieldList fields;
    camera.getFields(fields);
    for (int i = 0; i < fields.getLength(); ++i) {
        SoField* field = fields[i];
        SbName name;
        camera.getFieldName(field, name);
        const SoField* value = framed.getField(name);
        if (value && !field->isSame(*value))
            field->copyFrom(*value);
    }
}

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
    // A seek still flying would pull the camera back from the framed view, step by step.
    if (viewer.isSeeking())
        viewer.setSeekMode(FALSE);
    // Framed with a copy first: content whose bounds are no numbers, or so large that framing
    // them overflows (coordinates of 1e30 a file holds), would put the camera at no place at
    // all, from which no later view finds anything. The camera then stays where it is.
    SoCamera* framed = static_cast<SoCamera*>(camera->copy());
    framed->ref();
    framed->viewAll(target, viewer.getGLRenderAction()->getViewportRegion(), kViewAllSlack);
    if (isFinite(*framed))
        takeChangedValues(*camera, *framed);
    framed->unref();
    return TRUE;
}

void OivWinViewerSupport::scaleOrthographicHeight(SoCamera& camera, float factor) {
    if (camera.isOfType(SoOrthographicCamera::getClassTypeId()))
        camera.scaleHeight(factor);
}
