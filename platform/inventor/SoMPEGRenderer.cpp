#include <Inventor/SoMPEGRenderer.h>

#include "SoMPEGEncoderThread.h"
#include "SoWinHeadlessGL.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/SoWinRenderArea.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/elements/SoGLCacheContextElement.h>
#include <Inventor/misc/SoContextHandler.h>
#include <Inventor/nodes/SoNode.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

constexpr short kDefaultWidth = 320;
constexpr short kDefaultHeight = 240;
constexpr float kDefaultCompressionRate = 0.5f;
constexpr int kDefaultFramesPerSecond = 25;
// B, G, R, A: what drawing surfaces keep, read back without converting.
constexpr int kBytesPerPixel = 4;

} // namespace

// The off-screen target frames are drawn into: an OpenGL context of the renderer's own (sharing
// with the share context when it can) and a pbuffer surface of the open file's size.
class SoMPEGRenderer::Private {
public:
    Private()
        : size(kDefaultWidth, kDefaultHeight), compressionRate(kDefaultCompressionRate),
          framesPerSecond(kDefaultFramesPerSecond),
          cacheContext(SoGLCacheContextElement::getUniqueCacheContext()),
          renderAction(SbViewportRegion(size)) {
        renderAction.setCacheContext(cacheContext);
    }
    Private(const Private&) = delete;
    Private& operator=(const Private&) = delete;
    ~Private() {
        encoder.close();
        releaseContext();
        if (scene)
            scene->unref();
    }

    void setScene(SoNode* newScene) {
        if (newScene)
            newScene->ref();
        if (scene)
            scene->unref();
        scene = newScene;
    }

    // Coin frees what it cached for the context (display lists, textures) while it is current.
    void releaseContext() {
        if (context && surface && everDrawn) {
            SoWinHeadlessGL::CurrentScope current(context, surface);
            if (current.isCurrent())
                SoContextHandler::destructingContext(cacheContext);
        }
        releaseSurface();
        SoWinHeadlessGL::destroyContext(context);
        context = nullptr;
        contextShare = nullptr;
        everDrawn = false;
    }

    void releaseSurface() {
        SoWinHeadlessGL::destroySurface(surface);
        surface = nullptr;
        surfaceSize = SbVec2s(0, 0);
    }

    // A context sharing with the current share context, and a surface of the file's frame size.
    bool fitTarget() {
        if (context && contextShare != shareContext)
            releaseContext();
        if (!context) {
            context = SoWinHeadlessGL::createContext(shareContext);
            if (!context) // the share context belongs to another display: draw unshared
                context = SoWinHeadlessGL::createContext();
            contextShare = shareContext;
        }
        if (surface && surfaceSize != frameSize)
            releaseSurface();
        if (!surface) {
            surface = SoWinHeadlessGL::createSurface(frameSize[0], frameSize[1]);
            surfaceSize = frameSize;
        }
        return context && surface;
    }

    // Draws the scene at the file's frame size and reads the picture into `pixels`.
    bool drawFrame() {
        if (!scene || !fitTarget())
            return false;
        SoWinHeadlessGL::CurrentScope current(context, surface);
        if (!current.isCurrent())
            return false;
        everDrawn = true;
        const int width = frameSize[0], height = frameSize[1];
        glEnable(GL_DEPTH_TEST); // Coin's render action expects it on
        glViewport(0, 0, width, height);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderAction.setViewportRegion(SbViewportRegion(frameSize));
        renderAction.apply(scene);
        pixels.resize(size_t(width) * height * kBytesPerPixel);
        glPixelStorei(GL_PACK_ALIGNMENT, 1); // rows packed tightly
        glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
        topRowFirst = false;
        return true;
    }

    // The picture the render area showing the scene drew last, when it is of the file's size:
    // the same picture, without drawing the scene a second time.
    bool readShownFrame() {
        if (!shownBy || !scene || shownBy->getSceneManager()->getSceneGraph() != scene)
            return false;
        SbVec2s shownSize;
        if (!shownBy->readPixelsBGRA(pixels, shownSize) || shownSize != frameSize)
            return false;
        topRowFirst = true;
        return true;
    }

    // The first time a frame of the open file is found unwritten, the owner hears of it.
    void reportWriteError() {
        if (errorReported || !encoder.hasFailed())
            return;
        errorReported = true;
        if (errorCallback)
            errorCallback(errorCallbackData, owner);
    }

    SoNode* scene = nullptr;
    SbVec2s size;
    void* shareContext = nullptr;
    SoWinRenderArea* shownBy = nullptr;
    float compressionRate;
    int framesPerSecond;
    bool recording = false;

    SoMPEGRenderer* owner = nullptr;
    SoMPEGRenderer::ErrorCB* errorCallback = nullptr;
    void* errorCallbackData = nullptr;
    bool errorReported = false;

    // Converts, encodes and writes on a thread of its own; pictures are drawn here.
    SoMPEGEncoderThread encoder;
    unsigned int maxFrames = 0;
    SbVec2s frameSize = SbVec2s(0, 0); // the open file's

    uint32_t cacheContext;
    SoGLRenderAction renderAction;
    SoWinHeadlessGL::Context context = nullptr;
    void* contextShare = nullptr; // the share context `context` was made with
    SoWinHeadlessGL::Surface surface = nullptr;
    SbVec2s surfaceSize = SbVec2s(0, 0);
    bool everDrawn = false;
    std::vector<uint8_t> pixels;
    bool topRowFirst = false;
};

SoMPEGRenderer::SoMPEGRenderer(SoNode* scene) : m_Private(new Private) {
    m_Private->owner = this;
    m_Private->setScene(scene);
}

SoMPEGRenderer::~SoMPEGRenderer() = default;

void SoMPEGRenderer::setSceneGraph(SoNode* scene) {
    m_Private->setScene(scene);
}

SoNode* SoMPEGRenderer::getSceneGraph(void) const {
    return m_Private->scene;
}

void SoMPEGRenderer::setSize(const SbVec2s& size) {
    m_Private->size.setValue(std::max<short>(size[0], 1), std::max<short>(size[1], 1));
}

const SbVec2s& SoMPEGRenderer::getSize(void) const {
    return m_Private->size;
}

void SoMPEGRenderer::setShareContext(void* shareContext) {
    m_Private->shareContext = shareContext;
}

void* SoMPEGRenderer::getShareContext(void) const {
    return m_Private->shareContext;
}

void SoMPEGRenderer::setCompressionRate(float rate) {
    m_Private->compressionRate = SoMPEGEncoder::clampedRate(rate);
}

float SoMPEGRenderer::getCompressionRate(void) const {
    return m_Private->compressionRate;
}

void SoMPEGRenderer::setNumFramesPerSecond(int fps) {
    m_Private->framesPerSecond = fps;
}

int SoMPEGRenderer::getNumFramesPerSecond(void) const {
    return m_Private->framesPerSecond;
}

SbBool SoMPEGRenderer::openFile(const char* filename, unsigned int numFrames) {
    Private& self = *m_Private;
    const SoMPEGEncoder::Settings settings = {self.size[0], self.size[1], self.compressionRate,
                                              self.framesPerSecond, kBytesPerPixel};
    self.errorReported = false;
    if (!self.encoder.open(filename, settings))
        return FALSE;
    self.maxFrames = numFrames;
    self.frameSize = self.size;
    return TRUE;
}

void SoMPEGRenderer::closeFile(void) {
    m_Private->encoder.close();
}

SbBool SoMPEGRenderer::isFileOpen(void) const {
    return m_Private->encoder.isOpen() ? TRUE : FALSE;
}

void SoMPEGRenderer::record(void) {
    m_Private->recording = true;
}

void SoMPEGRenderer::stop(void) {
    m_Private->recording = false;
    // Frames recorded before the stop are written before it returns.
    m_Private->encoder.drain();
    m_Private->reportWriteError();
}

SbBool SoMPEGRenderer::isRecording(void) const {
    return m_Private->recording ? TRUE : FALSE;
}

void SoMPEGRenderer::recordFrame(void) {
    Private& self = *m_Private;
    if (!self.recording || !self.encoder.isOpen() ||
        self.encoder.getNumFramesQueued() >= self.maxFrames)
        return;
    if (self.readShownFrame() || self.drawFrame())
        self.encoder.encode(self.pixels, self.topRowFirst);
    self.reportWriteError();
}

unsigned int SoMPEGRenderer::getNumFramesRecorded(void) const {
    return m_Private->encoder.getNumFramesQueued();
}

void SoMPEGRenderer::setShownBy(SoWinRenderArea* area) {
    m_Private->shownBy = area;
}

SoWinRenderArea* SoMPEGRenderer::getShownBy(void) const {
    return m_Private->shownBy;
}

void SoMPEGRenderer::setErrorCallback(ErrorCB* function, void* userData) {
    m_Private->errorCallback = function;
    m_Private->errorCallbackData = userData;
}

SbBool SoMPEGRenderer::hasWriteError(void) const {
    return m_Private->encoder.hasFailed() ? TRUE : FALSE;
}

double SoMPEGRenderer::getQueueWaitTime(void) const {
    return std::chrono::duration<double>(m_Private->encoder.getWaitTime()).count();
}
