#include "camera/OivCanvasGroup.h"

#include "canvas/OivBaseCanvas.h"
#include "scene/OivSceneManager.h"

OivCanvasGroup::OivCanvasGroup() = default;

OivCanvasGroup::~OivCanvasGroup() = default;

void OivCanvasGroup::synchronizeToCanvas(OivBaseCanvas* source, bool cameraOnly) {
    if (!isMember(source))
        return;
    if (OivSceneManager* sourceManager = getExtendedManager(source)) {
        const float zScale = sourceManager->getGlobalZScale();
        forEachFollower(source, [zScale](OivBaseCanvas* member) {
            OivSceneManager* manager = getExtendedManager(member);
            SoCamera* camera = getViewerCamera(member);
            if (manager && camera)
                writeSilently(camera, [&] { manager->setGlobalZScale(zScale); });
        });
    }
    OivBaseCanvasGroup::synchronizeToCanvas(source, cameraOnly);
}
