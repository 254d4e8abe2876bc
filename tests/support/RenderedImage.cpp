#include "support/RenderedImage.h"

#include <Inventor/SoOffscreenRenderer.h>

#include <algorithm>

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << "(" << colour.r << ", " << colour.g << ", " << colour.b << ")";
}

RenderedImage::RenderedImage(SoNode* root, int width, int height, const SbColor& background)
    : m_Width(width), m_Height(height), m_Viewport(width, height) {
    SoOffscreenRenderer renderer(m_Viewport);
    renderer.setComponents(SoOffscreenRenderer::RGB);
    renderer.setBackgroundColor(background);
    if (!renderer.render(root))
        return;
    const unsigned char* buffer = renderer.getBuffer();
    m_Pixels.assign(buffer, buffer + size_t(width) * size_t(height) * 3);
}

Rgb RenderedImage::at(int x, int y) const {
    const unsigned char* p = &m_Pixels[(size_t(y) * m_Width + x) * 3];
    return {p[0], p[1], p[2]};
}

bool RenderedImage::findDrawn(const Rgb& background, int& minX, int& minY, int& maxX,
                              int& maxY) const {
    minX = m_Width;
    minY = m_Height;
    maxX = maxY = -1;
    for (int y = 0; y < m_Height; ++y)
        for (int x = 0; x < m_Width; ++x)
            if (at(x, y) != background) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    return maxX >= 0;
}

int RenderedImage::countDiffering(const RenderedImage& other) const {
    int count = 0;
    for (int y = 0; y < std::min(m_Height, other.m_Height); ++y)
        for (int x = 0; x < std::min(m_Width, other.m_Width); ++x)
            count += at(x, y) != other.at(x, y) ? 1 : 0;
    return count;
}
