#include "OivViewerWatch.h"

#include <Inventor/Win/viewers/SoWinViewer.h>

void OivViewerWatch::watch(SoWinViewer* viewer) {
    m_Viewer = viewer;
    m_Widget = viewer ? viewer->getWidget() : nullptr;
}

SoWinViewer* OivViewerWatch::get(void) const {
    // A viewer not built yet has no window to tell by; it is taken at its word.
    if (!m_Viewer || !m_Widget)
        return m_Viewer;
    return SoWinComponent::getComponent(m_Widget) == m_Viewer ? m_Viewer : nullptr;
}
