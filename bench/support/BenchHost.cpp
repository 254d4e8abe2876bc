#include "support/BenchHost.h"

#include <Inventor/Win/SoWin.h>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace benchhost {

HWND createWindow(int width, int height) {
    static const char* const kClassName = "OivBenchHost";
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = SoWin::getInstance();
    windowClass.lpszClassName = kClassName;
    if (!GetClassInfoA(windowClass.hInstance, kClassName, &windowClass))
        RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(0, kClassName, "bench", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                        SoWin::getTopLevelWidget(), nullptr, SoWin::getInstance(), nullptr);
    SoWin::setWidgetSize(window, SbVec2s(short(width), short(height)));
    return window;
}

int run(const char* name, int argc, char** argv) {
    unsetenv("DISPLAY");
    SoWin::init(name);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace benchhost
