#include "CurveDemo.h"

#include "DemoRecording.h"
#include "DemoScene.h"

#include "canvas/OivCanvas.h"
#include "scene/OivSceneManager.h"
#include "tav/OivPipe.h"
#include "viewers/OivWinCurveViewer.h"

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCamera.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr const char* kSuffix = "-curve";
// Close enough to the tracking point that the compass stands out, far enough to see the well.
constexpr float kViewingDistance = 900.0f;
// The compass at its largest (its arms 100 units long) at that distance.
constexpr float kCompassViewShare = 0.2f;
// Looking north-west from under the ground, a little downwards: the well and the compass stand
// in front of the terrain instead of behind it, and no arm of the compass points at the camera.
constexpr float kLookDownDegrees = 20.0f;
constexpr float kWestOfNorthDegrees = 30.0f;

float radians(float degrees) {
    return float(M_PI) * degrees / 180.0f;
}

SbRotation viewingOrientation() {
    const SbRotation north(SbVec3f(1, 0, 0), radians(90.0f - kLookDownDegrees));
    return north * SbRotation(SbVec3f(0, 0, 1), radians(kWestOfNorthDegrees));
}

// The point halfway along the polyline, by length.
SbVec3f halfwayAlong(const SbVec3f* points, int count) {
    float length = 0.0f;
    for (int i = 1; i < count; ++i)
        length += (points[i] - points[i - 1]).length();
    float remaining = length / 2.0f;
    for (int i = 1; i < count; ++i) {
        const float segment = (points[i] - points[i - 1]).length();
        if (segment >= remaining && segment > 0.0f)
            return points[i - 1] + (points[i] - points[i - 1]) * (remaining / segment);
        remaining -= segment;
    }
    return points[count - 1];
}

} // namespace

// The well's centre line in the well's place in the scene (the global Z scale included).
bool CurveDemo::trackTheWell(OivWinCurveViewer& viewer) {
    SoSearchAction search;
    search.setType(OivPipe::getClassTypeId());
    search.apply(viewer.getSceneGraph());
    SoPath* path = search.getPath();
    if (!path)
        return false;
    const auto* well = static_cast<const OivPipe*>(path->getTail());
    if (well->getNumPathPoints() < 2)
        return false;
    SoGetMatrixAction toWorld(viewer.getViewportRegion());
    toWorld.apply(path);
    viewer.setTrackingCurve(0, well->getNumPathPoints(), well->getPathPoints(),
                            halfwayAlong(well->getPathPoints(), well->getNumPathPoints()),
                            toWorld.getMatrix(), false);
    return true;
}

std::string CurveDemo::pictureBeside(const char* picture) {
    const std::string name(picture);
    const size_t slash = name.find_last_of('/');
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return name + kSuffix;
    return name.substr(0, dot) + kSuffix + name.substr(dot);
}

bool CurveDemo::present(OivCanvas& canvas) {
    auto* viewer = static_cast<OivWinCurveViewer*>(canvas.getOivViewer());
    if (!viewer)
        return false;
    DemoScene::present(canvas);
    canvas.getOivSceneManager()->setMessage("OivWinTav demo: curve canvas tracking the well");
    if (!trackTheWell(*viewer))
        return false;
    viewer->enableTracking();
    viewer->setTrackingObjectScale(kCompassViewShare);
    viewer->getCamera()->orientation.setValue(viewingOrientation());
    viewer->getCamera()->focalDistance.setValue(kViewingDistance);
    viewer->adjustCameraToTrackingPoint();
    viewer->saveHomePosition();
    return true;
}

bool CurveDemo::writePictureBeside(HWND window, const char* picture, bool recordFlight) {
    const std::string path = pictureBeside(picture);
    bool written = false;
    {
        OivCanvas canvas;
        canvas.initialize(OivBaseCanvas::CURVE_VIEWER, window);
        written = present(canvas) && DemoScene::writePicture(canvas, path.c_str());
        if (written && recordFlight)
            written = DemoRecording::recordFlight(canvas, picture);
    }
    if (written)
        std::printf("oivwintav-demo: wrote what the curve canvas shows (%dx%d) to %s\n",
                    DemoScene::kWidth, DemoScene::kHeight, path.c_str());
    else
        std::fprintf(stderr, "oivwintav-demo: cannot write %s\n", path.c_str());
    return written;
}
