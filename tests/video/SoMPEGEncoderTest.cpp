// The MPEG encoder's pictures as a player shows them.
#include "SoMPEGEncoder.h"
#include "support/VideoFile.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Each layout and size keeps its colours where they were, the last odd row and column included.
TEST(MPEGEncoderTest, EveryLayoutAndSizeKeepsItsColoursUpToTheLastRowAndColumn) {
    const Rgb colours[4] = {{220, 30, 30}, {30, 200, 40}, {40, 60, 210}, {230, 220, 60}};
    struct Layout {
        int width, height, bytesPerPixel;
        bool bottomRowFirst;
    } const layouts[] = {{64, 48, 4, true},
                         {63, 48, 4, false},
                         {64, 47, 3, true},
                         {65, 49, 3, false},
                         {33, 17, 4, true}};
    testsupport::ScratchFolder folder;
    for (const Layout& l : layouts) {
        const int stride = l.width * l.bytesPerPixel;
        std::vector<uint8_t> picture(size_t(stride) * l.height, 255); // quadrants, B G R (A)
        for (int y = 0; y < l.height; ++y)
            for (int x = 0; x < l.width; ++x) {
                const Rgb& c = colours[(y >= l.height / 2) * 2 + (x >= l.width / 2)];
                const int row = l.bottomRowFirst ? l.height - 1 - y : y;
                uint8_t* p = &picture[size_t(row) * stride + size_t(x) * l.bytesPerPixel];
                p[0] = uint8_t(c.b), p[1] = uint8_t(c.g), p[2] = uint8_t(c.r);
            }
        SoMPEGEncoder encoder;
        ASSERT_TRUE(encoder.open("quadrants.mpg", {l.width, l.height, 0.0f, 25, l.bytesPerPixel}));
        encoder.encode(l.bottomRowFirst ? &picture[picture.size() - stride] : picture.data(),
                       l.bottomRowFirst ? -stride : stride);
        encoder.close();
        const testsupport::VideoFile file = testsupport::playVideoFile("quadrants.mpg");
        ASSERT_EQ(file.frameCount(), 1) << l.width << "x" << l.height;
        const int xs[] = {l.width / 4, l.width - 1}, ys[] = {l.height / 4, l.height - 1};
        for (int q = 0; q < 4; ++q) {
            const Rgb got = file.at(0, xs[q % 2], ys[q / 2]), want = colours[q];
            EXPECT_LE(
                std::abs(got.r - want.r) + std::abs(got.g - want.g) + std::abs(got.b - want.b), 24)
                << l.width << "x" << l.height << " quadrant " << q << ": " << got;
        }
    }
}
