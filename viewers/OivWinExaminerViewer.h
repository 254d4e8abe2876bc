// The examiner viewer of a canvas (and the base of the curve viewer). Beyond the SDK examiner:
// view all frames only the application's 3D content ("Main3DRoot"), an orthographic seek also
// zooms in, every setViewing is reported to one callback, and every WM_MOUSEMOVE of the drawing
// window is recorded and reported to another, whatever mode the viewer is in. The mouse is
// followed from the first viewAll on, which installs the viewer's window procedure on the
// current drawing window.
//
// Not copyable: a copy would share the window interception and the SDK viewer's windows.
#ifndef OIVWINTAV_OIVWINEXAMINERVIEWER_H
#define OIVWINTAV_OIVWINEXAMINERVIEWER_H

#include "viewers/OivWinViewerSupport.h"

#include <Inventor/Win/viewers/SoWinExaminerViewer.h>

#include <vector>

class OivWinExaminerViewer : public SoWinExaminerViewer {
    typedef SoWinExaminerViewer inherited;

public:
    // With buildNow 0 the caller builds the widget afterwards (buildWidget, setBaseWidget).
    OivWinExaminerViewer(HWND parent = NULL, const char* name = NULL, SbBool buildInsideParent = 1,
                         SoWinFullViewer::BuildFlag flag = SoWinFullViewer::BUILD_ALL,
                         SoWinViewer::Type type = SoWinViewer::BROWSER, SbBool buildNow = 1);
    // Gives the drawing windows their former procedure back.
    ~OivWinExaminerViewer() override;

    OivWinExaminerViewer(const OivWinExaminerViewer&) = delete;
    OivWinExaminerViewer& operator=(const OivWinExaminerViewer&) = delete;

    void setSeekMode(SbBool on) override;
    // Reports to the viewing-mode callback after every call, also when the mode stays.
    void setViewing(SbBool on) override;
    void widgetChanged(HWND newWidget) override;

    // Frames the first node named "Main3DRoot" and stops a spin; without such a node or a
    // camera, frames as the SDK examiner does. Either way the drawing window is intercepted.
    void viewAll(void) override;
    // Also intercepts the drawing window used after the switch.
    void setStereoViewing(SbBool on) override;
    void toggleCameraType(void) override;

    // One callback of each kind; a new one replaces the old, a null function switches it off.
    void setViewingModeChangeCallback(OivWinViewerCB* function, void* userData);
    void setSystemMouseEventCallback(OivWinViewerCB* function, void* userData);

    // The client position of the last WM_MOUSEMOVE (pixels, origin top left, y downwards);
    // negative left of or above the window while the mouse is captured. 0 before the first.
    int getLastMouseX(void) const { return m_LastMouseX; }
    int getLastMouseY(void) const { return m_LastMouseY; }

protected:
    // The SDK step, then, for an orthographic camera, the height shrunk a little: the zooms of
    // all steps multiply.
    void interpolateSeekAnimation(float t) override;

    // Installs MouseMoveProc on the current drawing window, once per window, with the viewer
    // in the window's user data.
    void interceptWindowProc(void);
    // Records the position, then calls the mouse callback.
    void onSystemMouseMove(int x, int y);
    // The procedure the drawing window had before the interception.
    WNDPROC getOriginalWindowProc(void) const { return m_OriginalWindowProc; }

    static LRESULT CALLBACK MouseMoveProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void forgetWindow(HWND window);
    void releaseWindows(void);

    int m_LastMouseX = 0;
    int m_LastMouseY = 0;
    OivWinViewerCB* m_ViewingModeChangeCB = nullptr;
    void* m_ViewingModeChangeData = nullptr;
    OivWinViewerCB* m_SystemMouseEventCB = nullptr;
    void* m_SystemMouseEventData = nullptr;
    WNDPROC m_OriginalWindowProc = nullptr;
    // The drawing windows that carry MouseMoveProc, for the destructor to give back.
    std::vector<HWND> m_InterceptedWindows;
};

#endif // OIVWINTAV_OIVWINEXAMINERVIEWER_H
