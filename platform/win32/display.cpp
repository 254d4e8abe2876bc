// Whether the windows of the process are shown on a display (see detail/WindowSystem.h).
#include "detail/WindowSystem.h"

#include <oivwin32.h>

extern "C" {

BOOL WINAPI OivWin32IsOnScreen(void) {
    return oivwin32::WindowSystem::installed() ? TRUE : FALSE;
}

} // extern "C"
