#include "DemoRecording.h"

#include "DemoScene.h"

#include "canvas/OivCanvas.h"
#include "video/OivVideoRecorder.h"

#include <Inventor/SbRotation.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/sensors/SoOneShotSensor.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr float kFullTurnDegrees = 360.0f;
// The recorder's files: the prefix, a number, the extension.
constexpr const char* kVideoPrefix = "Zorvan3D_";
constexpr const char* kVideoExtension = ".mpg";
// The video recorder dialog's "Medium".
constexpr float kMediumQuality = 0.3f;

void leaveLoopCB(void*, SoSensor*) {
    SoWin::exitMainLoop();
}

// The video written last in `folder`: the recorder never replaces an earlier one, so a second run
// of the demo writes the next number.
std::filesystem::path newestVideo(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path newest;
    std::filesystem::file_time_type newestTime{};
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kVideoPrefix, 0) != 0 || entry.path().extension() != kVideoExtension)
            continue;
        const auto written = entry.last_write_time(error);
        if (!error && (newest.empty() || written > newestTime)) {
            newest = entry.path();
            newestTime = written;
        }
    }
    return newest;
}

} // namespace

void DemoRecording::runPendingWork() {
    SoOneShotSensor leave(leaveLoopCB, nullptr);
    // After every redraw and recording sensor of the default priorities.
    leave.setPriority(SoSceneManager::getDefaultRedrawPriority() * 2);
    leave.schedule();
    SoWin::mainLoop();
}

void DemoRecording::orbitStep(SoCamera* camera, float degrees) {
    SbVec3f direction;
    camera->orientation.getValue().multVec(SbVec3f(0, 0, -1), direction);
    const SbVec3f focalPoint =
        camera->position.getValue() + direction * camera->focalDistance.getValue();
    const SbRotation turn(SbVec3f(0, 0, 1), degrees * float(M_PI) / 180.0f);
    SbVec3f offset;
    turn.multVec(camera->position.getValue() - focalPoint, offset);
    camera->orientation = camera->orientation.getValue() * turn;
    camera->position = focalPoint + offset;
}

void DemoRecording::recordOrbit(OivCanvas& canvas, const char* besideFile) {
    SoWinFullViewer* viewer = canvas.getOivViewer();
    std::error_code error;
    const std::filesystem::path previous = std::filesystem::current_path(error);
    const std::filesystem::path folder = std::filesystem::absolute(besideFile, error).parent_path();
    if (!viewer || error || (std::filesystem::current_path(folder, error), error))
        return;
    OivVideoRecorder* recorder = canvas.getVideoRecorder();
    recorder->start(SbVec2s(DemoScene::kWidth, DemoScene::kHeight), kMediumQuality);
    for (int frame = 0; frame < kOrbitFrames; ++frame) {
        orbitStep(viewer->getCamera(), kFullTurnDegrees / kOrbitFrames);
        runPendingWork();
    }
    const bool recorded = recorder->hasRecording();
    recorder->stop();
    const std::filesystem::path video = newestVideo(folder);
    if (recorded && !video.empty())
        std::printf("oivwintav-demo: recorded one orbit of the canvas (%d frames, %dx%d) to %s\n",
                    kOrbitFrames, DemoScene::kWidth, DemoScene::kHeight, video.c_str());
    std::filesystem::current_path(previous, error);
}
