// A frame drawn by a viewer and read back as the host would see it.
#ifndef OIVWINTAV_TESTS_VIEWERFRAME_H
#define OIVWINTAV_TESTS_VIEWERFRAME_H

#include <Inventor/SbVec2s.h>
#include <Inventor/Win/SoWinRenderArea.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

struct Frame {
    std::vector<unsigned char> rgb; // top row first
    SbVec2s size;

    const unsigned char* at(int x, int y) const { return &rgb[3 * (y * size[0] + x)]; }
    bool isNear(int x, int y, int r, int g, int b, int tolerance = 3) const {
        const unsigned char* p = at(x, y);
        return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance &&
               std::abs(p[2] - b) <= tolerance;
    }
    int countNear(int r, int g, int b, int tolerance) const {
        int count = 0;
        for (int y = 0; y < size[1]; ++y)
            for (int x = 0; x < size[0]; ++x)
                count += isNear(x, y, r, g, b, tolerance) ? 1 : 0;
        return count;
    }
    // Pixels of the rectangle [x0, x1) × [y0, y1) (rows counted from the top) that differ from
    // the same pixels of `other`.
    int countDiffering(const Frame& other, int x0, int y0, int x1, int y1) const {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                count += std::equal(at(x, y), at(x, y) + 3, other.at(x, y)) ? 0 : 1;
        return count;
    }
};

// Draws the viewer's scene now and reads the frame back.
inline Frame drawnFrame(SoWinRenderArea* viewer) {
    Frame frame;
    viewer->render();
    EXPECT_TRUE(viewer->readPixels(frame.rgb, frame.size));
    return frame;
}

#endif // OIVWINTAV_TESTS_VIEWERFRAME_H
