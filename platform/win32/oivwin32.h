// Additions of this platform to the Win32 subset of <windows.h>.
//
// On Windows the loader maps a module's resources and a printer driver supplies a printer's
// device context. Here nothing does that for us, so a module registers itself and its bitmap
// resources through these calls, and a host or test creates a memory device context with the
// resolution of the printer it stands for. They have no Win32 counterpart; everything they make
// is then used through the ordinary calls (GetModuleHandleA, LoadBitmapA, GetDeviceCaps, ...).
#ifndef OIVWINTAV_OIVWIN32_H
#define OIVWINTAV_OIVWIN32_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Registers a module under `moduleName` (compared without regard to case; ".dll" is assumed when
// the name has no extension, as GetModuleHandleA does) and returns its handle, the same handle
// for a name registered before. NULL for a null or empty name. The program's own module exists
// from the start: GetModuleHandleA(NULL).
HMODULE WINAPI OivWin32RegisterModule(LPCSTR moduleName);

// Adds the bitmap resource `id` of `module` from a BMP file in memory or on disk, so that
// LoadBitmapA(module, MAKEINTRESOURCEA(id)) loads it. Uncompressed BMP files with 1, 4, 8, 24 or
// 32 bits per pixel are read; a truncated or malformed file is refused (FALSE) and leaves the
// resources as they were. Adding an id again replaces the earlier bitmap.
BOOL WINAPI OivWin32AddBitmapResource(HMODULE module, WORD id, const void* bmpData, size_t size);
BOOL WINAPI OivWin32AddBitmapResourceFromFile(HMODULE module, WORD id, LPCSTR bmpPath);

// A memory device context that stands for a printer of the given resolution: GetDeviceCaps
// reports `dotsPerInch` for LOGPIXELSX and LOGPIXELSY. Select a bitmap of the page size into it
// and print onto it like onto any DC. NULL for a resolution outside 1..10000.
// (CreateCompatibleDC(NULL) gives the screen's 96 dots per inch; CreateCompatibleDC(dc) copies
// the resolution of dc.)
HDC WINAPI OivWin32CreatePrinterDC(int dotsPerInch);

// Writes the bitmap selected into the memory device context `dc` to `pngPath` as an RGB PNG file,
// whatever the bitmap's colour depth: the way a host prints to a file. FALSE when `dc` is not a
// memory DC, the path is null or the file cannot be written.
BOOL WINAPI OivWin32SaveBitmapAsPng(HDC dc, LPCSTR pngPath);

// TRUE when windows are shown on a display (SoWin::init found one), FALSE when the process is
// headless: its windows exist only in the window table and draw off screen.
BOOL WINAPI OivWin32IsOnScreen(void);

// A window handle that stands for `xWindow`, an X window of the display that the host owns (a
// toolkit's widget: QWidget::winId(), gdk_x11_window_get_xid), usable wherever a parent window is
// taken. The library's windows become X subwindows of it; its size changes arrive as WM_SIZE, and
// a component built in it (a canvas's viewer) fills it and follows its size. The library never
// moves, shows or destroys the host's window. Call after SoWin::init. NULL, saying why on
// stderr, when the process is headless; NULL when `xWindow` is no window or is attached already.
// If the host destroys its window first, the handle and the windows in it are destroyed with it.
HWND WINAPI OivWin32AttachNativeWindow(unsigned long xWindow);
// Forgets a handle of OivWin32AttachNativeWindow: destroys the library's windows in it (delete
// the components built in it first) and stops listening to the host's window, which stays.
// FALSE for any other handle.
BOOL WINAPI OivWin32DetachNativeWindow(HWND hwnd);

// For a host whose own event loop (Qt's, GLib's) drives the library instead of SoWin::mainLoop,
// from the thread that made the library's windows:
// A descriptor that becomes readable when the library has work: X events on its connection, a
// message posted to the calling thread, a change of Coin's sensor queues. Watch it for reading
// (QSocketNotifier, g_unix_fd_add) and call OivWin32ProcessEvents when it is; never read it. The
// same descriptor on every call; -1 when the system cannot make one.
int WINAPI OivWin32GetEventFd(void);
// Does without waiting what SoWin::mainLoop does: reads the X events, dispatches the posted
// messages and paints, runs Coin's due timer and alarm sensors, then its delay queue (the idle
// work: redraws). FALSE once a WM_QUIT was taken (PostQuitMessage, SoWin::exitMainLoop): the
// host may end its loop; TRUE otherwise.
BOOL WINAPI OivWin32ProcessEvents(void);
// In how many milliseconds OivWin32ProcessEvents must run again although the descriptor stays
// quiet: when Coin's next timer sensor is due (an animation, a spin, a recording), 0 when work
// waits already, -1 when nothing is scheduled.
int WINAPI OivWin32GetNextTimeoutMs(void);

#ifdef __cplusplus
}
#endif

#endif // OIVWINTAV_OIVWIN32_H
