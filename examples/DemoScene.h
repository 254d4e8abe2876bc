// The demo's scene: a terrain coloured by height with a well path drawn as a pipe through it,
// shown by a canvas with gradient background, compass, horizon giro, a global Z scale of 2 and a
// message, seen from the south. The demo program, the canvas tests and the canvas benchmark all
// build it from here.
#ifndef OIVWINTAV_EXAMPLES_DEMOSCENE_H
#define OIVWINTAV_EXAMPLES_DEMOSCENE_H

#include <Inventor/SbVec2s.h>

#include <vector>

class OivCanvas;
class SoSeparator;

class DemoScene {
public:
    // The demo window's client size in pixels.
    static constexpr short kWidth = 640;
    static constexpr short kHeight = 480;

    // The global Z scale the demo picks from the canvas's table.
    static constexpr const char* kZScaleLabel = "2";
    // The demo's message; the canvas's Z scale follows it (", Z scale 2").
    static constexpr const char* kMessage = "OivWinTav demo: terrain and well";

    // The 3D content alone: terrain and well, with their own lights left to the viewer.
    // Not referenced: the caller refs it or adds it to a graph.
    static SoSeparator* createContent();

    // Puts the content under the canvas's 3D root, switches on the decorations, applies the
    // Z scale and turns the camera to look from the south, a little from above, framing the
    // content; that view becomes the viewer's home. The canvas must have been initialised with a
    // window.
    static void present(OivCanvas& canvas);

    // Keeps the message's Z scale that of the canvas: a Z scale chosen later (in the toolbar)
    // shows in the message. Takes the canvas's one view-context listener, so not for a canvas
    // of a group.
    static void followZScale(OivCanvas& canvas);

    // Draws the canvas and writes what it shows to `path` as a PNG file. False if the canvas has
    // no viewer, the pixels cannot be read or the file cannot be written.
    static bool writePicture(OivCanvas& canvas, const char* path);
    // The same for several canvases of one height, side by side from left to right in one
    // picture; also false if their heights differ.
    static bool writePicture(const std::vector<OivCanvas*>& canvases, const char* path);

    DemoScene() = delete;
};

#endif // OIVWINTAV_EXAMPLES_DEMOSCENE_H
