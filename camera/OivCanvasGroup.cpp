#include "camera/OivCanvasGroup.h"

#include "canvas/OivBaseCanvas.h"

OivCanvasGroup::OivCanvasGroup() = default;

OivCanvasGroup::~OivCanvasGroup() = default;

void OivCanvasGroup::synchronizeToCanvas(OivBaseCanvas* source, bool cameraOnly) {
    if (!isMember(source))
        return;
    float zScale;
    if (source->getGlobalZScale(zScale)) {
        forEachFollower(source, [zScale](OivBaseCanvas* member) {
            // A member without a Z scale of its own ignores the call.
            if (SoCamera* camera = getViewerCamera(member))
                writeSilently(camera, [&] { member->setGlobalZScale(zScale); });
        });
    }
    OivBaseCanvasGroup::synchronizeToCanvas(source, cameraOnly);
}
