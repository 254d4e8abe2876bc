#include "DemoRecording.h"

#include "DemoScene.h"

#include "canvas/OivCanvas.h"
#include "video/OivVideoRecorder.h"
#include "viewers/OivWinCurveViewer.h"

#include <Inventor/SbRotation.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/sensors/SoOneShotSensor.h>

#include <algorithm>
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

// Keeps one line on the terminal up to date with the share done, rewritten when the percentage
// changes.
bool printProgressCB(void* data, float done) {
    int& shown = *static_cast<int*>(data);
    const int percent = int(done * 100.0f);
    if (percent != shown) {
        shown = percent;
        std::printf("\roivwintav-demo: recording the flight down the well, %3d %%", percent);
        std::fflush(stdout);
    }
    return true;
}

// Makes the folder of `besideFile` current while it lives (the recorder writes into the current
// folder), then the previous one again.
class FolderOf {
public:
    explicit FolderOf(const char* besideFile) {
        m_Previous = std::filesystem::current_path(m_Error);
        m_Folder = std::filesystem::absolute(besideFile, m_Error).parent_path();
        if (!m_Error)
            std::filesystem::current_path(m_Folder, m_Error);
    }
    ~FolderOf() {
        std::error_code ignored;
        std::filesystem::current_path(m_Previous, ignored);
    }
    FolderOf(const FolderOf&) = delete;
    FolderOf& operator=(const FolderOf&) = delete;

    bool entered() const { return !m_Error; }
    const std::filesystem::path& path() const { return m_Folder; }

private:
    std::error_code m_Error;
    std::filesystem::path m_Previous, m_Folder;
};

} // namespace

bool DemoRecording::recordFlight(OivCanvas& canvas, const char* besideFile) {
    auto* viewer = dynamic_cast<OivWinCurveViewer*>(canvas.getOivViewer());
    FolderOf folder(besideFile);
    if (!viewer || !folder.entered())
        return false;
    const int last = std::min(kFlightPoints, viewer->getNumResampledPoints()) - 1;
    int shownPercent = -1;
    const bool recorded =
        canvas.getVideoRecorder()->recordFlight(0, last, 1, printProgressCB, &shownPercent);
    std::printf("\n");
    const std::filesystem::path video = newestVideo(folder.path());
    if (recorded && !video.empty())
        std::printf("oivwintav-demo: recorded a flight down the well (%d frames) to %s\n", last + 1,
                    video.c_str());
    return recorded;
}

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
    FolderOf folder(besideFile);
    if (!viewer || !folder.entered())
        return;
    OivVideoRecorder* recorder = canvas.getVideoRecorder();
    recorder->start(SbVec2s(DemoScene::kWidth, DemoScene::kHeight), kMediumQuality);
    for (int frame = 0; frame < kOrbitFrames; ++frame) {
        orbitStep(viewer->getCamera(), kFullTurnDegrees / kOrbitFrames);
        runPendingWork();
    }
    const bool recorded = recorder->hasRecording();
    recorder->stop();
    const std::filesystem::path video = newestVideo(folder.path());
    if (recorded && !video.empty())
        std::printf("oivwintav-demo: recorded one orbit of the canvas (%d frames, %dx%d) to %s\n",
                    kOrbitFrames, DemoScene::kWidth, DemoScene::kHeight, video.c_str());
}
