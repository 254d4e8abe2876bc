#include "BmpFile.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace oivwin32 {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);

// Little-endian reads at checked offsets.
class Bytes {
public:
    Bytes(const BYTE* data, size_t size) : data_(data), size_(size) {}
    bool has(size_t offset, size_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    uint32_t u16(size_t offset) const { return data_[offset] | (data_[offset + 1] << 8); }
    uint32_t u32(size_t offset) const {
        return u16(offset) | (static_cast<uint32_t>(u16(offset + 2)) << 16);
    }
    const BYTE* at(size_t offset) const { return data_ + offset; }

private:
    const BYTE* data_;
    size_t size_;
};

std::optional<BITMAPINFOHEADER> infoHeader(const Bytes& file) {
    if (!file.has(0, kFileHeaderSize + kInfoHeaderSize) || file.u16(0) != 0x4D42) // "BM"
        return std::nullopt;
    uint32_t headerSize = file.u32(kFileHeaderSize);
    if (!DibFormat::isKnownHeaderSize(headerSize) || !file.has(kFileHeaderSize, headerSize))
        return std::nullopt;
    size_t h = kFileHeaderSize;
    BITMAPINFOHEADER header{};
    header.biSize = kInfoHeaderSize;
    header.biWidth = static_cast<LONG>(file.u32(h + 4));
    header.biHeight = static_cast<LONG>(file.u32(h + 8));
    header.biPlanes = static_cast<WORD>(file.u16(h + 12));
    header.biBitCount = static_cast<WORD>(file.u16(h + 14));
    header.biCompression = file.u32(h + 16);
    header.biSizeImage = file.u32(h + 20);
    header.biClrUsed = file.u32(h + 32);
    return header;
}

} // namespace

std::optional<BmpFile::Image> BmpFile::parse(const void* data, size_t size) {
    if (!data)
        return std::nullopt;
    Bytes file(static_cast<const BYTE*>(data), size);
    std::optional<BITMAPINFOHEADER> header = infoHeader(file);
    if (!header)
        return std::nullopt;
    // The colour table follows the header; it must lie inside the file and before the pixels.
    size_t tableOffset = kFileHeaderSize + file.u32(kFileHeaderSize);
    size_t tableCount = 0;
    if (header->biBitCount <= 8 && header->biBitCount > 0)
        tableCount = header->biClrUsed ? header->biClrUsed : (size_t(1) << header->biBitCount);
    if (tableCount > 256 || !file.has(tableOffset, tableCount * sizeof(RGBQUAD)))
        return std::nullopt;
    std::vector<RGBQUAD> colours(tableCount);
    if (tableCount)
        std::memcpy(colours.data(), file.at(tableOffset), tableCount * sizeof(RGBQUAD));
    std::optional<DibFormat> format =
        DibFormat::fromHeader(*header, colours.empty() ? nullptr : colours.data());
    if (!format)
        return std::nullopt;
    size_t pixelsOffset = file.u32(10);
    if (pixelsOffset < tableOffset + tableCount * sizeof(RGBQUAD) ||
        !file.has(pixelsOffset, format->imageSize()))
        return std::nullopt;
    const BYTE* pixels = file.at(pixelsOffset);
    return Image{*format, std::vector<BYTE>(pixels, pixels + format->imageSize())};
}

std::optional<BmpFile::Image> BmpFile::read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    in.seekg(0, std::ios::end);
    std::streamoff length = in.tellg();
    if (length < 0 || static_cast<unsigned long long>(length) > kMaxFileSize)
        return std::nullopt;
    in.seekg(0, std::ios::beg);
    std::vector<BYTE> bytes(static_cast<size_t>(length));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), length))
        return std::nullopt;
    return parse(bytes.data(), bytes.size());
}

} // namespace oivwin32
