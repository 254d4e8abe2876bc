// What oivwintav-view was asked to do, read from its command line: the canvas type, the files,
// the decorations, and whether to write a picture or a video instead of opening a window.
#ifndef OIVWINTAV_TOOLS_VIEWOPTIONS_H
#define OIVWINTAV_TOOLS_VIEWOPTIONS_H

#include "canvas/OivBaseCanvas.h"
#include "scene/OivBaseSceneManager.h"

#include <Inventor/SbVec2s.h>

#include <string>
#include <vector>

// The command line of oivwintav-view, parsed; every value is checked for form, not against the
// canvas (the Z scale is checked against the canvas's table once there is a canvas).
class ViewOptions {
public:
    // What parse made of the command line.
    enum class Outcome {
        RUN,  // the options are complete and well formed
        HELP, // --help: print the usage, nothing else
        BAD   // error() says what is wrong
    };

    // Reads every argument after the program name. Later options of the same name replace
    // earlier ones; anything not starting with "--" is a scene file.
    Outcome parse(int argc, const char* const* argv);
    // The one-line reason of a BAD outcome.
    const std::string& error() const { return m_Error; }

    // The text --help prints, also printed after every error of the command line.
    static const char* usage();

    OivBaseCanvas::ViewerType viewerType = OivBaseCanvas::EXAMINER_VIEWER;
    std::vector<std::string> files;
    // The Z scale asked for; not set when hasZScale is false.
    bool hasZScale = false;
    float zScale = 1.0f;
    std::string zScaleText;
    OivBaseSceneManager::Background background = OivBaseSceneManager::BLACK;
    std::string backgroundImage;
    bool compass = false;
    bool giro = false;
    bool stickyCursor = false;
    // Where the picture goes; empty for none.
    std::string picture;
    // The window's client size, which is also the picture's and the video's frame size.
    SbVec2s size = SbVec2s(640, 480);
    // Where the video is recorded, empty for none: one orbit of the camera lasting orbitSeconds,
    // or with flight, a flight of the curve canvas along its whole tracking curve.
    std::string video;
    float orbitSeconds = 0.0f;
    bool flight = false;

private:
    bool parseOption(const std::string& name, const char* const*& next, const char* const* end);
    bool checkCombination();
    bool fail(const std::string& reason);

    std::string m_Error;
};

#endif // OIVWINTAV_TOOLS_VIEWOPTIONS_H
