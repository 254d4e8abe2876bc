#include "DemoScene.h"

#include "camera/OivCameraControl.h"
#include "canvas/OivCanvas.h"
#include "scene/OivSceneManager.h"
#include "tav/OivPipe.h"

#include <Inventor/SbColor.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/fields/SoMFFloat.h>
#include <Inventor/fields/SoMFString.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoQuadMesh.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShapeHints.h>
#include <Inventor/nodes/SoVertexProperty.h>

#include <simage.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numeric>
#include <vector>

namespace {

// The terrain: a square of kExtent metres around the origin, sampled on a kGrid × kGrid mesh
// ((kGrid - 1)² quads, twice as many triangles).
constexpr int kGrid = 48;
constexpr float kExtent = 2000.0f;
constexpr float kTerrainTransparency = 0.3f; // the well shows through the ground

struct Hill {
    float x, y, height, radius;
};
constexpr Hill kHills[] = {
    {300.0f, 200.0f, 120.0f, 350.0f},
    {-400.0f, -300.0f, 80.0f, 250.0f},
    {-100.0f, 500.0f, -60.0f, 300.0f},
};

float terrainHeight(float x, float y) {
    float z = 15.0f * std::sin(x / 150.0f) * std::cos(y / 180.0f);
    for (const Hill& hill : kHills) {
        float dx = x - hill.x, dy = y - hill.y;
        z += hill.height * std::exp(-(dx * dx + dy * dy) / (2.0f * hill.radius * hill.radius));
    }
    return z;
}

// Colour by height, t from 0 (lowest) to 1 (highest): green lowland, brown slopes, snow.
struct ColourStop {
    float t;
    SbColor colour;
};
const ColourStop kColourRamp[] = {
    {0.0f, SbColor(0.20f, 0.45f, 0.25f)},
    {0.4f, SbColor(0.45f, 0.65f, 0.25f)},
    {0.7f, SbColor(0.60f, 0.45f, 0.25f)},
    {1.0f, SbColor(0.95f, 0.95f, 0.90f)},
};

SbColor heightColour(float t) {
    for (size_t i = 1; i < std::size(kColourRamp); ++i) {
        const ColourStop& low = kColourRamp[i - 1];
        const ColourStop& high = kColourRamp[i];
        if (t <= high.t)
            return low.colour + (high.colour - low.colour) * ((t - low.t) / (high.t - low.t));
    }
    return kColourRamp[std::size(kColourRamp) - 1].colour;
}

SoNode* createTerrain() {
    std::vector<SbVec3f> points;
    points.reserve(kGrid * kGrid);
    float lowest = HUGE_VALF, highest = -HUGE_VALF;
    for (int row = 0; row < kGrid; ++row) {
        for (int column = 0; column < kGrid; ++column) {
            float x = kExtent * (float(column) / (kGrid - 1) - 0.5f);
            float y = kExtent * (float(row) / (kGrid - 1) - 0.5f);
            float z = terrainHeight(x, y);
            lowest = std::fmin(lowest, z);
            highest = std::fmax(highest, z);
            points.emplace_back(x, y, z);
        }
    }
    std::vector<uint32_t> colours;
    colours.reserve(points.size());
    for (const SbVec3f& p : points)
        colours.push_back(heightColour((p[2] - lowest) / (highest - lowest))
                              .getPackedValue(kTerrainTransparency));

    SoVertexProperty* property = new SoVertexProperty;
    property->vertex.setValues(0, int(points.size()), points.data());
    property->orderedRGBA.setValues(0, int(colours.size()), colours.data());
    property->materialBinding = SoVertexProperty::PER_VERTEX;
    SoQuadMesh* mesh = new SoQuadMesh;
    mesh->verticesPerRow = kGrid;
    mesh->verticesPerColumn = kGrid;
    mesh->vertexProperty = property;

    SoSeparator* terrain = new SoSeparator;
    // Smooth shading over the whole surface, lit from above and below (a view from under the
    // ground shows it too).
    SoShapeHints* hints = new SoShapeHints;
    hints->vertexOrdering = SoShapeHints::COUNTERCLOCKWISE;
    hints->shapeType = SoShapeHints::UNKNOWN_SHAPE_TYPE;
    hints->creaseAngle = float(M_PI);
    terrain->addChild(hints);
    terrain->addChild(mesh);
    return terrain;
}

SoNode* createWell() {
    // A deviated well: straight down from above the wellhead, then building angle to the
    // south-west.
    const float headX = 250.0f, headY = 100.0f, head = terrainHeight(headX, headY);
    const SbVec3f path[] = {
        {headX, headY, head + 40.0f},
        {headX, headY, head - 120.0f},
        {headX - 60.0f, headY - 50.0f, head - 230.0f},
        {headX - 250.0f, headY - 230.0f, head - 330.0f},
        {headX - 550.0f, headY - 450.0f, head - 370.0f},
    };
    SoSeparator* well = new SoSeparator;
    SoMaterial* material = new SoMaterial;
    material->diffuseColor.setValue(0.9f, 0.15f, 0.1f);
    material->specularColor.setValue(0.5f, 0.5f, 0.5f);
    material->shininess = 0.4f;
    OivPipe* pipe = new OivPipe;
    pipe->points.setValues(0, int(std::size(path)), path);
    pipe->radius = 22.0f;
    pipe->numSides = 16;
    well->addChild(material);
    well->addChild(pipe);
    return well;
}

// Looks `degrees` further down, around the focal point.
void tiltDown(SoCamera* camera, float degrees) {
    SbVec3f direction;
    camera->orientation.getValue().multVec(SbVec3f(0, 0, -1), direction);
    const SbVec3f focalPoint =
        camera->position.getValue() + direction * camera->focalDistance.getValue();
    SbRotation tilted = SbRotation(SbVec3f(1, 0, 0), -degrees * float(M_PI) / 180.0f) *
                        camera->orientation.getValue();
    tilted.multVec(SbVec3f(0, 0, -1), direction);
    camera->orientation = tilted;
    camera->position = focalPoint - direction * camera->focalDistance.getValue();
}

constexpr float kViewElevationDegrees = 40.0f;

// The value the canvas's Z-scale table gives the label (1 if the table has no such label).
float zScale(const OivCanvas& canvas, const char* label) {
    const SoMFString& labels = *canvas.getZScaleLabels();
    for (int i = 0; i < labels.getNum(); ++i)
        if (labels[i] == label)
            return (*canvas.getZScales())[i];
    return 1.0f;
}

// The table's label of the canvas's current Z scale; a scale the table lacks (a file's, a
// group's) as a number.
SbString zScaleLabel(const OivCanvas& canvas) {
    const float current = canvas.getOivSceneManager()->getGlobalZScale();
    const SoMFFloat& scales = *canvas.getZScales();
    for (int i = 0; i < scales.getNum(); ++i)
        if (scales[i] == current)
            return (*canvas.getZScaleLabels())[i];
    SbString number;
    number.sprintf("%g", current);
    return number;
}

void showZScaleInMessage(OivCanvas& canvas) {
    canvas.getOivSceneManager()->setMessage(SbString(DemoScene::kMessage) + ", Z scale " +
                                            zScaleLabel(canvas));
}

// The canvas's view-context listener: only a new Z scale changes the message.
void viewContextChangedCB(void*, bool cameraOnly, OivBaseCanvas* canvas) {
    if (!cameraOnly)
        showZScaleInMessage(*static_cast<OivCanvas*>(canvas));
}

} // namespace

SoSeparator* DemoScene::createContent() {
    SoSeparator* content = new SoSeparator;
    content->addChild(createWell());
    content->addChild(createTerrain());
    return content;
}

void DemoScene::present(OivCanvas& canvas) {
    OivSceneManager* manager = canvas.getOivSceneManager();
    manager->getRoot3D()->addChild(createContent());
    // The toolbar's "Image" item shows a picture, not the default path's missing file.
    manager->setBackgroundImage(OIVWINTAV_DEMO_BACKGROUND_IMAGE);
    manager->setBackground(OivBaseSceneManager::GRADIENT);
    manager->setCompassVisible(true);
    manager->setHorizonGiroVisible(true);
    manager->setMessageVisible(true);
    manager->setGlobalZScale(zScale(canvas, kZScaleLabel));
    showZScaleInMessage(canvas);

    SoCamera* camera = canvas.getOivViewer()->getCamera();
    OivCameraControl* cameraControl = manager->getCameraControl();
    cameraControl->setDirection(OivCameraControl::SOUTH);
    cameraControl->alignCamera(camera);
    tiltDown(camera, kViewElevationDegrees);
    canvas.getOivViewer()->viewAll();
    // The viewer saved its home when it got the still empty scene: Home goes back to this view.
    canvas.getOivViewer()->saveHomePosition();
}

void DemoScene::followZScale(OivCanvas& canvas) {
    canvas.setViewContextChangeCallback(viewContextChangedCB, nullptr);
}

bool DemoScene::writePicture(OivCanvas& canvas, const char* path) {
    return writePicture(std::vector<OivCanvas*>{&canvas}, path);
}

bool DemoScene::writePicture(const std::vector<OivCanvas*>& canvases, const char* path) {
    // Each frame as the viewer gives it, top row first.
    std::vector<std::vector<unsigned char>> frames(canvases.size());
    std::vector<int> widths;
    int height = 0;
    for (size_t i = 0; i < canvases.size(); ++i) {
        SoWinFullViewer* viewer = canvases[i]->getOivViewer();
        if (!viewer)
            return false;
        viewer->render();
        SbVec2s size;
        if (!viewer->readPixels(frames[i], size) || size[0] <= 0 || size[1] <= 0 ||
            (i > 0 && size[1] != height))
            return false;
        widths.push_back(size[0]);
        height = size[1];
    }
    if (frames.empty())
        return false;
    // Image files are written bottom row first.
    const size_t rowBytes = size_t(std::accumulate(widths.begin(), widths.end(), 0)) * 3;
    std::vector<unsigned char> picture(rowBytes * size_t(height));
    size_t left = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const size_t frameRowBytes = size_t(widths[i]) * 3;
        for (int row = 0; row < height; ++row)
            std::copy_n(frames[i].data() + row * frameRowBytes, frameRowBytes,
                        picture.data() + (height - 1 - row) * rowBytes + left);
        left += frameRowBytes;
    }
    return simage_save_image(path, picture.data(), int(rowBytes / 3), height, 3, "png") == 1;
}
