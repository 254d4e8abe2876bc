// Records what a canvas shows into numbered MPEG files in the current folder: Zorvan3D_1.mpg,
// Zorvan3D_2.mpg, ... numbered across every recorder of the process. A frame is added each time
// the canvas's scene changes (a camera move, an edit) while recording.
//
// Three states: idle (no renderer), recording and paused (a renderer with an open file). start
// opens the next file, pause and resume switch frames off and on, stop finalises the file. Every
// operation but the canvas accessors does nothing while no canvas is set. Not copyable: the
// recorder owns its renderer, and a copy would delete it a second time.
#ifndef OIVWINTAV_OIVVIDEORECORDER_H
#define OIVWINTAV_OIVVIDEORECORDER_H

#include <Inventor/SbVec2s.h>

class OivBaseCanvas;
class SoMPEGNavRenderer;
class SoWinFullViewer;

class OivVideoRecorder {
public:
    OivVideoRecorder();
    // Finalises the file of a running or paused recording.
    ~OivVideoRecorder();
    OivVideoRecorder(const OivVideoRecorder&) = delete;
    OivVideoRecorder& operator=(const OivVideoRecorder&) = delete;

    // The canvas whose view is recorded.
    void setOivBaseCanvas(OivBaseCanvas* canvas) { m_OivBaseCanvas = canvas; }
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

protected:
    // The number of the last file name tried, by any recorder of the process.
    static int m_FileIndex;

    SoMPEGNavRenderer* m_Renderer;
    OivBaseCanvas* m_OivBaseCanvas;

private:
    SoWinFullViewer* recordedViewer() const;
    SoMPEGNavRenderer* createRenderer(SoWinFullViewer* viewer, SbVec2s size, float quality) const;
    bool openNextFile();
    void finishFile();
    void closeRenderer();
};

#endif // OIVWINTAV_OIVVIDEORECORDER_H
