// What the library's examiner and plane viewers share: the callback type they report through,
// the framing of the application's 3D content on view all, and the zoom of an orthographic
// camera during a seek.
#ifndef OIVWINTAV_OIVWINVIEWERSUPPORT_H
#define OIVWINTAV_OIVWINVIEWERSUPPORT_H

#include <Inventor/SbBasic.h>

class SoCamera;
class SoNode;
class SoWinViewer;

// A viewer notification: the user data given with the function, then the viewer that reports.
typedef void OivWinViewerCB(void* userData, SoWinViewer* viewer);

class OivWinViewerSupport {
public:
    // The name of the separator that holds the application's 3D content.
    static const char* const MAIN_3D_ROOT_NAME;

    // The first node named MAIN_3D_ROOT_NAME in `graph`, or null (also for a null graph).
    static SoNode* findMain3DRoot(SoNode* graph);

    // Points the viewer's camera at the viewer's 3D content root so that it fills the view.
    // FALSE, with nothing changed, when the viewer has no camera or its scene graph no such root.
    // Content that cannot be framed with numbers (bounds that are none, or overflow) leaves the
    // camera as it is.
    static SbBool viewMain3DRoot(SoWinViewer& viewer);

    // Multiplies the height of an orthographic camera by `factor`; other cameras keep theirs.
    static void scaleOrthographicHeight(SoCamera& camera, float factor);

    OivWinViewerSupport() = delete;
};

#endif // OIVWINTAV_OIVWINVIEWERSUPPORT_H
