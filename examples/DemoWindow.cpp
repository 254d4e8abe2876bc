#include "DemoWindow.h"

#include "CurveDemo.h"
#include "DemoScene.h"

#include "camera/OivCameraControl.h"
#include "canvas/OivCanvas.h"
#include "dui/DuiBaseDialogAuditor.h"
#include "dui/DuiCanvasToolbar.h"
#include "dui/DuiCanvasToolbarIds.h"
#include "dui/DuiIvVrmlFile.h"
#include "dui/DuiMainTest.h"
#include "dui/DuiVideoRecorder.h"
#include "scene/OivSceneManager.h"
#include "tav/OivScreenPosition.h"

#include <DialogViz/dialog/SoDialogComboBox.h>
#include <DialogViz/dialog/SoTabDialog.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoText2.h>
#include <oivwin32.h>
#include <windows.h>

#include <array>

namespace {

constexpr const char* kMainWindowClass = "OivWinTavDemo";
constexpr const char* kCurveWindowClass = "OivWinTavDemoCurve";
constexpr const char* kCurveWindowTitle = "OivWinTav demo: curve canvas";
// Room for a window manager's title bar between the demo's window and the one below it.
constexpr int kFrameGap = 40;

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Closing the curve canvas's window only hides it: its canvas lives as long as the demo's.
LRESULT CALLBACK curveWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ShowWindow(window, SW_HIDE);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Below the demo's window, clear of its frame: the dialogs go to its right.
void placeBelow(HWND window, HWND above) {
    RECT aboveRect{};
    if (GetWindowRect(above, &aboveRect))
        MoveWindow(window, aboveRect.left, aboveRect.bottom + kFrameGap, DemoScene::kWidth,
                   DemoScene::kHeight, FALSE);
}

void bind(DuiBaseDialog& dialog, OivCanvas& canvas) {
    dialog.setOivCanvas(&canvas);
    dialog.initialize();
}

// The toolbar's "Position" shows only what was chosen in it; the demo turned its camera through
// the camera control, which knows the direction.
void showDirection(DuiCanvasToolbar& toolbar, OivCanvas& canvas) {
    auto* position = DuiBaseDialog::findControl<SoDialogComboBox>(toolbar.getTopLevelDialog(),
                                                                  DuiCanvasToolbarIds::kPosition);
    if (position)
        position->selectedItem = canvas.getOivSceneManager()->getCameraControl()->getDirection();
}

// Every dialog of the library on screen, bound to the demo's canvas: the toolbar in a window of
// its own, the scene file and video recorder dialogs as pages of the test dialog ("Controls").
// A page's controls report to the test dialog's window, so their own auditors listen there.
class DemoDialogs {
public:
    explicit DemoDialogs(OivCanvas& canvas) {
        bind(m_Toolbar, canvas);
        canvas.addDUI(&m_Toolbar);
        showDirection(m_Toolbar, canvas);
        bind(m_Controls, canvas);
        for (DuiBaseDialog* page : pages()) {
            bind(*page, canvas);
            m_Controls.getTabDialog()->addChild(page->getDialogComponent());
            m_Controls.getTopLevelDialog()->addAuditor(page->getAuditor());
        }
        m_Toolbar.getTopLevelDialog()->show();
        m_Controls.getTopLevelDialog()->show();
    }
    // The pages' auditors go with their dialogs, before the test dialog that heard them.
    ~DemoDialogs() {
        for (DuiBaseDialog* page : pages()) {
            m_Controls.getTopLevelDialog()->removeAuditor(page->getAuditor());
            m_Controls.getTabDialog()->removeChild(page->getDialogComponent());
        }
    }
    DemoDialogs(const DemoDialogs&) = delete;
    DemoDialogs& operator=(const DemoDialogs&) = delete;

private:
    std::array<DuiBaseDialog*, 2> pages() { return {&m_Files, &m_Recorder}; }

    DuiCanvasToolbar m_Toolbar;
    DuiMainTest m_Controls;
    DuiIvVrmlFile m_Files;
    DuiVideoRecorder m_Recorder;
};

constexpr const char* kKeyHint =
    "Esc: view/pick   Home   S: seek   arrows: move   right button: menu";
// Above the canvas's message, lined up with it.
constexpr float kHintLeft = 0.12f;
constexpr float kHintBottom = 30.0f;

// One line over the canvas telling what the viewer's keys and right button do.
void showKeyHint(OivCanvas& canvas) {
    SoSeparator* hint = new SoSeparator;
    OivScreenPosition* place = new OivScreenPosition;
    place->setHorizontalPosition(OivScreenPosition::LEFT, OivScreenPosition::FRACTION, kHintLeft);
    place->setVerticalPosition(OivScreenPosition::BOTTOM, OivScreenPosition::PIXELS, kHintBottom);
    hint->addChild(place);
    SoBaseColor* color = new SoBaseColor;
    color->rgb.setValue(1.0f, 1.0f, 1.0f);
    hint->addChild(color);
    // The manager's font for the host's texts, smaller than its message.
    hint->addChild(canvas.getOivSceneManager()->getGlobalFont());
    SoText2* text = new SoText2;
    text->string.setValue(kKeyHint);
    hint->addChild(text);
    canvas.getOivSceneManager()->getRootOverlay()->addChild(hint);
}

} // namespace

HWND DemoWindow::createWindow(const char* windowClass, const char* title, WNDPROC procedure) {
    WNDCLASSA registered = {};
    registered.lpfnWndProc = procedure;
    registered.hInstance = GetModuleHandleA(nullptr);
    registered.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    registered.lpszClassName = windowClass;
    if (!RegisterClassA(&registered))
        return nullptr;
    HWND window = CreateWindowExA(0, windowClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, DemoScene::kWidth, DemoScene::kHeight, nullptr,
                                  nullptr, registered.hInstance, nullptr);
    if (window)
        SoWin::setWidgetSize(window, SbVec2s(DemoScene::kWidth, DemoScene::kHeight));
    return window;
}

HWND DemoWindow::createMainWindow(const char* title, SbVec2s size) {
    HWND window = createWindow(kMainWindowClass, title, mainWindowProc);
    if (window)
        SoWin::setWidgetSize(window, size);
    return window;
}

void DemoWindow::closeAndDrainLoop(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool DemoWindow::runUntilClosed(OivCanvas& canvas) {
    if (!OivWin32IsOnScreen())
        return false;
    HWND curveWindow = createWindow(kCurveWindowClass, kCurveWindowTitle, curveWindowProc);
    {
        DemoDialogs dialogs(canvas);
        showKeyHint(canvas);
        OivCanvas curve;
        if (curveWindow) {
            placeBelow(curveWindow, SoWin::getTopLevelWidget());
            curve.initialize(OivBaseCanvas::CURVE_VIEWER, curveWindow);
            CurveDemo::present(curve);
            SoWin::show(curveWindow);
        }
        SoWin::mainLoop();
    }
    DestroyWindow(curveWindow);
    return true;
}
