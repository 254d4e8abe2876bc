#include "video/OivVideoRecorder.h"

#include "canvas/OivBaseCanvas.h"

#include <Inventor/SoMPEGNavRenderer.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>

#include <climits>
#include <cstdio>
#include <filesystem>

namespace {

constexpr const char* kFilePrefix = "Zorvan3D_";
constexpr const char* kFileNameFormat = "%s%d.mpg";
constexpr unsigned int kMaxFramesPerFile = 10000;
// A folder that takes no file would otherwise make start try names for ever.
constexpr int kMaxOpenAttempts = 100;

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

OivVideoRecorder::OivVideoRecorder() : m_Renderer(nullptr), m_OivBaseCanvas(nullptr) {}

OivVideoRecorder::~OivVideoRecorder() {
    // The renderer finalises its open file as it goes.
    delete m_Renderer;
}

void OivVideoRecorder::start(SbVec2s size, float quality) {
    SoWinFullViewer* viewer = recordedViewer();
    if (!viewer)
        return;
    if (!m_Renderer) {
        m_Renderer = createRenderer(viewer, size, quality);
    } else {
        // Every file is finalised before the next is opened, so each one plays.
        finishFile();
    }
    if (!openNextFile()) {
        closeRenderer();
        return;
    }
    m_Renderer->record();
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

// Records the whole scene the viewer draws (its camera and headlight included), in the viewer's
// OpenGL share group.
SoMPEGNavRenderer* OivVideoRecorder::createRenderer(SoWinFullViewer* viewer, SbVec2s size,
                                                    float quality) const {
    SoMPEGNavRenderer* renderer = new SoMPEGNavRenderer(viewer->getSceneManager()->getSceneGraph());
    renderer->setSize(size);
    renderer->setShareContext(viewer->getShareContext());
    renderer->setCompressionRate(quality);
    return renderer;
}

// Names that exist are skipped without limit (a folder holds finitely many); names that cannot be
// created count towards the bound. A name claimed but refused by the renderer means the video
// cannot be written with the renderer's settings, whatever its name: no further name is tried.
bool OivVideoRecorder::openNextFile() {
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
            if (m_Renderer->openFile(name, kMaxFramesPerFile))
                return true;
            std::remove(name);
            return false;
        }
    }
    return false;
}

void OivVideoRecorder::closeRenderer() {
    delete m_Renderer;
    m_Renderer = nullptr;
}
