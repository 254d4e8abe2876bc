#include "SoWinWindowClass.h"

#include <Inventor/Win/SoWin.h>

HINSTANCE SoWinWindowClass::ensure(const char* name, WNDPROC procedure) {
    HINSTANCE instance = SoWin::getInstance();
    WNDCLASSA windowClass = {};
    if (GetClassInfoA(instance, name, &windowClass))
        return instance;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
    return instance;
}
