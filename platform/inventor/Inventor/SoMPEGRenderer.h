// Records a scene graph into an MPEG-1 video file (.mpg, MPEG program stream): each recorded
// frame renders the scene off screen at the chosen size; a worker thread of the open file
// converts, encodes and writes the pictures in order, behind a short queue, so that drawing goes
// on meanwhile. A full queue makes recordFrame wait; no frame is dropped.
//
// Size, compression rate and frame rate are read when a file is opened and hold for that file.
// Frames are added by recordFrame while recording is on (record / stop), up to the maximum
// number given to openFile. A file that was opened is always finalised: by closeFile, by the
// next openFile, or when the renderer is deleted. Not copyable: it owns its file and its OpenGL
// context.
#ifndef OIVWINTAV_SOMPEGRENDERER_H
#define OIVWINTAV_SOMPEGRENDERER_H

#include <Inventor/SbBasic.h>
#include <Inventor/SbVec2s.h>

#include <memory>

class SoNode;
class SoWinRenderArea;

class SoMPEGRenderer {
public:
    // `scene` may be null and set later; the renderer refs the scene while it holds it.
    explicit SoMPEGRenderer(SoNode* scene = NULL);
    // Finalises an open file.
    virtual ~SoMPEGRenderer();
    SoMPEGRenderer(const SoMPEGRenderer&) = delete;
    SoMPEGRenderer& operator=(const SoMPEGRenderer&) = delete;

    virtual void setSceneGraph(SoNode* scene);
    SoNode* getSceneGraph(void) const;

    // Frame size in pixels (default 320 × 240); values below 1 are taken as 1.
    void setSize(const SbVec2s& size);
    const SbVec2s& getSize(void) const;

    // An OpenGL context to share textures and display lists with (an HGLRC of the viewer layer,
    // null for none). The renderer draws in a context of its own; when it cannot share with the
    // one given (it belongs to another display), it draws unshared.
    void setShareContext(void* shareContext);
    void* getShareContext(void) const;

    // 0 the best quality to 1 the smallest file (default 0.5); clamped to [0, 1], not a number
    // taken as 0. It picks the encoder's fixed quantiser, linearly from 2 at 0 to 31 at 1.
    void setCompressionRate(float rate);
    float getCompressionRate(void) const;

    // Default 25. The stream carries the nearest MPEG-1 picture rate.
    void setNumFramesPerSecond(int fps);
    int getNumFramesPerSecond(void) const;

    // Finalises any open file, then creates `filename` for at most `numFrames` frames. False
    // when the file cannot be created; no file is open then.
    SbBool openFile(const char* filename, unsigned int numFrames = 10000);
    // Drains the encoder, writes the stream's trailer and closes the file.
    void closeFile(void);
    SbBool isFileOpen(void) const;

    // Switch recording on and off; the file stays open either way. stop returns once every frame
    // recorded before it is written.
    virtual void record(void);
    virtual void stop(void);
    SbBool isRecording(void) const;

    // While recording into an open file that has room left: renders the scene and encodes the
    // picture as the next frame. Otherwise does nothing.
    void recordFrame(void);

    // Frames recorded into the open (or last) file, written or still queued.
    unsigned int getNumFramesRecorded(void) const;

    // Addition of this platform: the render area that shows this renderer's scene. When it last
    // drew the scene at the open file's frame size, recordFrame takes that picture instead of
    // drawing the scene a second time; otherwise it draws off screen. A navigation renderer given
    // the area before record records after the area's redraw. Null (the default) always draws.
    // No frame may be recorded once the area is deleted.
    void setShownBy(SoWinRenderArea* area);
    SoWinRenderArea* getShownBy(void) const;

    // Additions of this platform, for an owner that must see a recording fail.
    //
    // A write error: the encoder refused a picture or the file could not be written (a full
    // disk). The file then keeps what was written before the error and closeFile still finalises
    // it; later frames are dropped. The callback runs on the recording thread, once per file,
    // from the recordFrame or stop that first finds the error; it must not delete the renderer.
    typedef void ErrorCB(void* userData, SoMPEGRenderer* renderer);
    void setErrorCallback(ErrorCB* function, void* userData);
    SbBool hasWriteError(void) const;
    // Seconds recordFrame has waited for room in the queue, over the renderer's life.
    double getQueueWaitTime(void) const;

private:
    class Private;
    std::unique_ptr<Private> m_Private;
};

#endif // OIVWINTAV_SOMPEGRENDERER_H
