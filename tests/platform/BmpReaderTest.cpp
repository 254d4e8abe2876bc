// Bitmap resources read from BMP data: the layouts a resource may have, and files that are
// truncated or malformed, which are refused without reading past their end.
#include <oivwin32.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

const std::string kTrackingOn = std::string(OIVWINTAV_TEST_RESOURCE_DIR) + "/tracking_on.bmp";

std::vector<BYTE> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

void put16(std::vector<BYTE>& b, size_t at, uint32_t v) {
    b[at] = BYTE(v);
    b[at + 1] = BYTE(v >> 8);
}
void put32(std::vector<BYTE>& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

// A BMP file: header fields, `colours` table entries and raw pixel rows in file order.
std::vector<BYTE> makeBmp(int32_t width, int32_t height, uint16_t bitCount,
                          const std::vector<RGBQUAD>& colours, const std::vector<BYTE>& pixels) {
    size_t offset = 14 + 40 + colours.size() * 4;
    std::vector<BYTE> b(offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, uint32_t(offset + pixels.size()));
    put32(b, 10, uint32_t(offset));
    put32(b, 14, 40);
    put32(b, 18, uint32_t(width));
    put32(b, 22, uint32_t(height));
    put16(b, 26, 1);
    put16(b, 28, bitCount);
    put32(b, 46, uint32_t(colours.size()));
    if (!colours.empty())
        std::memcpy(b.data() + 54, colours.data(), colours.size() * 4);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

class BmpReaderTest : public ::testing::Test {
protected:
    void SetUp() override { module = OivWin32RegisterModule("BmpReaderTest.dll"); }

    BOOL add(const std::vector<BYTE>& data, WORD id = 1) {
        // A copy of exactly the given size, so a read past its end is caught by the sanitizers.
        std::vector<BYTE> exact(data);
        return OivWin32AddBitmapResource(module, id, exact.data(), exact.size());
    }

    // The pixels of the loaded resource `id`, row by row from the top.
    std::vector<COLORREF> pixels(WORD id, int width, int height) {
        HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
        EXPECT_NE(bitmap, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        std::vector<COLORREF> out;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                out.push_back(GetPixel(dc, x, y));
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
        return out;
    }

    HMODULE module = nullptr;
};

} // namespace

TEST_F(BmpReaderTest, ReadsTopDownTwentyFourBitRowsWithPadding) {
    // 3 x 2 pixels, 24 bits: 9 bytes a row padded to 12; top-down (negative height).
    std::vector<BYTE> rows{0, 0, 255, 0,   255, 0,   255, 0,  0,  0, 0, 0, //
                           0, 0, 0,   255, 255, 255, 10,  20, 30, 0, 0, 0};
    ASSERT_TRUE(add(makeBmp(3, -2, 24, {}, rows), 1));
    EXPECT_EQ(pixels(1, 3, 2),
              (std::vector<COLORREF>{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(0, 0, 0),
                                     RGB(255, 255, 255), RGB(30, 20, 10)}));
}

TEST_F(BmpReaderTest, ReadsBottomUpThirtyTwoAndOneBitAndShortColourTables) {
    std::vector<BYTE> rows32{1, 2, 3, 0, /* bottom row */ 4, 5, 6, 0 /* top row */};
    ASSERT_TRUE(add(makeBmp(1, 2, 32, {}, rows32), 2));
    EXPECT_EQ(pixels(2, 1, 2), (std::vector<COLORREF>{RGB(6, 5, 4), RGB(3, 2, 1)}));

    std::vector<RGBQUAD> mono{{0, 0, 0, 0}, {255, 255, 255, 0}};
    ASSERT_TRUE(add(makeBmp(3, 1, 1, mono, {0xA0, 0, 0, 0}), 3)); // 1 0 1
    EXPECT_EQ(pixels(3, 3, 1),
              (std::vector<COLORREF>{RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255)}));

    std::vector<RGBQUAD> two{{0, 0, 255, 0}, {255, 0, 0, 0}}; // 8 bits, only 2 colours
    ASSERT_TRUE(add(makeBmp(2, 1, 8, two, {1, 0, 0, 0}), 4));
    EXPECT_EQ(pixels(4, 2, 1), (std::vector<COLORREF>{RGB(0, 0, 255), RGB(255, 0, 0)}));
}

TEST_F(BmpReaderTest, EveryTruncationOfARealFileIsRefused) {
    std::vector<BYTE> file = readFile(kTrackingOn);
    ASSERT_EQ(file.size(), 1270u);
    ASSERT_TRUE(add(file, 5));
    for (size_t size = 0; size < file.size(); ++size)
        ASSERT_FALSE(add(std::vector<BYTE>(file.begin(), file.begin() + long(size)), 6))
            << "accepted " << size << " bytes";
    EXPECT_EQ(LoadBitmapA(module, MAKEINTRESOURCEA(6)), nullptr);
    EXPECT_FALSE(OivWin32AddBitmapResource(module, 6, nullptr, 100));
}

TEST_F(BmpReaderTest, MalformedHeadersAreRefusedAndLeaveTheResourceAsItWas) {
    std::vector<BYTE> good = readFile(kTrackingOn);
    ASSERT_TRUE(add(good, 7));
    struct Damage {
        const char* what;
        size_t at;
        uint32_t value;
        bool wide;
    };
    const Damage damages[] = {
        {"magic", 0, 'X', false},
        {"pixel offset past the end", 10, 5000, true},
        {"pixel offset inside the colour table", 10, 60, true},
        {"core header", 14, 12, true},
        {"header larger than the file", 14, 4000, true},
        {"zero width", 18, 0, true},
        {"negative width", 18, uint32_t(-48), true},
        {"zero height", 22, 0, true},
        {"height beyond the data", 22, 49, true},
        {"width overflowing the row size", 18, 0x7FFFFFFF, true},
        {"two planes", 26, 2, false},
        {"16 bits per pixel", 28, 16, false},
        {"run-length compression", 30, 2, true},
        {"more colours than 4 bits index", 46, 17, true},
    };
    for (const Damage& d : damages) {
        std::vector<BYTE> bad = good;
        if (d.wide)
            put32(bad, d.at, d.value);
        else
            put16(bad, d.at, d.value);
        EXPECT_FALSE(add(bad, 7)) << d.what;
    }
    HBITMAP still = LoadBitmapA(module, MAKEINTRESOURCEA(7));
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(still, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 48);
    DeleteObject(still);
}
