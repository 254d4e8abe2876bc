#include "video/OivVideoRecorder.h"

#include "canvas/OivBaseCanvas.h"
#include "video/OivVideoFlight.h"
#include "viewers/OivWinCurveViewer.h"

#include <Inventor/SoMPEGNavRenderer.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/sensors/SoOneShotSensor.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

constexpr const char* kFilePrefix = "Zorvan3D_";
constexpr const char* kFileNameFormat = "%s%d.mpg";
constexpr unsigned int kMaxFramesPerFile = 10000;
// A folder that takes no file would otherwise make start try names for ever.
constexpr int kMaxOpenAttempts = 100;
// A flight before any start: the video recorder dialog's default quality ("Medium"), and the
// largest even size an MPEG-1 picture takes (even, so that colour subsampling needs no padding).
constexpr float kDefaultFlightQuality = 0.3f;
constexpr short kMaxFlightSide = 4094;

short flightSide(short viewSide) {
    return short(std::min(viewSide, kMaxFlightSide) & ~1);
}

enum class NameClaim { CLAIMED, TAKEN, FAILED };

// Creates `name` empty unless something of that name exists, in one step, so that a recording of
// an earlier run (whose numbering started at 1 as well) is never overwritten.
NameClaim claimName(const char* name) {
    if (std::FILE* file = std::fopen(name, "wbx")) {
        std::fclose(file);
        return NameClaim::CLAIMED;
    }
    std::error_code error;
    return std::filesystem::exists(name, error) ? NameClaim::TAKEN : NameClaim::FAILED;
}

} // namespace

int OivVideoRecorder::m_FileIndex = 0;

OivVideoRecorder::OivVideoRecorder()
    : m_Renderer(nullptr), m_OivBaseCanvas(nullptr), m_LastSize(0, 0),
      m_LastQuality(kDefaultFlightQuality), m_Flying(false), m_LastQueueWaitTime(0.0),
      m_WriteErrorSensor(new SoOneShotSensor(&OivVideoRecorder::stopFailedCB, this)) {}

OivVideoRecorder::~OivVideoRecorder() {
    setOivBaseCanvas(nullptr);
    delete m_WriteErrorSensor;
    // The renderer writes what is queued and finalises its open file as it goes.
    delete m_Renderer;
}

void OivVideoRecorder::setOivBaseCanvas(OivBaseCanvas* canvas) {
    if (m_OivBaseCanvas)
        m_OivBaseCanvas->removeCanvasObserver(this);
    m_OivBaseCanvas = canvas;
    if (canvas)
        canvas->addCanvasObserver(this);
}

// The file is closed while the canvas's viewer, which the renderer reads its frames from, still
// exists.
void OivVideoRecorder::canvasDestroyed(OivBaseCanvas*) {
    if (m_Renderer)
        closeRenderer();
    m_OivBaseCanvas = nullptr;
}

void OivVideoRecorder::start(SbVec2s size, float quality) {
    SoWinFullViewer* viewer = recordedViewer();
    if (!viewer || m_Flying)
        return;
    if (!m_Renderer) {
        m_Renderer = new SoMPEGNavRenderer(viewer->getSceneManager()->getSceneGraph());
        m_Renderer->setErrorCallback(&OivVideoRecorder::writeErrorCB, this);
        // A frame of the view's size is the picture the view just drew.
        m_Renderer->setShownBy(viewer);
        configureRenderer(*m_Renderer, viewer, size, quality);
        m_LastSize = m_Renderer->getSize();
        m_LastQuality = quality;
    } else {
        // Every file is finalised before the next is opened, so each one plays.
        finishFile();
    }
    if (!openNextFile(*m_Renderer, kMaxFramesPerFile)) {
        closeRenderer();
        return;
    }
    m_Renderer->record();
}

bool OivVideoRecorder::recordFlight(int firstIndex, int lastIndex, int framesPerStep,
                                    bool (*progress)(void*, float), void* userData) {
    OivWinCurveViewer* viewer = flightViewer(firstIndex, lastIndex);
    if (!viewer || framesPerStep < 1 || m_Renderer || m_Flying)
        return false;
    const SbVec2s viewSize = viewer->getViewportRegion().getWindowSize();
    const SbVec2s size =
        m_LastSize[0] > 0 ? m_LastSize : SbVec2s(flightSide(viewSize[0]), flightSide(viewSize[1]));
    // Frames only when the flight asks for them: not a navigation renderer.
    SoMPEGRenderer renderer(viewer->getSceneManager()->getSceneGraph());
    configureRenderer(renderer, viewer, size, m_LastQuality);
    const unsigned long frames =
        (unsigned long)(std::abs(lastIndex - firstIndex) + 1) * (unsigned long)framesPerStep;
    if (!openNextFile(renderer, (unsigned int)std::min<unsigned long>(frames, UINT_MAX)))
        return false;
    m_Flying = true;
    const bool written =
        fly(viewer, renderer, firstIndex, lastIndex, framesPerStep, progress, userData);
    m_Flying = false;
    return written;
}

// The flight proper; the file is finalised before the viewer is given back.
bool OivVideoRecorder::fly(OivWinCurveViewer* viewer, SoMPEGRenderer& renderer, int firstIndex,
                           int lastIndex, int framesPerStep, bool (*progress)(void*, float),
                           void* userData) {
    // A copy: a progress callback may give the viewer another curve.
    const SbVec3f* curve = viewer->getResampledTrackingCurve();
    std::vector<SbVec3f> points;
    for (int index = firstIndex;; index += lastIndex >= firstIndex ? 1 : -1) {
        points.push_back(curve[index]);
        if (index == lastIndex)
            break;
    }
    const int count = int(points.size());
    OivVideoFlight flight(viewer);
    renderer.record();
    for (int i = 0; i < count && !renderer.hasWriteError(); ++i) {
        flight.moveTo(points[i]);
        for (int frame = 0; frame < framesPerStep; ++frame)
            renderer.recordFrame();
        if (progress && !progress(userData, float(i + 1) / float(count)))
            break;
    }
    renderer.stop();
    renderer.closeFile();
    m_LastQueueWaitTime = renderer.getQueueWaitTime();
    return !renderer.hasWriteError();
}

// The renderer is recording when it finds the error: the recording stops from the loop.
void OivVideoRecorder::writeErrorCB(void* userData, SoMPEGRenderer*) {
    static_cast<OivVideoRecorder*>(userData)->m_WriteErrorSensor->schedule();
}

// As the user's stop: the file keeps the frames written before the error; the recorder is idle
// and the canvas's dialogs show it.
void OivVideoRecorder::stopFailedCB(void* userData, SoSensor*) {
    auto* recorder = static_cast<OivVideoRecorder*>(userData);
    if (!recorder->m_OivBaseCanvas || !recorder->m_Renderer ||
        !recorder->m_Renderer->hasWriteError())
        return;
    recorder->stop();
    recorder->m_OivBaseCanvas->updateDUI();
}

void OivVideoRecorder::pause() {
    if (m_OivBaseCanvas && m_Renderer)
        m_Renderer->stop();
}

void OivVideoRecorder::resume() {
    if (m_OivBaseCanvas && m_Renderer)
        m_Renderer->record();
}

void OivVideoRecorder::stop() {
    if (!m_OivBaseCanvas || !m_Renderer)
        return;
    finishFile();
    closeRenderer();
}

// A video without a picture opens in no player: a recording during which the view never changed
// holds the view as it was.
void OivVideoRecorder::finishFile() {
    if (m_Renderer->getNumFramesRecorded() == 0) {
        m_Renderer->record();
        m_Renderer->recordFrame();
    }
    m_Renderer->stop();
    m_Renderer->closeFile();
}

// The canvas's viewer, once the canvas has one; there is nothing to record before.
SoWinFullViewer* OivVideoRecorder::recordedViewer() const {
    return m_OivBaseCanvas ? m_OivBaseCanvas->getOivViewer() : nullptr;
}

// The canvas's viewer when it is a curve viewer with a curve that has both points.
OivWinCurveViewer* OivVideoRecorder::flightViewer(int firstIndex, int lastIndex) const {
    auto* viewer = dynamic_cast<OivWinCurveViewer*>(recordedViewer());
    if (!viewer || !viewer->isTrackingCurveDefined() || !viewer->getCamera())
        return nullptr;
    const int count = viewer->getNumResampledPoints();
    const bool inside =
        firstIndex >= 0 && firstIndex < count && lastIndex >= 0 && lastIndex < count;
    return inside ? viewer : nullptr;
}

// Records the whole scene the viewer draws (its camera and headlight included), in the viewer's
// OpenGL share group.
void OivVideoRecorder::configureRenderer(SoMPEGRenderer& renderer, SoWinFullViewer* viewer,
                                         SbVec2s size, float quality) {
    renderer.setSize(size);
    renderer.setShareContext(viewer->getShareContext());
    renderer.setCompressionRate(quality);
}

// Names that exist are skipped without limit (a folder holds finitely many); names that cannot be
// created count towards the bound. A name claimed but refused by the renderer means the video
// cannot be written with the renderer's settings, whatever its name: no further name is tried.
bool OivVideoRecorder::openNextFile(SoMPEGRenderer& renderer, unsigned int maxFrames) {
    int failures = 0;
    while (failures < kMaxOpenAttempts && m_FileIndex < INT_MAX) {
        char name[64];
        std::snprintf(name, sizeof(name), kFileNameFormat, kFilePrefix, ++m_FileIndex);
        switch (claimName(name)) {
        case NameClaim::TAKEN:
            break;
        case NameClaim::FAILED:
            ++failures;
            break;
        case NameClaim::CLAIMED:
            if (renderer.openFile(name, maxFrames))
                return true;
            std::remove(name);
            return false;
        }
    }
    return false;
}

void OivVideoRecorder::closeRenderer() {
    m_LastQueueWaitTime = m_Renderer->getQueueWaitTime();
    delete m_Renderer;
    m_Renderer = nullptr;
}
