#include "video/OivVideoRecorder.h"

#include "canvas/OivBaseCanvas.h"

#include <Inventor/SoMPEGNavRenderer.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>

#include <cstdio>

namespace {

constexpr const char* kFilePrefix = "Zorvan3D_";
constexpr const char* kFileNameFormat = "%s%d.mpg";
constexpr unsigned int kMaxFramesPerFile = 10000;
// A folder that takes no file would otherwise make start try names for ever.
constexpr int kMaxOpenAttempts = 100;

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
        m_Renderer->stop();
        m_Renderer->closeFile();
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
    m_Renderer->stop();
    m_Renderer->closeFile();
    closeRenderer();
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

bool OivVideoRecorder::openNextFile() {
    for (int attempt = 0; attempt < kMaxOpenAttempts; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof(name), kFileNameFormat, kFilePrefix, ++m_FileIndex);
        if (m_Renderer->openFile(name, kMaxFramesPerFile))
            return true;
    }
    return false;
}

void OivVideoRecorder::closeRenderer() {
    delete m_Renderer;
    m_Renderer = nullptr;
}
