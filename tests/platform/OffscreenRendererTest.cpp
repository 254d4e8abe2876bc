// Coin's off-screen renderer draws through the viewer layer's headless OpenGL provider, which
// SoWin::init (run by the test main) installs, with no display.
#include "SoWinHeadlessGL.h"

#include "support/RenderedImage.h"

#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

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

    camera->viewAll(root, SbViewportRegion(64, 48));
    camera->height = 4; // the cube covers the middle of the picture, not its corners
    const RenderedImage image(root, 64, 48, SbColor(0, 0, 1));
    ASSERT_TRUE(image.isValid());
    const Rgb centre = image.at(32, 24);
    EXPECT_GT(centre.r, 200);
    EXPECT_LT(centre.g, 30);
    EXPECT_LT(centre.b, 30);
    const Rgb corner = image.at(0, 0);
    EXPECT_LT(corner.r, 30);
    EXPECT_GT(corner.b, 200);
    root->unref();
}

} // namespace
