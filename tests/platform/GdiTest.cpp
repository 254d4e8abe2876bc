// Memory device contexts, DIB sections and StretchDIBits: what printing onto a DC needs.
#include <oivwin32.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kWhite = RGB(255, 255, 255), kMarker = RGB(1, 2, 3);

// A DIB of `width` x `height` pixels given top row first, laid out in memory top-down or
// bottom-up, with 24 or 32 bits per pixel.
struct SourceDib {
    BITMAPINFO info{};
    std::vector<BYTE> bits;

    SourceDib(int width, int height, const std::vector<COLORREF>& topRowFirst, bool topDown,
              WORD bitCount) {
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = topDown ? -height : height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = bitCount;
        info.bmiHeader.biCompression = BI_RGB;
        size_t stride = ((size_t(width) * bitCount + 31) / 32) * 4;
        bits.assign(stride * size_t(height), 0);
        for (int y = 0; y < height; ++y) {
            size_t row = size_t(topDown ? y : height - 1 - y) * stride;
            for (int x = 0; x < width; ++x) {
                COLORREF c = topRowFirst[size_t(y * width + x)];
                BYTE* p = &bits[row + size_t(x) * (bitCount / 8)];
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        }
    }
};

// A memory DC with a DIB section of the given size selected, every pixel set to kMarker.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ original = nullptr;
    void* bits = nullptr;

    Canvas(int width, int height, bool topDown = true, int dotsPerInch = 96) {
        dc = OivWin32CreatePrinterDC(dotsPerInch);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = topDown ? -height : height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        original = SelectObject(dc, bitmap);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                SetPixel(dc, x, y, kMarker);
    }
    ~Canvas() {
        SelectObject(dc, original);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The pixels of rows y0..y1 and columns x0..x1, row by row.
    std::vector<COLORREF> pixels(int x0, int y0, int x1, int y1) const {
        std::vector<COLORREF> out;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                out.push_back(GetPixel(dc, x, y));
        return out;
    }
};

struct Orientation {
    const char* name;
    bool sourceTopDown;
    bool destTopDown;
    WORD sourceBits;
};

} // namespace

class StretchDIBitsTest : public ::testing::TestWithParam<Orientation> {};

TEST_P(StretchDIBitsTest, TwoByTwoOntoFourByFourDoublesEveryPixel) {
    const Orientation& o = GetParam();
    SourceDib source(2, 2, {kRed, kGreen, kBlue, kWhite}, o.sourceTopDown, o.sourceBits);
    Canvas canvas(6, 6, o.destTopDown);

    int lines = StretchDIBits(canvas.dc, 1, 1, 4, 4, 0, 0, 2, 2, source.bits.data(), &source.info,
                              DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(lines, 2);

    const COLORREF R = kRed, G = kGreen, B = kBlue, W = kWhite, M = kMarker;
    std::vector<COLORREF> expected{
        M, M, M, M, M, M, //
        M, R, R, G, G, M, //
        M, R, R, G, G, M, //
        M, B, B, W, W, M, //
        M, B, B, W, W, M, //
        M, M, M, M, M, M, //
    };
    EXPECT_EQ(canvas.pixels(0, 0, 5, 5), expected);
}

INSTANTIATE_TEST_SUITE_P(Orientations, StretchDIBitsTest,
                         ::testing::Values(Orientation{"TopDownOntoTopDown", true, true, 32},
                                           Orientation{"BottomUpOntoTopDown", false, true, 32},
                                           Orientation{"TopDownOntoBottomUp", true, false, 24},
                                           Orientation{"BottomUpOntoBottomUp", false, false, 24}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StretchDIBitsSourceTest, BottomUpSourceRectangleStartsAtTheLowerLeftCorner) {
    for (bool topDown : {true, false}) {
        SourceDib source(2, 2, {kRed, kGreen, kBlue, kWhite}, topDown, 32);
        Canvas canvas(2, 2);
        StretchDIBits(canvas.dc, 0, 0, 2, 2, 0, 0, 1, 1, source.bits.data(), &source.info,
                      DIB_RGB_COLORS, SRCCOPY);
        COLORREF corner = topDown ? kRed : kBlue; // (0, 0) is top left or bottom left
        EXPECT_EQ(canvas.pixels(0, 0, 1, 1), std::vector<COLORREF>(4, corner)) << topDown;
    }
}

TEST(StretchDIBitsSourceTest, ShrinksAndMirrors) {
    SourceDib source(4, 1, {kRed, kRed, kBlue, kBlue}, true, 32);
    Canvas canvas(2, 1);
    StretchDIBits(canvas.dc, 0, 0, 2, 1, 0, 0, 4, 1, source.bits.data(), &source.info,
                  DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(canvas.pixels(0, 0, 1, 0), (std::vector<COLORREF>{kRed, kBlue}));
    // A negative destination width runs from x = 2 leftwards: the image comes out mirrored.
    StretchDIBits(canvas.dc, 2, 0, -2, 1, 0, 0, 4, 1, source.bits.data(), &source.info,
                  DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(canvas.pixels(0, 0, 1, 0), (std::vector<COLORREF>{kBlue, kRed}));
}

TEST(StretchDIBitsSourceTest, ClipsToTheDestinationAndTheSource) {
    SourceDib source(2, 2, {kRed, kGreen, kBlue, kWhite}, true, 32);
    Canvas canvas(3, 3);
    // Half of the destination lies left of and above the bitmap.
    StretchDIBits(canvas.dc, -2, -2, 4, 4, 0, 0, 2, 2, source.bits.data(), &source.info,
                  DIB_RGB_COLORS, SRCCOPY);
    const COLORREF M = kMarker, W = kWhite;
    EXPECT_EQ(canvas.pixels(0, 0, 2, 2), (std::vector<COLORREF>{W, W, M, W, W, M, M, M, M}));
    // A source rectangle reaching past the source image writes only what the image covers.
    Canvas other(4, 1);
    StretchDIBits(other.dc, 0, 0, 4, 1, 1, 0, 2, 1, source.bits.data(), &source.info,
                  DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(other.pixels(0, 0, 3, 0), (std::vector<COLORREF>{kGreen, kGreen, M, M}));
}

TEST(StretchDIBitsSourceTest, PrintsAtThePrinterResolution) {
    // A 96-dpi image onto a 600-dpi page keeps its physical size: 6.25 times the pixels.
    SourceDib source(8, 4, std::vector<COLORREF>(32, kBlue), true, 32);
    Canvas page(60, 30, true, 600);
    HDC screen = CreateCompatibleDC(nullptr);
    float factor =
        float(GetDeviceCaps(page.dc, LOGPIXELSX)) / float(GetDeviceCaps(screen, LOGPIXELSX));
    DeleteDC(screen);
    int w = int(8 * factor), h = int(4 * factor);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 25);
    StretchDIBits(page.dc, 0, 0, w, h, 0, 0, 8, 4, source.bits.data(), &source.info, DIB_RGB_COLORS,
                  SRCCOPY);
    EXPECT_TRUE(GdiFlush());
    EXPECT_EQ(GetPixel(page.dc, 49, 24), kBlue);
    EXPECT_EQ(GetPixel(page.dc, 50, 24), kMarker);
    EXPECT_EQ(GetPixel(page.dc, 49, 25), kMarker);
}

TEST(StretchDIBitsSourceTest, PalettisedSourceTakesItsColoursFromAfterTheHeader) {
    // A 1-bit source (pixels 0 and 1) with a plain header and with a V4 header (108 bytes),
    // whose colour table starts where the longer header ends.
    for (DWORD headerSize : {DWORD(sizeof(BITMAPINFOHEADER)), DWORD(108)}) {
        std::vector<BYTE> storage(headerSize + 2 * sizeof(RGBQUAD), 0);
        BITMAPINFOHEADER header{headerSize, 2, 1, 1, 1, BI_RGB, 0, 0, 0, 2, 0};
        std::memcpy(storage.data(), &header, sizeof header);
        RGBQUAD colours[2] = {{0, 0, 255, 0}, {255, 0, 0, 0}}; // red, blue
        std::memcpy(storage.data() + headerSize, colours, sizeof colours);
        const BYTE bits[4] = {0x40, 0, 0, 0}; // 0 1
        Canvas canvas(2, 1);
        EXPECT_EQ(StretchDIBits(canvas.dc, 0, 0, 2, 1, 0, 0, 2, 1, bits,
                                reinterpret_cast<const BITMAPINFO*>(storage.data()), DIB_RGB_COLORS,
                                SRCCOPY),
                  1);
        EXPECT_EQ(canvas.pixels(0, 0, 1, 0), (std::vector<COLORREF>{kRed, kBlue})) << headerSize;
    }
}

TEST(StretchDIBitsSourceTest, RefusesBadArguments) {
    SourceDib source(2, 2, {kRed, kGreen, kBlue, kWhite}, true, 32);
    Canvas canvas(4, 4);
    const void* bits = source.bits.data();
    auto stretch = [&](HDC dc, const void* b, const BITMAPINFO* info, UINT usage, DWORD rop,
                       int destWidth = 4, int srcWidth = 2) {
        return StretchDIBits(dc, 0, 0, destWidth, 4, 0, 0, srcWidth, 2, b, info, usage, rop);
    };
    EXPECT_EQ(stretch(canvas.dc, nullptr, &source.info, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(stretch(canvas.dc, bits, nullptr, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(stretch(canvas.dc, bits, &source.info, 1 /* DIB_PAL_COLORS */, SRCCOPY), 0);
    EXPECT_EQ(stretch(canvas.dc, bits, &source.info, DIB_RGB_COLORS, 0x00EE0086 /* SRCPAINT */), 0);
    EXPECT_EQ(stretch(canvas.dc, bits, &source.info, DIB_RGB_COLORS, SRCCOPY, 0), 0);
    EXPECT_EQ(stretch(canvas.dc, bits, &source.info, DIB_RGB_COLORS, SRCCOPY, 4, 0), 0);

    HDC dead = CreateCompatibleDC(nullptr);
    DeleteDC(dead);
    EXPECT_EQ(stretch(dead, bits, &source.info, DIB_RGB_COLORS, SRCCOPY), 0);

    BITMAPINFO bad = source.info;
    bad.bmiHeader.biBitCount = 16;
    EXPECT_EQ(stretch(canvas.dc, bits, &bad, DIB_RGB_COLORS, SRCCOPY), 0);
    bad = source.info;
    bad.bmiHeader.biCompression = 1; // run-length encoded
    EXPECT_EQ(stretch(canvas.dc, bits, &bad, DIB_RGB_COLORS, SRCCOPY), 0);
    bad = source.info;
    bad.bmiHeader.biSizeImage = 8; // says the buffer is smaller than the image
    EXPECT_EQ(stretch(canvas.dc, bits, &bad, DIB_RGB_COLORS, SRCCOPY), 0);
    bad = source.info;
    bad.bmiHeader.biHeight = 0;
    EXPECT_EQ(stretch(canvas.dc, bits, &bad, DIB_RGB_COLORS, SRCCOPY), 0);
    bad = source.info;
    bad.bmiHeader.biSize = 12;
    EXPECT_EQ(stretch(canvas.dc, bits, &bad, DIB_RGB_COLORS, SRCCOPY), 0);

    EXPECT_EQ(canvas.pixels(0, 0, 3, 3), std::vector<COLORREF>(16, kMarker)); // nothing drawn
}

TEST(DeviceContextTest, ResolutionOfScreenAndPrinterContexts) {
    HDC screen = CreateCompatibleDC(nullptr);
    HDC printer = OivWin32CreatePrinterDC(600);
    HDC compatible = CreateCompatibleDC(printer);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(printer, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(printer, LOGPIXELSY), 600);
    EXPECT_EQ(GetDeviceCaps(compatible, LOGPIXELSX), 600);
    EXPECT_EQ(OivWin32CreatePrinterDC(0), nullptr);
    EXPECT_EQ(OivWin32CreatePrinterDC(-600), nullptr);

    // A fresh memory DC holds a 1 x 1 monochrome bitmap, as in Win32.
    EXPECT_EQ(GetDeviceCaps(printer, HORZRES), 1);
    EXPECT_EQ(GetDeviceCaps(printer, BITSPIXEL), 1);
    HBITMAP mono = CreateCompatibleBitmap(printer, 8, 8);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(mono, sizeof bm, &bm), int(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmBits, nullptr); // not a DIB section
    DeleteObject(mono);
    for (HDC dc : {screen, printer, compatible})
        EXPECT_TRUE(DeleteDC(dc));
}

TEST(DeviceContextTest, SelectedBitmapGivesSizeDepthAndDibSection) {
    Canvas canvas(40, 30, false);
    EXPECT_EQ(GetDeviceCaps(canvas.dc, HORZRES), 40);
    EXPECT_EQ(GetDeviceCaps(canvas.dc, VERTRES), 30);
    EXPECT_EQ(GetDeviceCaps(canvas.dc, BITSPIXEL), 32);

    HGDIOBJ current = GetCurrentObject(canvas.dc, OBJ_BITMAP);
    EXPECT_EQ(current, canvas.bitmap);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(current, sizeof(DIBSECTION), &ds), int(sizeof(DIBSECTION)));
    EXPECT_EQ(ds.dsBm.bmWidth, 40);
    EXPECT_EQ(ds.dsBm.bmHeight, 30);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 160);
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(ds.dsBm.bmBits, canvas.bits);
    EXPECT_EQ(ds.dsBmih.biSize, DWORD(sizeof(BITMAPINFOHEADER)));
    EXPECT_EQ(ds.dsBmih.biWidth, 40);
    EXPECT_EQ(ds.dsBmih.biHeight, 30); // bottom-up
    EXPECT_EQ(ds.dsBmih.biBitCount, 32);
    EXPECT_EQ(ds.dsBmih.biSizeImage, DWORD(160 * 30));
    EXPECT_EQ(GetObjectA(current, 0, nullptr), int(sizeof(DIBSECTION)));

    // The section's bits are the pixels: the bottom row comes first in a bottom-up DIB.
    SetPixel(canvas.dc, 0, 29, RGB(10, 20, 30));
    const BYTE* first = static_cast<const BYTE*>(ds.dsBm.bmBits);
    EXPECT_EQ(first[0], 30);
    EXPECT_EQ(first[1], 20);
    EXPECT_EQ(first[2], 10);

    // The 32-bit count of bytes of a DIBSECTION (84) is too small for the 64-bit structure:
    // the caller gets the BITMAP part only, never a partly filled DIBSECTION.
    DIBSECTION partial{};
    EXPECT_EQ(GetObjectA(current, 84, &partial), int(sizeof(BITMAP)));
    EXPECT_EQ(partial.dsBmih.biSize, DWORD(0));
    EXPECT_EQ(GetObjectA(current, sizeof(BITMAP) - 1, &partial), 0);
}

TEST(DeviceContextTest, BitmapLivesInOneContextAndIsDeletedWhenFreed) {
    Canvas canvas(4, 4);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, canvas.bitmap), nullptr); // already selected elsewhere
    EXPECT_NE(GetCurrentObject(other, OBJ_BITMAP), canvas.bitmap);

    // Deleting a selected bitmap takes effect once the DC lets go of it.
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ stock = SelectObject(dc, bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(SetPixel(dc, 1, 1, kGreen), kGreen); // still usable while selected
    BITMAP bm;
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(SelectObject(dc, stock), bitmap);
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), 0);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    DeleteDC(dc);
    DeleteDC(other);
}

TEST(DeviceContextTest, PalettisedBitmapsStoreTheNearestColour) {
    BYTE storage[sizeof(BITMAPINFOHEADER) + 4 * sizeof(RGBQUAD)] = {};
    auto* info = reinterpret_cast<BITMAPINFO*>(storage);
    info->bmiHeader = {sizeof(BITMAPINFOHEADER), 3, -2, 1, 4, BI_RGB, 0, 0, 0, 4, 0};
    RGBQUAD colours[4] = {{0, 0, 0, 0}, {255, 255, 255, 0}, {0, 0, 255, 0}, {192, 192, 192, 0}};
    std::memcpy(info->bmiColors, colours, sizeof colours);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(250, 10, 10)), RGB(255, 0, 0));
    EXPECT_EQ(SetPixel(dc, 1, 0, RGB(180, 190, 200)), RGB(192, 192, 192));
    EXPECT_EQ(SetPixel(dc, 2, 1, RGB(240, 240, 240)), kWhite);
    EXPECT_EQ(static_cast<const BYTE*>(bits)[0], 0x23); // two pixels per byte, high nibble first
    EXPECT_EQ(GetPixel(dc, 2, 1), kWhite);
    EXPECT_EQ(GetPixel(dc, 3, 0), COLORREF(CLR_INVALID));
    RGBQUAD table[8];
    EXPECT_EQ(GetDIBColorTable(dc, 1, 8, table), 3u);
    EXPECT_EQ(table[2].rgbRed, 192);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST(DeviceContextTest, WindowAndScreenContexts) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    EXPECT_GT(GetDeviceCaps(screen, HORZRES), 0);
    EXPECT_EQ(GetPixel(screen, 0, 0), COLORREF(CLR_INVALID)); // no pixels behind the screen
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0);

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "GdiTestWindow";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, "GdiTestWindow", "", 0, 0, 0, 20, 10, nullptr, nullptr, nullptr,
                                nullptr);
    HDC dc = GetDC(hwnd);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 20);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 10);
    EXPECT_EQ(SetPixel(dc, 19, 9, kBlue), kBlue);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0); // belongs to hwnd
    EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
    DestroyWindow(hwnd);
    UnregisterClassA("GdiTestWindow", nullptr);
}

TEST(DeviceContextTest, CreateDIBSectionRefusesWhatItCannotHold) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 100000, 100000, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    info.bmiHeader.biWidth = -4;
    info.bmiHeader.biHeight = 4;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biClrUsed = 300; // more colours than 8 bits can index
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}
