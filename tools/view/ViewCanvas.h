// oivwintav-view's one canvas: the window and the canvas the options ask for, the scene files
// read into it (or the demo's terrain and well), and what is done with it: shown on screen until
// closed, or written as a picture, an orbit video or a flight along the tracking curve.
#ifndef OIVWINTAV_TOOLS_VIEWCANVAS_H
#define OIVWINTAV_TOOLS_VIEWCANVAS_H

#include "ViewOptions.h"

#include <windows.h>

#include <string>

class OivCanvas;
class SoSeparator;

// Runs oivwintav-view once for parsed options.
class ViewCanvas {
public:
    // The program's exit statuses.
    static constexpr int kDone = 0;
    static constexpr int kCannotReadOrWrite = 1;
    static constexpr int kBadCommandLine = 2;

    explicit ViewCanvas(const ViewOptions& options);

    // Opens the window, builds the canvas, reads the files and shows or writes the result.
    // Returns an exit status; every failure has been reported on standard error in one line.
    int run();

private:
    int runInWindow(HWND window);
    int present(OivCanvas& canvas);
    bool checkZScale(const OivCanvas& canvas) const;
    bool readContent(OivCanvas& canvas, SoSeparator* content) const;
    bool decorate(OivCanvas& canvas) const;
    void frame(OivCanvas& canvas) const;
    bool recordVideo(OivCanvas& canvas) const;
    bool recordOrbit(OivCanvas& canvas) const;
    bool recordFlight(OivCanvas& canvas) const;

    const ViewOptions& m_Options;
};

#endif // OIVWINTAV_TOOLS_VIEWCANVAS_H
