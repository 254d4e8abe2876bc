// Reads Windows BMP files (the format of bitmap resources) into a DIB.
//
// Coin's image library has no BMP reader, and BMP is a plain container for the DIB layout GDI
// already uses, so the reader only checks the container and copies the pixel rows. Every size
// and offset is checked against the data: a truncated or malformed file is refused, never read
// past its end.
#ifndef OIVWINTAV_WIN32_DETAIL_BMPFILE_H
#define OIVWINTAV_WIN32_DETAIL_BMPFILE_H

#include "DibFormat.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace oivwin32 {

class BmpFile {
public:
    struct Image {
        DibFormat format;
        std::vector<BYTE> bits; // format.imageSize() bytes, rows in the format's order
    };

    // Uncompressed (BI_RGB) files with 1, 4, 8, 24 or 32 bits per pixel and a
    // BITMAPINFOHEADER, BITMAPV4HEADER or BITMAPV5HEADER; anything else is refused.
    static std::optional<Image> parse(const void* data, size_t size);
    static std::optional<Image> read(const std::string& path);

    // Larger files are refused rather than read into memory.
    static constexpr size_t kMaxFileSize = size_t(64) << 20;
};

} // namespace oivwin32

#endif
