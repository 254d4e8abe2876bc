#include "camera/OivCanvasGroup.h"

#include "canvas/OivBaseCanvas.h"
#include "scene/OivSceneManager.h"

namespace {

// The manager that holds the canvas's global Z scale; null for a canvas without one.
OivSceneManager* zScaleManager(OivBaseCanvas* canvas) {
    return dynamic_cast<OivSceneManager*>(canvas->getOivSceneManager());
}

} // namespace

OivCanvasGroup::OivCanvasGroup() = default;

OivCanvasGroup::~OivCanvasGroup() = default;

void OivCanvasGroup::synchronizeToCanvas(OivBaseCanvas* source, bool cameraOnly) {
    if (!isMember(source))
        return;
    if (OivSceneManager* sourceManager = zScaleManager(source)) {
        const float zScale = sourceManager->getGlobalZScale();
        forEachFollower(source, [zScale](OivBaseCanvas* member) {
            OivSceneManager* manager = zScaleManager(member);
            SoCamera* camera = getViewerCamera(member);
            if (manager && camera)
                writeSilently(camera, [&] { manager->setGlobalZScale(zScale); });
        });
    }
    OivBaseCanvasGroup::synchronizeToCanvas(source, cameraOnly);
}
