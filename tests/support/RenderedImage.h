// Renders a scene graph off screen (headless) and keeps its pixels, for tests that check what
// was drawn.
#ifndef OIVWINTAV_TESTS_RENDEREDIMAGE_H
#define OIVWINTAV_TESTS_RENDEREDIMAGE_H

#include <Inventor/SbColor.h>
#include <Inventor/SbViewportRegion.h>

#include <ostream>
#include <vector>

class SoNode;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};
std::ostream& operator<<(std::ostream& out, const Rgb& colour);

class RenderedImage {
public:
    RenderedImage(SoNode* root, int width, int height,
                  const SbColor& background = SbColor(0.0f, 0.0f, 0.0f));

    bool isValid() const { return !m_Pixels.empty(); }
    int width() const { return m_Width; }
    int height() const { return m_Height; }
    const SbViewportRegion& viewport() const { return m_Viewport; }
    // Pixel (x, y) counted from the lower left corner.
    Rgb at(int x, int y) const;

    // Bounds of the pixels that differ from `background` (inclusive); false when there are none.
    bool findDrawn(const Rgb& background, int& minX, int& minY, int& maxX, int& maxY) const;
    int countDiffering(const RenderedImage& other) const;

private:
    int m_Width, m_Height;
    SbViewportRegion m_Viewport;
    std::vector<unsigned char> m_Pixels; // RGB, bottom row first
};

#endif // OIVWINTAV_TESTS_RENDEREDIMAGE_H
