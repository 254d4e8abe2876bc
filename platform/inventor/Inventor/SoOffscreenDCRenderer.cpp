#include <Inventor/SoOffscreenDCRenderer.h>

namespace {

constexpr WORD kBitsPerPixel = 24;
constexpr int kBytesPerPixel = kBitsPerPixel / 8;

// DIB rows start on 4-byte boundaries.
size_t rowBytes(int width) {
    return (static_cast<size_t>(width) * kBytesPerPixel + 3) & ~size_t(3);
}

} // namespace

SoOffscreenDCRenderer::SoOffscreenDCRenderer(const SbViewportRegion& viewportRegion)
    : SoOffscreenRenderer(viewportRegion), m_DC(nullptr), m_Section(nullptr), m_Displaced(nullptr),
      m_Bits(nullptr), m_Width(0), m_Height(0) {}

SoOffscreenDCRenderer::~SoOffscreenDCRenderer() {
    releaseDC();
}

SbBool SoOffscreenDCRenderer::render(SoNode* scene) {
    return keepImage(SoOffscreenRenderer::render(scene));
}

SbBool SoOffscreenDCRenderer::render(SoPath* scene) {
    return keepImage(SoOffscreenRenderer::render(scene));
}

SbBool SoOffscreenDCRenderer::keepImage(SbBool rendered) {
    const SbVec2s size = getViewportRegion().getViewportSizePixels();
    const unsigned char* image = rendered ? getBuffer() : nullptr;
    if (!image || !prepareSection(size[0], size[1]))
        return FALSE;
    // Coin's buffer and a bottom-up DIB both start with the bottom row; the DIB holds blue, green,
    // red. Luminance images repeat their one value.
    const int components = static_cast<int>(getComponents());
    const bool grey = components < int(RGB);
    for (int y = 0; y < m_Height; ++y) {
        const unsigned char* in = image + static_cast<size_t>(y) * m_Width * components;
        BYTE* out = m_Bits + static_cast<size_t>(y) * rowBytes(m_Width);
        for (int x = 0; x < m_Width; ++x, in += components, out += kBytesPerPixel) {
            out[0] = grey ? in[0] : in[2];
            out[1] = grey ? in[0] : in[1];
            out[2] = in[0];
        }
    }
    GdiFlush();
    return TRUE;
}

bool SoOffscreenDCRenderer::prepareSection(int width, int height) {
    if (m_Section && width == m_Width && height == m_Height)
        return true;
    releaseDC();
    // A DC compatible with no other stands for the screen, with its resolution.
    m_DC = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_Section = m_DC ? CreateDIBSection(m_DC, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!m_Section) {
        releaseDC();
        return false;
    }
    m_Displaced = SelectObject(m_DC, m_Section);
    m_Bits = static_cast<BYTE*>(bits);
    m_Width = width;
    m_Height = height;
    return true;
}

void SoOffscreenDCRenderer::releaseDC(void) {
    if (m_DC && m_Displaced)
        SelectObject(m_DC, m_Displaced);
    if (m_Section)
        DeleteObject(m_Section);
    if (m_DC)
        DeleteDC(m_DC);
    m_DC = nullptr;
    m_Section = nullptr;
    m_Displaced = nullptr;
    m_Bits = nullptr;
    m_Width = m_Height = 0;
}
