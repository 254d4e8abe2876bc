// The demo's second picture: a curve canvas of the same terrain and well, tracking the well from
// its path, with the tracking point halfway down the well and the tracking compass drawn there.
#ifndef OIVWINTAV_EXAMPLES_CURVEDEMO_H
#define OIVWINTAV_EXAMPLES_CURVEDEMO_H

#include <windows.h>

#include <string>

class OivCanvas;
class OivWinCurveViewer;

class CurveDemo {
public:
    // Makes the well of the demo scene shown by `viewer` its tracking curve, with the tracking
    // point halfway down; the camera stays. False when the scene has no well.
    static bool trackTheWell(OivWinCurveViewer& viewer);

    // Where the curve picture goes beside `picture`: "-curve" before its extension
    // ("docs/demo.png" gives "docs/demo-curve.png").
    static std::string pictureBeside(const char* picture);

    // Shows the demo scene in `canvas`, initialised as a curve canvas, tracking the well from
    // halfway down; that view is the viewer's home. False if the well cannot be tracked.
    static bool present(OivCanvas& canvas);

    // Builds the curve canvas in `window`, writes what it shows beside `picture` (see
    // pictureBeside) and says so on the standard output, or on the error output that it could
    // not; with `recordFlight`, then records a flight down the well into the next video file of
    // that folder (DemoRecording::recordFlight). True when everything asked for was written.
    static bool writePictureBeside(HWND window, const char* picture, bool recordFlight = false);

    CurveDemo() = delete;
};

#endif // OIVWINTAV_EXAMPLES_CURVEDEMO_H
