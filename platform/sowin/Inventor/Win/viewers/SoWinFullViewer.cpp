#include <Inventor/Win/viewers/SoWinFullViewer.h>

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinCameraDolly.h>
#include <Inventor/Win/widgets/SoWinBitmapButton.h>

#include "SoWinPopupMenu.h"
#include "SoWinWindowClass.h"

#include <Inventor/nodes/SoOrthographicCamera.h>

#include <algorithm>

namespace {

const char* const kFormClass = "SoWinFullViewerForm";
const char* const kPanelClass = "SoWinViewerDecoration";
const char* const kWheelClass = "SoWinThumbWheel";
// Which wheel a wheel window is (its index + 1, so that 0 means none).
const char* const kWheelProperty = "SoWinThumbWheel";

// Thickness of the decoration strips: the button column, the left wheel's column and the
// bottom wheel's row.
constexpr int kStrip = SoWinBitmapButton::kSize;
// Length of a thumbwheel along its axis.
constexpr int kWheelLength = 90;
// Turn of a thumbwheel, in radians, per pixel of drag.
constexpr float kWheelRadiansPerPixel = 0.02f;
// The popup menu's item that has no viewer button: the camera type.
constexpr int kCameraTypeItem = 100;

HWND createChild(const char* className, const char* title, HWND parent) {
    return CreateWindowExA(0, className, title, WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, parent, NULL,
                           SoWin::getInstance(), NULL);
}

SoWinFullViewer* viewerOf(HWND hwnd) {
    return reinterpret_cast<SoWinFullViewer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void setVisible(HWND hwnd, bool visible) {
    if (hwnd)
        ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
}

} // namespace

SoWinFullViewer::SoWinFullViewer(HWND parent, const char* name, SbBool embed, BuildFlag flag,
                                 Type type, SbBool buildNow)
    : inherited(parent, name, embed, type, FALSE), viewerButtonWidgets(new SbPList),
      m_BuildFlag(flag), m_Decoration((flag & BUILD_DECORATION) != 0) {
    if (buildNow)
        setBaseWidget(buildWidget(getParentWidget()));
}

SoWinFullViewer::~SoWinFullViewer() {
    // The windows outlive this part of the viewer (the GL widget and the component destroy
    // them); their procedures must no longer reach it.
    for (HWND hwnd : {m_Form, m_Wheels[0], m_Wheels[1], m_Wheels[2]})
        if (hwnd)
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    m_Buttons.clear();
    delete viewerButtonWidgets;
    SoWinPopupMenu::close(this);
}

HWND SoWinFullViewer::buildWidget(HWND parent) {
    SoWinWindowClass::ensure(kFormClass, &SoWinFullViewer::formProc);
    m_Form = createChild(kFormClass, getWidgetName(), parent);
    SetWindowLongPtrA(m_Form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    RECT client;
    if (GetClientRect(parent, &client))
        MoveWindow(m_Form, 0, 0, client.right, client.bottom, FALSE);
    m_RenderAreaWidget = inherited::buildWidget(m_Form);
    if (m_BuildFlag & BUILD_DECORATION)
        buildDecoration();
    layout();
    return m_Form;
}

void SoWinFullViewer::buildDecoration(void) {
    SoWinWindowClass::ensure(kPanelClass, &DefWindowProcA);
    SoWinWindowClass::ensure(kWheelClass, &SoWinFullViewer::wheelProc);
    m_ButtonColumn = createChild(kPanelClass, "buttons", m_Form);
    createViewerButtons(m_ButtonColumn);
    static const char* const names[] = {"left wheel", "bottom wheel", "right wheel"};
    for (int which = LEFT_WHEEL; which <= RIGHT_WHEEL; ++which) {
        m_Wheels[which] = createChild(kWheelClass, names[which], m_Form);
        SetWindowLongPtrA(m_Wheels[which], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetPropA(m_Wheels[which], kWheelProperty, reinterpret_cast<HANDLE>(intptr_t(which + 1)));
    }
}

void SoWinFullViewer::setDecoration(SbBool on) {
    m_Decoration = on;
    if (on && m_Form && !m_ButtonColumn)
        buildDecoration();
    layout();
}

void SoWinFullViewer::layout(void) {
    RECT client;
    if (!m_Form || !GetClientRect(m_Form, &client))
        return;
    const int width = client.right;
    const int height = client.bottom;
    const bool decorated = m_Decoration && m_ButtonColumn;
    for (HWND hwnd : {m_ButtonColumn, m_Wheels[0], m_Wheels[1], m_Wheels[2]})
        setVisible(hwnd, decorated);
    if (!decorated) {
        MoveWindow(m_RenderAreaWidget, 0, 0, width, height, TRUE);
        return;
    }
    const int areaWidth = std::max(width - 2 * kStrip, 1);
    const int areaHeight = std::max(height - kStrip, 1);
    MoveWindow(m_RenderAreaWidget, kStrip, 0, areaWidth, areaHeight, TRUE);
    MoveWindow(m_ButtonColumn, kStrip + areaWidth, 0, kStrip, height, TRUE);
    for (int i = 0; i < viewerButtonWidgets->getLength(); ++i)
        MoveWindow(static_cast<HWND>((*viewerButtonWidgets)[i]), 0, i * kStrip, kStrip, kStrip,
                   TRUE);
    const int wheelLength = std::min(kWheelLength, areaHeight);
    MoveWindow(m_Wheels[LEFT_WHEEL], 0, (areaHeight - wheelLength) / 2, kStrip, wheelLength, TRUE);
    MoveWindow(m_Wheels[BOTTOM_WHEEL], kStrip, areaHeight, std::min(kWheelLength, areaWidth),
               kStrip, TRUE);
    // The right wheel sits in the button column, at its foot.
    MoveWindow(m_Wheels[RIGHT_WHEEL], kStrip + areaWidth, height - kStrip - wheelLength, kStrip,
               wheelLength, TRUE);
}

// ---- Buttons
// -------------------------------------------------------------------------------------

SoWinBitmapButton* SoWinFullViewer::addViewerButton(HWND parent, int id, const char* name) {
    auto button = std::make_unique<SoWinBitmapButton>(parent, 0, name);
    HWND hwnd = button->getWidget();
    // The button's own property (SoWinBitmapButton::kButtonProperty) is set by the button.
    SetPropA(hwnd, SoWinBitmapButton::kViewerProperty, static_cast<HANDLE>(this));
    SetPropA(hwnd, SoWinBitmapButton::kIdProperty, reinterpret_cast<HANDLE>(intptr_t(id)));
    viewerButtonWidgets->append(hwnd);
    m_Buttons.push_back(std::move(button));
    return m_Buttons.back().get();
}

SoWinBitmapButton* SoWinFullViewer::findViewerButton(int id) const {
    for (const auto& button : m_Buttons)
        if (intptr_t(GetPropA(button->getWidget(), SoWinBitmapButton::kIdProperty)) == id)
            return button.get();
    return nullptr;
}

void SoWinFullViewer::createViewerButtons(HWND parent) {
    static const char* const names[] = {"pick",     "view",     "help", "home",
                                        "set home", "view all", "seek"};
    for (int id = PICK_BUTTON; id <= SEEK_BUTTON; ++id)
        addViewerButton(parent, id, names[id]);
    showViewingMode();
}

void SoWinFullViewer::pushButtonCB(HWND, int id, void*) {
    switch (id) {
    case PICK_BUTTON:
        setViewing(FALSE);
        break;
    case VIEW_BUTTON:
        setViewing(TRUE);
        break;
    case HELP_BUTTON:
        break; // this platform has no help browser to open
    case HOME_BUTTON:
        resetToHomePosition();
        break;
    case SET_HOME_BUTTON:
        saveHomePosition();
        break;
    case VIEW_ALL_BUTTON:
        viewAll();
        break;
    case SEEK_BUTTON:
        setSeekMode(!isSeekMode());
        break;
    default:
        break;
    }
}

void SoWinFullViewer::setViewing(SbBool on) {
    inherited::setViewing(on);
    showViewingMode();
}

void SoWinFullViewer::showViewingMode(void) {
    if (SoWinBitmapButton* pick = findViewerButton(PICK_BUTTON))
        pick->select(!isViewing());
    if (SoWinBitmapButton* view = findViewerButton(VIEW_BUTTON))
        view->select(isViewing());
}

// ---- Popup menu
// ----------------------------------------------------------------------------------

void SoWinFullViewer::processEvent(MSG* msg) {
    if (msg && msg->message == WM_RBUTTONDOWN && (m_BuildFlag & BUILD_POPUP) &&
        openPopupMenu(msg->pt))
        return;
    inherited::processEvent(msg);
}

SbBool SoWinFullViewer::openPopupMenu(POINT screen) {
    const SoCamera* camera = getCamera();
    std::vector<SoWinPopupMenu::Item> items = {
        {"Viewing", isViewing() ? PICK_BUTTON : VIEW_BUTTON, bool(isViewing())},
        {"View All", VIEW_ALL_BUTTON, false},
        {"Home", HOME_BUTTON, false},
        {"Set Home", SET_HOME_BUTTON, false},
        {"Seek", SEEK_BUTTON, bool(isSeekMode())},
    };
    if (camera)
        items.push_back({"Orthographic camera", kCameraTypeItem,
                         camera->isOfType(SoOrthographicCamera::getClassTypeId()) != FALSE});
    return SoWinPopupMenu::open(items, screen, popupMenuChosenCB, this);
}

void SoWinFullViewer::popupMenuChosenCB(void* data, int id) {
    static_cast<SoWinFullViewer*>(data)->popupMenuChosen(id);
}

void SoWinFullViewer::popupMenuChosen(int id) {
    // The items do what the viewer's buttons of the same ids do.
    if (id == kCameraTypeItem)
        toggleCameraType();
    else
        pushButtonCB(nullptr, id, nullptr);
}

// ---- Thumbwheels
// ---------------------------------------------------------------------------------

void SoWinFullViewer::leftWheelMotion(float value) {
    m_WheelValues[LEFT_WHEEL] = value;
}

void SoWinFullViewer::bottomWheelMotion(float value) {
    m_WheelValues[BOTTOM_WHEEL] = value;
}

void SoWinFullViewer::rightWheelMotion(float value) {
    // Turning the wheel up closes in.
    if (SoCamera* camera = getCamera())
        SoWinCameraDolly::dolly(*camera, m_WheelValues[RIGHT_WHEEL] - value);
    m_WheelValues[RIGHT_WHEEL] = value;
}

void SoWinFullViewer::wheelMoved(int which, float value) {
    switch (which) {
    case LEFT_WHEEL:
        leftWheelMotion(value);
        break;
    case BOTTOM_WHEEL:
        bottomWheelMotion(value);
        break;
    case RIGHT_WHEEL:
        rightWheelMotion(value);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK SoWinFullViewer::wheelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SoWinFullViewer* viewer = viewerOf(hwnd);
    const int which = int(intptr_t(GetPropA(hwnd, kWheelProperty))) - 1;
    if (!viewer || which < 0)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    // A vertical wheel turns with upward drags, the bottom wheel with rightward ones.
    const int along = which == BOTTOM_WHEEL ? GET_X_LPARAM(lParam) : -GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_LBUTTONDOWN:
        SetCapture(hwnd);
        viewer->m_WheelDragLast = along;
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == hwnd) {
            const float value = viewer->m_WheelValues[which] +
                                float(along - viewer->m_WheelDragLast) * kWheelRadiansPerPixel;
            viewer->m_WheelDragLast = along;
            viewer->wheelMoved(which, value);
        }
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd)
            ReleaseCapture();
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK SoWinFullViewer::formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE)
        if (SoWinFullViewer* viewer = viewerOf(hwnd))
            viewer->layout();
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
