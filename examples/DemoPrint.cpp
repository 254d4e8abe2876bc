#include "DemoPrint.h"

#include "canvas/OivCanvas.h"

#include <oivwin32.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// A4 portrait, 210 × 297 mm, at 300 dots per inch.
constexpr int kPageWidth = 2480;
constexpr int kPageHeight = 3508;
constexpr DWORD kPaperWhite = 0xFFFFFF;

std::string besidePicture(const char* picturePath, const char* name) {
    const std::string picture(picturePath);
    const std::string::size_type slash = picture.rfind('/');
    return slash == std::string::npos ? name : picture.substr(0, slash + 1) + name;
}

// The printer's page: a white 24-bit bitmap in a device context of the printer's resolution.
class PrinterPage {
public:
    PrinterPage() : m_DC(OivWin32CreatePrinterDC(DemoPrint::kDotsPerInch)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kPageWidth;
        info.bmiHeader.biHeight = -kPageHeight; // top-down, like paper
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_Page = CreateDIBSection(m_DC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!m_Page)
            return;
        std::fill_n(static_cast<DWORD*>(bits), size_t(kPageWidth) * kPageHeight, kPaperWhite);
        m_Blank = SelectObject(m_DC, m_Page);
    }
    ~PrinterPage() {
        if (m_Blank)
            SelectObject(m_DC, m_Blank);
        DeleteObject(m_Page);
        DeleteDC(m_DC);
    }
    PrinterPage(const PrinterPage&) = delete;
    PrinterPage& operator=(const PrinterPage&) = delete;

    HDC dc() const { return m_Blank ? m_DC : nullptr; }

private:
    HDC m_DC;
    HBITMAP m_Page = nullptr;
    HGDIOBJ m_Blank = nullptr;
};

} // namespace

bool DemoPrint::writePrintedPage(OivCanvas& canvas, const char* picturePath) {
    const std::string path = besidePicture(picturePath, kPageFile);
    PrinterPage page;
    if (!page.dc() || !canvas.printPage(page.dc()) ||
        !OivWin32SaveBitmapAsPng(page.dc(), path.c_str())) {
        std::fprintf(stderr, "oivwintav-demo: cannot print the canvas to %s\n", path.c_str());
        return false;
    }
    std::printf("oivwintav-demo: printed the canvas onto a %d-dpi A4 page, written to %s\n",
                kDotsPerInch, path.c_str());
    return true;
}
