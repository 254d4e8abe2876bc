// The plane viewer of a canvas. Beyond the SDK plane viewer: view all frames only the
// application's 3D content ("Main3DRoot"), an orthographic seek also zooms in, and every
// setViewing is reported to one callback. It does not follow the mouse.
//
// Not copyable: a copy would share the SDK viewer's windows.
#ifndef OIVWINTAV_OIVWINPLANEVIEWER_H
#define OIVWINTAV_OIVWINPLANEVIEWER_H

#include "viewers/OivWinViewerSupport.h"

#include <Inventor/Win/viewers/SoWinPlaneViewer.h>

class OivWinPlaneViewer : public SoWinPlaneViewer {
    typedef SoWinPlaneViewer inherited;

public:
    // A plane viewer inside `parent` that frames only the host's content when viewing all.
    OivWinPlaneViewer(HWND parent = NULL, const char* name = NULL, SbBool buildInsideParent = 1,
                      SoWinFullViewer::BuildFlag flag = SoWinFullViewer::BUILD_ALL,
                      SoWinViewer::Type type = SoWinViewer::BROWSER);
    ~OivWinPlaneViewer() override;

    OivWinPlaneViewer(const OivWinPlaneViewer&) = delete;
    OivWinPlaneViewer& operator=(const OivWinPlaneViewer&) = delete;

    void setSeekMode(SbBool on) override;
    // Reports to the viewing-mode callback after every call, also when the mode stays.
    void setViewing(SbBool on) override;

    // Frames the first node named "Main3DRoot"; without such a node or a camera, frames as the
    // SDK viewer does.
    void viewAll(void) override;
    void toggleCameraType(void) override;

    // One callback; a new one replaces the old, a null function switches it off.
    void setViewingModeChangeCallback(OivWinViewerCB* function, void* userData);

protected:
    // The SDK step, then, for an orthographic camera, the height shrunk a little: the zooms of
    // all steps multiply.
    void interpolateSeekAnimation(float t) override;

private:
    OivWinViewerCB* m_ViewingModeChangeCB = nullptr;
    void* m_ViewingModeChangeData = nullptr;
};

#endif // OIVWINTAV_OIVWINPLANEVIEWER_H
