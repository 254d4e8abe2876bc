// The layout of a device-independent bitmap: size, row order, bits per pixel, colour table.
//
// Knows where each pixel lies in a buffer of that layout and converts between pixels and
// COLORREF values, so GDI can read the caller's DIB bits and write its own bitmaps of any
// supported depth. Rows are addressed as on a device, y = 0 being the top row, whatever the
// order in memory.
#ifndef OIVWINTAV_WIN32_DETAIL_DIBFORMAT_H
#define OIVWINTAV_WIN32_DETAIL_DIBFORMAT_H

#include <windows.h>

#include <cstddef>
#include <optional>
#include <vector>

namespace oivwin32 {

class DibFormat {
public:
    // The format a header describes, or nothing when it is not one we support: BI_RGB with 1, 4,
    // 8, 24 or 32 bits per pixel, one plane, width above 0, height not 0, at most kMaxDimension
    // pixels each way and kMaxImageBytes of pixels. `colours` holds the header's colour table for 8
    // bits or fewer (`colourCount` entries; 0 means all 2^bits).
    static std::optional<DibFormat> fromHeader(const BITMAPINFOHEADER& header,
                                               const RGBQUAD* colours);
    // The format of a BITMAPINFO as GDI calls receive it: the colour table follows the header,
    // whose size (40, 108 or 124 bytes) says where. Nothing for a null or unsupported one.
    static std::optional<DibFormat> fromInfo(const BITMAPINFO* info);
    // Whether a header of `size` bytes is one GDI reads: BITMAPINFOHEADER, BITMAPV4HEADER or
    // BITMAPV5HEADER (the later ones begin with the same fields).
    static bool isKnownHeaderSize(DWORD size);
    // A format made here (bitmaps the library creates); same limits.
    static std::optional<DibFormat> make(LONG width, LONG height, bool topDown, WORD bitCount,
                                         std::vector<RGBQUAD> colours);

    static constexpr LONG kMaxDimension = 1 << 15;
    static constexpr size_t kMaxImageBytes = size_t(1) << 29;

    LONG width() const { return width_; }
    LONG height() const { return height_; }
    bool topDown() const { return topDown_; }
    WORD bitCount() const { return bitCount_; }
    const std::vector<RGBQUAD>& colours() const { return colours_; }
    size_t stride() const;
    size_t imageSize() const { return stride() * static_cast<size_t>(height_); }
    // The header as GetObjectA reports it (negative height for top-down rows).
    BITMAPINFOHEADER header() const;

    bool contains(LONG x, LONG y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Pixel (x, y), which must lie inside.
    COLORREF read(const BYTE* bits, LONG x, LONG y) const;
    // Stores the nearest colour the format can hold and returns it.
    COLORREF write(BYTE* bits, LONG x, LONG y, COLORREF colour) const;

private:
    DibFormat() = default;
    size_t rowOffset(LONG y) const;
    BYTE nearestIndex(COLORREF colour) const;
    COLORREF colourAt(unsigned index) const;

    LONG width_ = 0;
    LONG height_ = 0;
    bool topDown_ = false;
    WORD bitCount_ = 0;
    std::vector<RGBQUAD> colours_;
};

} // namespace oivwin32

#endif
