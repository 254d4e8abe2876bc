// Bitmaps, brushes and the pixel calls: DIB sections, compatible bitmaps, GetObjectA,
// StretchDIBits (nearest-neighbour scaling), GetPixel and SetPixel on memory DCs.
#include "detail/DibFormat.h"
#include "detail/GdiRegistry.h"

#include <windows.h>

#include <cmath>
#include <cstring>
#include <vector>

using oivwin32::DeviceContext;
using oivwin32::DibFormat;
using oivwin32::GdiObject;
using oivwin32::GdiRegistry;

namespace {

static_assert(sizeof(BITMAP) == 32, "BITMAP must have its 64-bit Win32 layout");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER must have its Win32 layout");
static_assert(sizeof(DIBSECTION) == 104, "DIBSECTION must have its 64-bit Win32 layout");
static_assert(sizeof(LOGBRUSH) == 16, "LOGBRUSH must have its 64-bit Win32 layout");

BITMAP describe(const GdiObject& bitmap) {
    const DibFormat& format = *bitmap.format;
    BITMAP bm{};
    bm.bmWidth = format.width();
    bm.bmHeight = format.height();
    bm.bmWidthBytes = static_cast<LONG>(format.stride());
    bm.bmPlanes = 1;
    bm.bmBitsPixel = format.bitCount();
    bm.bmBits = bitmap.section ? const_cast<BYTE*>(bitmap.bits.data()) : nullptr;
    return bm;
}

// GetObjectA of a bitmap: a DIB section fills a DIBSECTION when the buffer holds one, any bitmap
// a BITMAP when it holds that; a smaller buffer gets nothing.
int describeBitmap(const GdiObject& bitmap, int size, LPVOID buffer) {
    int full =
        bitmap.section ? static_cast<int>(sizeof(DIBSECTION)) : static_cast<int>(sizeof(BITMAP));
    if (!buffer)
        return full;
    if (bitmap.section && size >= static_cast<int>(sizeof(DIBSECTION))) {
        DIBSECTION ds{};
        ds.dsBm = describe(bitmap);
        ds.dsBmih = bitmap.format->header();
        std::memcpy(buffer, &ds, sizeof ds);
        return sizeof ds;
    }
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP bm = describe(bitmap);
    std::memcpy(buffer, &bm, sizeof bm);
    return sizeof bm;
}

int describeBrush(const GdiObject& brush, int size, LPVOID buffer) {
    if (!buffer)
        return sizeof(LOGBRUSH);
    if (size < static_cast<int>(sizeof(LOGBRUSH)))
        return 0;
    LOGBRUSH lb{BS_SOLID, brush.colour, 0};
    std::memcpy(buffer, &lb, sizeof lb);
    return sizeof lb;
}

// The bitmap selected into a memory or window DC, or null.
GdiObject* targetBitmap(GdiRegistry& registry, HDC dc) {
    DeviceContext* context = registry.findDC(dc);
    return context ? registry.findBitmap(context->bitmap) : nullptr;
}

// Maps destination pixel i of a span of `destLength` (may be negative: mirrored) onto the
// source span starting at `srcStart` of `srcLength` (may be negative), sampling pixel centres.
LONG sourceIndex(int i, int destLength, int srcStart, int srcLength) {
    double u = (i + 0.5) / std::abs(destLength);
    if ((destLength < 0) != (srcLength < 0))
        u = 1.0 - u;
    double s = std::min(srcStart, srcStart + srcLength) + u * std::abs(srcLength);
    return static_cast<LONG>(std::floor(s));
}

struct Span {
    int start;  // first device coordinate covered
    int length; // may be negative
    int first() const { return length < 0 ? start + length : start; }
    int count() const { return std::abs(length); }
};

// Copies the source rectangle of the caller's DIB onto the destination rectangle of `target`,
// scaling by nearest neighbour. Pixels that fall outside either bitmap are skipped.
void stretch(const DibFormat& source, const BYTE* bits, Span srcX, Span srcY, GdiObject& target,
             Span destX, Span destY) {
    const DibFormat& dest = *target.format;
    std::vector<LONG> columns(static_cast<size_t>(destX.count()));
    for (int i = 0; i < destX.count(); ++i)
        columns[static_cast<size_t>(i)] = sourceIndex(i, destX.length, srcX.start, srcX.length);
    for (int j = 0; j < destY.count(); ++j) {
        LONG y = destY.first() + j;
        LONG sy = sourceIndex(j, destY.length, srcY.start, srcY.length);
        if (y < 0 || y >= dest.height() || sy < 0 || sy >= source.height())
            continue;
        for (int i = 0; i < destX.count(); ++i) {
            LONG x = destX.first() + i;
            LONG sx = columns[static_cast<size_t>(i)];
            if (dest.contains(x, y) && source.contains(sx, sy))
                dest.write(target.bits.data(), x, y, source.read(bits, sx, sy));
        }
    }
}

// Runs `f(bitmap)` on the bitmap selected into `dc` under the lock; `refused` when there is none.
template <class R, class F> R withTarget(HDC dc, R refused, F&& f) {
    return GdiRegistry::instance().locked([&](GdiRegistry& registry) {
        GdiObject* bitmap = targetBitmap(registry, dc);
        return bitmap ? f(*bitmap) : refused;
    });
}

} // namespace

extern "C" {

HBITMAP WINAPI CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                HANDLE section, DWORD) {
    if (bits)
        *bits = nullptr;
    // File-mapping sections and palette-index colour tables are not supported.
    std::optional<DibFormat> format;
    if (usage == DIB_RGB_COLORS && !section)
        format = DibFormat::fromInfo(info);
    if (!format) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return GdiRegistry::instance().locked([&](GdiRegistry& registry) -> HBITMAP {
        if (dc && !registry.findDC(dc)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        HGDIOBJ handle = registry.addBitmap(*format, true);
        if (!handle) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (bits)
            *bits = registry.findBitmap(handle)->bits.data();
        return static_cast<HBITMAP>(handle);
    });
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
    // Compatible with what the DC holds: a fresh memory DC holds a monochrome bitmap, so its
    // compatible bitmaps are monochrome too, as in Win32.
    return GdiRegistry::instance().locked([&](GdiRegistry& registry) -> HBITMAP {
        DeviceContext* context = registry.findDC(dc);
        GdiObject* current = context ? registry.findBitmap(context->bitmap) : nullptr;
        WORD bitCount = current ? current->format->bitCount() : 32;
        std::vector<RGBQUAD> colours =
            current ? current->format->colours() : std::vector<RGBQUAD>{};
        auto format =
            context ? DibFormat::make(width, height, true, bitCount, colours) : std::nullopt;
        HGDIOBJ handle = format ? registry.addBitmap(*format, false) : nullptr;
        if (!handle)
            SetLastError(context ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return static_cast<HBITMAP>(handle);
    });
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(GdiRegistry::instance().locked(
        [color](GdiRegistry& registry) { return registry.addBrush(color & 0xFFFFFF); }));
}

int WINAPI GetObjectA(HANDLE object, int size, LPVOID buffer) {
    return GdiRegistry::instance().locked([&](GdiRegistry& registry) {
        GdiObject* found = registry.findObject(object);
        if (!found || size < 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        return found->kind == GdiObject::Kind::Bitmap ? describeBitmap(*found, size, buffer)
                                                      : describeBrush(*found, size, buffer);
    });
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    return GdiRegistry::instance().locked(
        [object](GdiRegistry& registry) { return registry.deleteObject(object) ? TRUE : FALSE; });
}

int WINAPI StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                         int ySrc, int srcWidth, int srcHeight, const void* bits,
                         const BITMAPINFO* info, UINT usage, DWORD rop) {
    // Only plain copies of RGB-coloured DIBs are supported.
    if (!bits || !info || usage != DIB_RGB_COLORS || rop != SRCCOPY || !destWidth || !destHeight ||
        !srcWidth || !srcHeight)
        return 0;
    std::optional<DibFormat> source = DibFormat::fromInfo(info);
    if (!source ||
        (info->bmiHeader.biSizeImage && info->bmiHeader.biSizeImage < source->imageSize()))
        return 0;
    // The source origin of a bottom-up DIB is its lower-left corner.
    int srcTop = source->topDown() ? ySrc : source->height() - ySrc - srcHeight;
    return withTarget(dc, 0, [&](GdiObject& target) {
        stretch(*source, static_cast<const BYTE*>(bits), Span{xSrc, srcWidth},
                Span{srcTop, srcHeight}, target, Span{xDest, destWidth}, Span{yDest, destHeight});
        return std::abs(srcHeight);
    });
}

COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
    return withTarget(dc, COLORREF(CLR_INVALID), [&](GdiObject& bitmap) {
        const DibFormat& format = *bitmap.format;
        return format.contains(x, y) ? format.read(bitmap.bits.data(), x, y)
                                     : COLORREF(CLR_INVALID);
    });
}

COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color) {
    return withTarget(dc, COLORREF(CLR_INVALID), [&](GdiObject& bitmap) {
        const DibFormat& format = *bitmap.format;
        return format.contains(x, y) ? format.write(bitmap.bits.data(), x, y, color & 0xFFFFFF)
                                     : COLORREF(CLR_INVALID);
    });
}

UINT WINAPI GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors) {
    if (!colors)
        return 0;
    return withTarget(dc, UINT(0), [&](GdiObject& bitmap) -> UINT {
        const std::vector<RGBQUAD>& table = bitmap.format->colours();
        if (!bitmap.section || start >= table.size())
            return 0;
        UINT copied = std::min<UINT>(count, static_cast<UINT>(table.size()) - start);
        std::memcpy(colors, table.data() + start, copied * sizeof(RGBQUAD));
        return copied;
    });
}

} // extern "C"
