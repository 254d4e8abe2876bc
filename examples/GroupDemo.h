// The demo's linked pair: a 3D view and a plan view of the demo's terrain in one canvas group.
// One camera move in the 3D view (an orbit around what it looks at) and the plan view follows,
// taking the 3D view's camera and Z scale. Then the user points at the terrain in the 3D view:
// its sticky cursor sits there with the read-out of the point, and the plan view echoes it. The
// picture shows both side by side.
#ifndef OIVWINTAV_EXAMPLES_GROUPDEMO_H
#define OIVWINTAV_EXAMPLES_GROUPDEMO_H

#include <windows.h>

#include <string>

class GroupDemo {
public:
    // How far the 3D view orbits, about the vertical through its focal point.
    static constexpr float kOrbitDegrees = 60.0f;

    // Builds the pair in two panes inside `parent`, moves the 3D view's camera once, lets the
    // group synchronise, points at the terrain in the 3D view (cursor echo on) and writes both
    // canvases, 3D view on the left, to `path`. False if a pane cannot be made or the picture
    // cannot be written.
    static bool writePairPicture(HWND parent, const char* path);

    // Writes the pair picture beside the demo's own picture (`picture` with "-group" before its
    // extension) and says so on the console. False, with a message, if it could not.
    static bool writePairBeside(HWND parent, const char* picture);

    // "shots/demo.png" gives "shots/demo-group.png"; a name without extension gets the suffix.
    static std::string pairPicturePath(const std::string& picture);

    GroupDemo() = delete;
};

#endif // OIVWINTAV_EXAMPLES_GROUPDEMO_H
