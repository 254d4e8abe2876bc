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

#ifdef __cplusplus
}
#endif

#endif // OIVWINTAV_OIVWIN32_H
