// Registers the window classes of the viewer layer on first use.
#ifndef OIVWINTAV_SOWINWINDOWCLASS_H
#define OIVWINTAV_SOWINWINDOWCLASS_H

#include <windows.h>

namespace SoWinWindowClass {

// Registers `name` with `procedure` under SoWin's instance unless it is registered already.
// Returns that instance, which windows of the class are created with.
HINSTANCE ensure(const char* name, WNDPROC procedure);

} // namespace SoWinWindowClass

#endif // OIVWINTAV_SOWINWINDOWCLASS_H
