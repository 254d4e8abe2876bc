#include "canvas/OivImageOutput.h"

#include <Inventor/SbLinear.h>
#include <Inventor/SbVec2i32.h>
#include <Inventor/SoOffscreenDCRenderer.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/nodes/SoOrthographicCamera.h>

#include <algorithm>

namespace {

// Below this the background counts as black.
constexpr float kBlackSum = 1e-8f;
const SbColor kPaperWhite(1.0f, 1.0f, 1.0f);

SbColor printedBackground(const SbColor& background) {
    return background[0] + background[1] + background[2] <= kBlackSum ? kPaperWhite : background;
}

// The destination size keeps the physical size: only the horizontal resolutions are compared, and
// the one factor scales both directions. In full integers: a view of a few hundred pixels on a
// fine printer is wider than a short holds.
SbVec2i32 printedSize(HDC source, HDC page, const SbVec2s& size) {
    const int sourceDpi = GetDeviceCaps(source, LOGPIXELSX);
    const int pageDpi = GetDeviceCaps(page, LOGPIXELSX);
    if (sourceDpi == pageDpi || sourceDpi <= 0)
        return SbVec2i32(size[0], size[1]);
    const float factor = float(pageDpi) / float(sourceDpi);
    return SbVec2i32(int32_t(float(size[0]) * factor), int32_t(float(size[1]) * factor));
}

// False when nothing reached the page (not a device context that takes pictures).
bool copyOntoPage(HDC source, HDC page, const SbViewportRegion& viewport) {
    const SbVec2s origin = viewport.getViewportOriginPixels();
    const SbVec2s size = viewport.getViewportSizePixels();
    const SbVec2i32 destination = printedSize(source, page, size);
    DIBSECTION section{};
    GetObjectA(GetCurrentObject(source, OBJ_BITMAP), sizeof section, &section);
    const int copiedLines = StretchDIBits(
        page, origin[0], origin[1], destination[0], destination[1], origin[0], origin[1], size[0],
        size[1], section.dsBm.bmBits, reinterpret_cast<const BITMAPINFO*>(&section.dsBmih),
        DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    return copiedLines > 0; // 0 or GDI_ERROR on failure
}

// The point of the view volume's near plane at normalised view position (u, v).
SbVec3f nearPoint(const SbViewVolume& volume, float u, float v) {
    return volume.getPlanePoint(volume.getNearDist(), SbVec2f(u, v));
}

// The orthographic height that shows the selection whole in a window of aspect `aspect`.
float zoomedHeight(float width, float height, float aspect) {
    const float selectionAspect = width / height;
    float zoomed = aspect < selectionAspect ? width / aspect : height;
    return aspect < 1.0f ? zoomed * aspect : zoomed;
}

} // namespace

bool OivImageOutput::printPage(SoWinFullViewer* viewer, HDC page) {
    if (!viewer)
        return false;
    const SbViewportRegion viewport = viewer->getGLRenderAction()->getViewportRegion();
    SoOffscreenDCRenderer renderer(viewport);
    SoSceneManager* manager = viewer->getSceneManager();
    renderer.setBackgroundColor(printedBackground(manager->getBackgroundColor()));
    // The viewer's own action carries its transparency and antialiasing settings.
    if (SoGLRenderAction* action = manager->getGLRenderAction())
        renderer.setGLRenderAction(action);
    if (!renderer.render(manager->getSceneGraph()))
        return false;
    return copyOntoPage(renderer.getDC(), page, viewport);
}

void OivImageOutput::magnify(SoWinFullViewer* viewer, int x0, int y0, int x1, int y1) {
    SoCamera* camera = viewer ? viewer->getCamera() : nullptr;
    if (!camera)
        return;
    const SbViewportRegion& viewport = viewer->getGLRenderAction()->getViewportRegion();
    const SbVec2s window = viewport.getViewportSizePixels();
    // Each of these would divide by zero below.
    if (window[0] <= 0 || window[1] <= 0 || x0 == x1 || y0 == y1)
        return;
    const float w = window[0], h = window[1];
    const float aspect = viewport.getViewportAspectRatio();
    const float u0 = std::min(x0, x1) / w, u1 = std::max(x0, x1) / w;
    const float v0 = (h - std::max(y0, y1)) / h, v1 = (h - std::min(y0, y1)) / h;

    SbViewVolume volume = camera->getViewVolume(aspect);
    if (aspect < 1.0f)
        volume.scale(1.0f / aspect);
    const SbVec3f lowerLeft = nearPoint(volume, u0, v0);
    const SbVec3f centre = nearPoint(volume, u0 + (u1 - u0) * 0.5f, v0 + (v1 - v0) * 0.5f);
    camera->position.setValue(camera->position.getValue() + centre -
                              volume.getSightPoint(volume.getNearDist()));
    if (!camera->isOfType(SoOrthographicCamera::getClassTypeId()))
        return;
    const float width = (nearPoint(volume, u1, v0) - lowerLeft).length();
    const float height = (nearPoint(volume, u0, v1) - lowerLeft).length();
    auto* orthographic = static_cast<SoOrthographicCamera*>(camera);
    orthographic->height = zoomedHeight(width, height, aspect);
    orthographic->aspectRatio = width / height;
}
