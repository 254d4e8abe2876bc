// A viewer remembered together with its window, so that a node or manager that outlives the
// viewer can tell later whether the host deleted it meanwhile: the window goes with the viewer,
// and its handle is never given to another window.
#ifndef OIVWINTAV_OIVVIEWERWATCH_H
#define OIVWINTAV_OIVVIEWERWATCH_H

#include <windows.h>

class SoWinViewer;

class OivViewerWatch {
public:
    void watch(SoWinViewer* viewer);
    // The watched viewer while it exists; null when there is none or it was deleted.
    SoWinViewer* get(void) const;

private:
    SoWinViewer* m_Viewer = nullptr;
    HWND m_Widget = nullptr;
};

#endif // OIVWINTAV_OIVVIEWERWATCH_H
