// What the GDI table holds for a bitmap or a brush, and for a device context.
#ifndef OIVWINTAV_WIN32_DETAIL_GDIOBJECT_H
#define OIVWINTAV_WIN32_DETAIL_GDIOBJECT_H

#include "DibFormat.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace oivwin32 {

struct GdiObject {
    enum class Kind { Bitmap, Brush };

    Kind kind = Kind::Bitmap;
    bool stock = false;         // never deleted
    bool deletePending = false; // DeleteObject while selected: deleted once deselected
    HDC selectedInto = nullptr; // a bitmap is selected into one device context at a time
    // Bitmaps: pixels in the given format. A DIB section hands its bits to the caller and
    // reports a DIBSECTION; a compatible bitmap reports only a BITMAP without bits.
    std::optional<DibFormat> format;
    std::vector<BYTE> bits;
    bool section = false;
    // Brushes.
    COLORREF colour = 0;
};

struct DeviceContext {
    int dotsPerInch = 96;
    HGDIOBJ bitmap = nullptr;
    HGDIOBJ brush = nullptr;
    HWND window = nullptr; // a DC of GetDC(window)
    bool screen = false;   // GetDC(NULL): the screen, which has no pixels here
};

} // namespace oivwin32

#endif
