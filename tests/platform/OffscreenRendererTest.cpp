// Coin's off-screen renderer draws through the viewer layer's headless OpenGL provider, which
// SoWin::init (run by the test main) installs, with no display.
#include "SoWinHeadlessGL.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoOffscreenRenderer.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct Rgb {
    int r, g, b;
};

Rgb pixelAt(const SoOffscreenRenderer& renderer, int x, int y) {
    const SbVec2s size = renderer.getViewportRegion().getViewportSizePixels();
    const int components = static_cast<int>(renderer.getComponents());
    const unsigned char* p = renderer.getBuffer() + (y * size[0] + x) * components;
    return {p[0], p[1], p[2]};
}

TEST(OffscreenRenderer, DrawsWithNoDisplay) {
    ASSERT_EQ(std::getenv("DISPLAY"), nullptr);
    ASSERT_TRUE(SoWinHeadlessGL::isAvailable());

    SoSeparator* root = new SoSeparator;
    root->ref();
    SoOrthographicCamera* camera = new SoOrthographicCamera;
    root->addChild(camera);
    SoDirectionalLight* light = new SoDirectionalLight;
    light->direction.setValue(0, 0, -1);
    root->addChild(light);
    SoMaterial* material = new SoMaterial;
    material->diffuseColor.setValue(1, 0, 0);
    root->addChild(material);
    root->addChild(new SoCube);

    const SbViewportRegion region(64, 48);
    camera->viewAll(root, region);
    camera->height = 4; // the cube covers the middle of the picture, not its corners
    SoOffscreenRenderer renderer(region);
    renderer.setBackgroundColor(SbColor(0, 0, 1));
    ASSERT_TRUE(renderer.render(root));
    // Coin's buffer starts at the bottom row.
    const Rgb centre = pixelAt(renderer, 32, 24);
    EXPECT_GT(centre.r, 200);
    EXPECT_LT(centre.g, 30);
    EXPECT_LT(centre.b, 30);
    const Rgb corner = pixelAt(renderer, 0, 0);
    EXPECT_LT(corner.r, 30);
    EXPECT_GT(corner.b, 200);
    root->unref();
}

} // namespace
