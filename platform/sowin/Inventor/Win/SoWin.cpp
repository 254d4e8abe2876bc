#include <Inventor/Win/SoWin.h>

#include "SoWinCoinMessages.h"
#include "SoWinDisplay.h"
#include "SoWinHeadlessGL.h"
#include "SoWinWindowClass.h"

#include <DialogViz/dialog/SoDialogViz.h>
#include <Inventor/SoDB.h>
#include <Inventor/SoInteraction.h>
#include <Inventor/nodekits/SoNodeKit.h>
#include <Inventor/sensors/SoSensorManager.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kDefaultTopLevelWidth = 640;
constexpr int kDefaultTopLevelHeight = 480;

struct Application {
    bool coinReady = false;
    HINSTANCE instance = nullptr;
    HWND topLevel = nullptr;
    std::vector<SoWin::InitCB*> initFunctions;
};

Application& application() {
    static Application app;
    return app;
}

// Closing the application's own top-level window ends the main loop, as in the SDK.
LRESULT CALLBACK topLevelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY && hwnd == application().topLevel) {
        application().topLevel = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void initCoin() {
    Application& app = application();
    if (app.coinReady)
        return;
    SoWinDisplay::choose();
    // Coin must know how to make off-screen contexts before anything draws: its own window
    // system fallback needs a display.
    SoWinHeadlessGL::installCoinOffscreenCallbacks();
    SoWinCoinMessages::dropGlxProbeWarning();
    SoDB::init();
    SoNodeKit::init();
    SoInteraction::init();
    SoDialogViz::init();
    if (!app.instance)
        app.instance = GetModuleHandleA(nullptr);
    app.coinReady = true;
    // A function may register further functions while it runs, so index rather than iterate.
    for (size_t i = 0; i < app.initFunctions.size(); ++i)
        app.initFunctions[i]();
}

HWND createTopLevel(const char* appName, const char* className) {
    HINSTANCE instance = SoWinWindowClass::ensure(className, topLevelProc);
    return CreateWindowExA(0, className, appName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           kDefaultTopLevelWidth, kDefaultTopLevelHeight, nullptr, nullptr,
                           instance, nullptr);
}

} // namespace

HWND SoWin::init(const char* appName, const char* className) {
    initCoin();
    Application& app = application();
    if (!app.topLevel)
        app.topLevel = createTopLevel(appName ? appName : "", className ? className : "SoWin");
    return app.topLevel;
}

void SoWin::init(HWND topLevelWidget) {
    initCoin();
    if (!application().topLevel)
        application().topLevel = topLevelWidget;
}

void SoWin::addInitCallback(InitCB* function) {
    Application& app = application();
    if (!function || std::find(app.initFunctions.begin(), app.initFunctions.end(), function) !=
                         app.initFunctions.end())
        return;
    app.initFunctions.push_back(function);
    if (app.coinReady)
        function();
}

SbBool SoWin::isInitialized(void) {
    return application().coinReady ? TRUE : FALSE;
}

HINSTANCE SoWin::getInstance(void) {
    return application().instance;
}

void SoWin::setInstance(HINSTANCE instance) {
    application().instance = instance;
}

HWND SoWin::getTopLevelWidget(void) {
    return application().topLevel;
}

void SoWin::show(HWND widget) {
    ShowWindow(widget, SW_SHOW);
}

void SoWin::hide(HWND widget) {
    ShowWindow(widget, SW_HIDE);
}

void SoWin::setWidgetSize(HWND widget, const SbVec2s size) {
    RECT bounds;
    if (!GetWindowRect(widget, &bounds))
        return;
    POINT origin = {bounds.left, bounds.top};
    if (HWND parent = GetParent(widget))
        ScreenToClient(parent, &origin);
    MoveWindow(widget, origin.x, origin.y, size[0], size[1], TRUE);
}

SbVec2s SoWin::getWidgetSize(HWND widget) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(widget, &client);
    return SbVec2s(static_cast<short>(client.right - client.left),
                   static_cast<short>(client.bottom - client.top));
}

void SoWin::mainLoop(void) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void SoWin::exitMainLoop(void) {
    PostQuitMessage(0);
}

void SoWin::doIdleTasks(void) {
    SoSensorManager* sensors = SoDB::getSensorManager();
    sensors->processTimerQueue();
    sensors->processDelayQueue(TRUE);
}
