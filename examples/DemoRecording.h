// The demo's video: the camera orbits the demo scene once while the canvas's video recorder
// records, about three seconds of video at 25 frames per second. The demo program and the video
// benchmark both orbit from here.
#ifndef OIVWINTAV_EXAMPLES_DEMORECORDING_H
#define OIVWINTAV_EXAMPLES_DEMORECORDING_H

class OivCanvas;
class SoCamera;

class DemoRecording {
public:
    // Frames of one orbit: three seconds at 25 frames per second.
    static constexpr int kOrbitFrames = 75;

    // Turns the camera by `degrees` around the vertical (Z) axis through its focal point.
    static void orbitStep(SoCamera* camera, float degrees);

    // Lets the message loop handle what a camera move caused (the canvas's redraw, the
    // recorder's frame), as a host's loop does between two moves, then returns.
    static void runPendingWork();

    // Records one orbit of the canvas's camera at the demo's frame size with the medium quality,
    // into the next numbered video file of the folder that holds `besideFile` (Zorvan3D_1.mpg for
    // the first of a process, and then a line on standard output names it); the camera ends where
    // it started. The recorder writes into the current folder, so that folder is current while
    // it records. The canvas must show the demo scene.
    static void recordOrbit(OivCanvas& canvas, const char* besideFile);

    // Points of the curve canvas's well that the demo's flight passes, from the top down: six
    // seconds of video at 25 frames per second.
    static constexpr int kFlightPoints = 150;

    // Records a flight of the curve canvas's tracking point down the first kFlightPoints points
    // of its curve (fewer on a shorter curve), one frame a point, into the next numbered video
    // file of the folder that holds `besideFile`, printing a progress line while it records and
    // then the file's name. The canvas must be a curve canvas with a curve. True when recorded.
    static bool recordFlight(OivCanvas& canvas, const char* besideFile);

    DemoRecording() = delete;
};

#endif // OIVWINTAV_EXAMPLES_DEMORECORDING_H
