#include "viewers/OivWindowViewer.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinExaminerViewer.h>

namespace {

constexpr const char* kViewerName = "Bird's eye view";
constexpr SbBool kBuildInsideParent = TRUE;

} // namespace

OivWindowViewer::OivWindowViewer() : OivWindow(), m_Viewer(nullptr) {
    if (m_Window)
        m_Viewer = new SoWinExaminerViewer(m_Window, kViewerName, kBuildInsideParent,
                                           SoWinFullViewer::BUILD_ALL, SoWinViewer::EDITOR);
}

OivWindowViewer::~OivWindowViewer() {
    delete m_Viewer;
}

SoWinFullViewer* OivWindowViewer::getOivViewer(void) const {
    return m_Viewer;
}

void OivWindowViewer::show(void) {
    SoWin::show(m_Window);
    if (m_Viewer)
        m_Viewer->show();
}
