#include "DibFormat.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <limits>

namespace oivwin32 {

namespace {

bool isSupportedBitCount(WORD bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
}

int squaredDistance(COLORREF a, COLORREF b) {
    int dr = GetRValue(a) - GetRValue(b), dg = GetGValue(a) - GetGValue(b),
        db = GetBValue(a) - GetBValue(b);
    return dr * dr + dg * dg + db * db;
}

} // namespace

std::optional<DibFormat> DibFormat::make(LONG width, LONG height, bool topDown, WORD bitCount,
                                         std::vector<RGBQUAD> colours) {
    bool palettised = bitCount <= 8;
    if (!isSupportedBitCount(bitCount) || width <= 0 || height <= 0 || width > kMaxDimension ||
        height > kMaxDimension ||
        (palettised && (colours.empty() || colours.size() > (1u << bitCount))) ||
        (!palettised && !colours.empty()))
        return std::nullopt;
    DibFormat format;
    format.width_ = width;
    format.height_ = height;
    format.topDown_ = topDown;
    format.bitCount_ = bitCount;
    format.colours_ = std::move(colours);
    if (format.imageSize() > kMaxImageBytes)
        return std::nullopt;
    return format;
}

std::optional<DibFormat> DibFormat::fromHeader(const BITMAPINFOHEADER& header,
                                               const RGBQUAD* colours) {
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 ||
        header.biCompression != BI_RGB || !isSupportedBitCount(header.biBitCount) ||
        header.biHeight == 0 || header.biHeight == std::numeric_limits<LONG>::min())
        return std::nullopt;
    std::vector<RGBQUAD> table;
    if (header.biBitCount <= 8) {
        DWORD full = 1u << header.biBitCount;
        DWORD count = header.biClrUsed ? header.biClrUsed : full;
        if (count > full || !colours)
            return std::nullopt;
        table.assign(colours, colours + count);
    }
    return make(header.biWidth, std::labs(header.biHeight), header.biHeight < 0, header.biBitCount,
                std::move(table));
}

bool DibFormat::isKnownHeaderSize(DWORD size) {
    constexpr DWORD kHeaderSizes[] = {sizeof(BITMAPINFOHEADER), 108, 124}; // plain, V4, V5
    return std::find(std::begin(kHeaderSizes), std::end(kHeaderSizes), size) !=
           std::end(kHeaderSizes);
}

std::optional<DibFormat> DibFormat::fromInfo(const BITMAPINFO* info) {
    if (!info || !isKnownHeaderSize(info->bmiHeader.biSize))
        return std::nullopt;
    const BYTE* header = reinterpret_cast<const BYTE*>(&info->bmiHeader);
    return fromHeader(info->bmiHeader,
                      reinterpret_cast<const RGBQUAD*>(header + info->bmiHeader.biSize));
}

size_t DibFormat::stride() const {
    // Rows are padded to whole 32-bit words.
    return ((static_cast<size_t>(width_) * bitCount_ + 31) / 32) * 4;
}

BITMAPINFOHEADER DibFormat::header() const {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width_;
    h.biHeight = topDown_ ? -height_ : height_;
    h.biPlanes = 1;
    h.biBitCount = bitCount_;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(imageSize());
    h.biClrUsed = static_cast<DWORD>(colours_.size());
    return h;
}

size_t DibFormat::rowOffset(LONG y) const {
    LONG row = topDown_ ? y : height_ - 1 - y;
    return static_cast<size_t>(row) * stride();
}

COLORREF DibFormat::colourAt(unsigned index) const {
    if (index >= colours_.size())
        return RGB(0, 0, 0); // an index past a short colour table
    const RGBQUAD& q = colours_[index];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

BYTE DibFormat::nearestIndex(COLORREF colour) const {
    size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < colours_.size(); ++i) {
        int d = squaredDistance(colour, colourAt(static_cast<unsigned>(i)));
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<BYTE>(best);
}

COLORREF DibFormat::read(const BYTE* bits, LONG x, LONG y) const {
    const BYTE* row = bits + rowOffset(y);
    size_t bit = static_cast<size_t>(x) * bitCount_;
    switch (bitCount_) {
    case 1:
    case 4:
    case 8: {
        unsigned shift = 8 - bitCount_ - static_cast<unsigned>(bit % 8);
        unsigned mask = (1u << bitCount_) - 1;
        return colourAt((row[bit / 8] >> shift) & mask);
    }
    default: {
        const BYTE* p = row + bit / 8; // blue, green, red (, unused)
        return RGB(p[2], p[1], p[0]);
    }
    }
}

COLORREF DibFormat::write(BYTE* bits, LONG x, LONG y, COLORREF colour) const {
    BYTE* row = bits + rowOffset(y);
    size_t bit = static_cast<size_t>(x) * bitCount_;
    switch (bitCount_) {
    case 1:
    case 4:
    case 8: {
        BYTE index = nearestIndex(colour);
        unsigned shift = 8 - bitCount_ - static_cast<unsigned>(bit % 8);
        unsigned mask = ((1u << bitCount_) - 1) << shift;
        BYTE& byte = row[bit / 8];
        byte = static_cast<BYTE>((byte & ~mask) | ((static_cast<unsigned>(index) << shift) & mask));
        return colourAt(index);
    }
    default: {
        BYTE* p = row + bit / 8;
        p[0] = GetBValue(colour);
        p[1] = GetGValue(colour);
        p[2] = GetRValue(colour);
        if (bitCount_ == 32)
            p[3] = 0;
        return RGB(p[2], p[1], p[0]);
    }
    }
}

} // namespace oivwin32
