// Records what a canvas shows into numbered MPEG files in the current folder: Zorvan3D_1.mpg,
// Zorvan3D_2.mpg, ... numbered across every recorder of the process. A frame is added each time
// the canvas's scene changes (a camera move, an edit) while recording.
//
// Three states: idle (no renderer), recording and paused (a renderer with an open file). start
// opens the next file, pause and resume switch frames off and on, stop finalises the file. Every
// operation but the canvas accessors does nothing while no canvas is set. Frames are drawn on
// the calling thread and written by a worker thread of the recording; pause, stop, a new start
// and deleting the recorder wait until every frame recorded before them is written. A recording
// whose file cannot be written (a full disk) stops by itself once the next frame or pause finds
// out, as stop would, keeping the frames written before; the canvas's dialogs are then updated
// (updateDUI). When the canvas is destroyed, a running or paused recording is finalised as
// deleting the recorder would, and the recorder is left without a canvas. Not copyable: the
// recorder owns its renderer, and a copy would delete it a second time.
#ifndef OIVWINTAV_OIVVIDEORECORDER_H
#define OIVWINTAV_OIVVIDEORECORDER_H

#include "canvas/OivCanvasObserver.h"

#include <Inventor/SbVec2s.h>

class OivBaseCanvas;
class OivWinCurveViewer;
class SoMPEGNavRenderer;
class SoMPEGRenderer;
class SoOneShotSensor;
class SoSensor;
class SoWinFullViewer;

class OivVideoRecorder : private OivCanvasObserver {
public:
    OivVideoRecorder();
    // Finalises the file of a running or paused recording.
    virtual ~OivVideoRecorder();
    OivVideoRecorder(const OivVideoRecorder&) = delete;
    OivVideoRecorder& operator=(const OivVideoRecorder&) = delete;

    // The canvas whose view is recorded.
    void setOivBaseCanvas(OivBaseCanvas* canvas);
    OivBaseCanvas* getOivBaseCanvas() const { return m_OivBaseCanvas; }

    // Starts recording into the next file. `size` is the frame size in pixels, `quality` the
    // compression rate from 0 (best) to 1 (smallest file); both are taken by the first start
    // after idle and kept by later starts until stop. A start while recording or paused finalises
    // the current file first. A file of an earlier recording is never overwritten: a name that
    // exists, or that cannot be created, uses up its number and the next is tried (up to 100
    // names that cannot be created). The recorder stays idle when no file can be created, or
    // when the video cannot be written at `size` (an MPEG-1 picture is at most 4095 pixels wide
    // and high). Needs a canvas with a viewer.
    void start(SbVec2s size, float quality);
    // Frames stop being added; the file stays open.
    void pause();
    // Frames are added again.
    void resume();
    // Finalises the file and returns to idle. A file to which no frame was added (the view never
    // changed, or the recording was paused throughout) gets the view as it is, once.
    void stop();
    // Whether a recording is running or paused: false after stop, and after a start that could
    // open no file.
    bool hasRecording() const { return m_Renderer != nullptr; }

    // Flies a curve canvas's tracking point through its resampled points from firstIndex to
    // lastIndex (either way, both included) and records the flight into the next file, named
    // and opened as start does: framesPerStep frames for each point, each one drawn after the
    // curve viewer placed the point and the camera on it (the compass and the camera follow as
    // when the user moves the point). The frame size and quality are those of the last start;
    // before any start, the view's size (even and at most 4094 pixels in both directions) and
    // quality 0.3. `progress`, when given, hears after each point the share of points done; its
    // false ends the flight there. The file is finalised, and the tracking point, camera and home
    // position put back, however the flight ends. While it runs the canvas's input is held back
    // (button releases excepted), so a drag under way resumes only after it, and start does
    // nothing. False, and no file, when the canvas is not a curve canvas or has no curve, an
    // index is outside the resampled points, framesPerStep is below 1, a recording or flight is
    // running, or no file can be opened; false as well when frames could not be written (the
    // file keeps those written before). True for a flight that ran, cancelled or not.
    bool recordFlight(int firstIndex, int lastIndex, int framesPerStep = 1,
                      bool (*progress)(void* userData, float done) = nullptr,
                      void* userData = nullptr);

    // Seconds the drawing thread waited for the encoder to make room in its queue during the last
    // recording or flight that ended: what recording cost the view beyond drawing its frames.
    double getLastQueueWaitTime() const { return m_LastQueueWaitTime; }

protected:
    // The number of the last file name tried, by any recorder of the process.
    static int m_FileIndex;

    SoMPEGNavRenderer* m_Renderer;
    OivBaseCanvas* m_OivBaseCanvas;

private:
    void canvasDestroyed(OivBaseCanvas* canvas) override;
    SoWinFullViewer* recordedViewer() const;
    OivWinCurveViewer* flightViewer(int firstIndex, int lastIndex) const;
    void configureRenderer(SoMPEGRenderer& renderer, SoWinFullViewer* viewer, SbVec2s size,
                           float quality);
    bool openNextFile(SoMPEGRenderer& renderer, unsigned int maxFrames);
    bool fly(OivWinCurveViewer* viewer, SoMPEGRenderer& renderer, int firstIndex, int lastIndex,
             int framesPerStep, bool (*progress)(void*, float), void* userData);
    void finishFile();
    void closeRenderer();
    static void writeErrorCB(void* userData, SoMPEGRenderer* renderer);
    static void stopFailedCB(void* userData, SoSensor* sensor);

    // What the last start recorded with; a size of 0 before any.
    SbVec2s m_LastSize;
    float m_LastQuality;
    bool m_Flying;
    double m_LastQueueWaitTime;
    // Stops a recording that could not be written, from the loop: the error is found while the
    // renderer records, which must not delete it.
    SoOneShotSensor* m_WriteErrorSensor;
};

#endif // OIVWINTAV_OIVVIDEORECORDER_H
