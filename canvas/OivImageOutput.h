// Pictures of a canvas's view outside the normal drawing: the view printed onto a device context
// at the physical size it has on screen, and an orthographic view zoomed into a rectangle the user
// dragged.
#ifndef OIVWINTAV_OIVIMAGEOUTPUT_H
#define OIVWINTAV_OIVIMAGEOUTPUT_H

#include <windows.h>

class SoWinFullViewer;

class OivImageOutput {
public:
    // Renders the viewer's scene off screen with the viewer's own render action and copies it onto
    // `page` at the viewport's position, scaled by the ratio of the two horizontal resolutions. A
    // black background prints white, so a page is not spent on ink. False for a null viewer, when
    // the off-screen rendering fails or when nothing could be copied onto `page`.
    static bool printPage(SoWinFullViewer* viewer, HDC page);

    // Centres the view on the rectangle with corners (x0, y0) and (x1, y1) (window pixels, origin
    // top left, any order). An orthographic camera is also zoomed so that the rectangle fills the
    // view; a perspective camera only moves sideways. A rectangle without area, a window without
    // pixels or a viewer without camera leaves the camera as it was.
    static void magnify(SoWinFullViewer* viewer, int x0, int y0, int x1, int y1);

    OivImageOutput() = delete;
};

#endif // OIVWINTAV_OIVIMAGEOUTPUT_H
