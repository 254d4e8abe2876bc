// The demo canvas drawn with no display at all, in a child process, for comparison with the same
// canvas on screen: one process uses one backend, so the headless frame comes from another.
#ifndef OIVWINTAV_TESTS_ONSCREEN_HEADLESSFRAME_H
#define OIVWINTAV_TESTS_ONSCREEN_HEADLESSFRAME_H

#include "onscreen/TestScreen.h"

#include <string>

class OivCanvas;

namespace onscreen {

// The option that makes the test program write the headless frame instead of testing.
constexpr const char* kHeadlessFrameOption = "--write-headless-frame=";

// Shows the demo's scene in `canvas`, initialised as an examiner in a new host window of the
// demo's size inside the application's top-level window. Returns that window.
HWND presentDemoCanvas(OivCanvas& canvas);

// In this process, which must not have initialised the viewer layer: the demo canvas's frame,
// headless, to the PNG file `path`. The process's exit status.
int writeHeadlessFrame(const char* path);

// Runs this program with the option above and reads back the PNG it writes; an empty image
// when that failed.
ScreenImage headlessDemoFrame(const std::string& path);

} // namespace onscreen

#endif
