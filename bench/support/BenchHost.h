// What every benchmark program sets up the same way: headless drawing, a host window for a
// canvas, and Google Benchmark's run.
#ifndef OIVWINTAV_BENCH_BENCHHOST_H
#define OIVWINTAV_BENCH_BENCHHOST_H

#include <windows.h>

namespace benchhost {

// A borderless child of the application's top-level window, width × height pixels of client
// area, for a canvas to be built in.
HWND createWindow(int width, int height);

// Draws headless (no display) through SoWin::init with `name`, then runs the benchmarks the
// command line selects. The program's exit code.
int run(const char* name, int argc, char** argv);

} // namespace benchhost

#endif // OIVWINTAV_BENCH_BENCHHOST_H
