// The stand-alone window filled with an examiner viewer, "Bird's eye view", with all its
// decoration. Nothing gives the viewer a scene: the host does, through getOivViewer().
//
// Destroying the object deletes the viewer and then destroys the window if it still exists.
// Not copyable, like its base.
#ifndef OIVWINTAV_OIVWINDOWVIEWER_H
#define OIVWINTAV_OIVWINDOWVIEWER_H

#include "viewers/OivWindow.h"

class SoWinExaminerViewer;
class SoWinFullViewer;

class OivWindowViewer : public OivWindow {
public:
    // The window, then the viewer inside it; without a window there is no viewer.
    OivWindowViewer();
    ~OivWindowViewer() override;

    // The viewer, null when the window could not be created.
    SoWinFullViewer* getOivViewer(void) const;

    // Shows the window, then the viewer.
    void show(void) override;

protected:
    SoWinExaminerViewer* m_Viewer;
};

#endif // OIVWINTAV_OIVWINDOWVIEWER_H
