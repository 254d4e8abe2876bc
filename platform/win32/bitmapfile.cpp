// Writing the bitmap of a memory device context to an image file, through Coin's image library.
#include "detail/DibFormat.h"
#include "detail/GdiRegistry.h"

#include <oivwin32.h>
#include <windows.h>

#include <simage.h>

#include <vector>

using oivwin32::DibFormat;
using oivwin32::GdiObject;
using oivwin32::GdiRegistry;

namespace {

constexpr int kRgbComponents = 3;

// The bitmap's pixels as RGB bytes, bottom row first (the order the image library writes from).
std::vector<unsigned char> rgbRows(const GdiObject& bitmap) {
    const DibFormat& format = *bitmap.format;
    std::vector<unsigned char> rgb(static_cast<size_t>(format.width()) * format.height() *
                                   kRgbComponents);
    unsigned char* out = rgb.data();
    for (LONG y = format.height() - 1; y >= 0; --y)
        for (LONG x = 0; x < format.width(); ++x) {
            COLORREF colour = format.read(bitmap.bits.data(), x, y);
            *out++ = GetRValue(colour);
            *out++ = GetGValue(colour);
            *out++ = GetBValue(colour);
        }
    return rgb;
}

} // namespace

extern "C" {

BOOL WINAPI OivWin32SaveBitmapAsPng(HDC dc, LPCSTR pngPath) {
    if (!pngPath)
        return FALSE;
    LONG width = 0, height = 0;
    std::vector<unsigned char> rgb;
    bool found = GdiRegistry::instance().locked([&](GdiRegistry& registry) {
        oivwin32::DeviceContext* context = registry.findDC(dc);
        GdiObject* bitmap = context ? registry.findBitmap(context->bitmap) : nullptr;
        if (!bitmap)
            return false;
        width = bitmap->format->width();
        height = bitmap->format->height();
        rgb = rgbRows(*bitmap);
        return true;
    });
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // Encoding happens outside the lock: a page at printer resolution takes a while.
    return simage_save_image(pngPath, rgb.data(), width, height, kRgbComponents, "png") == 1
               ? TRUE
               : FALSE;
}

} // extern "C"
