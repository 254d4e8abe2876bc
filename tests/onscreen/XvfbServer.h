// A private X server for the on-screen tests: Xvfb on the first free display number, started
// once per test program and ended with it (the server is told to stop when its parent dies).
#ifndef OIVWINTAV_TESTS_ONSCREEN_XVFBSERVER_H
#define OIVWINTAV_TESTS_ONSCREEN_XVFBSERVER_H

#include <string>

namespace onscreen {

class XvfbServer {
public:
    // Starts the server and waits until it accepts connections. On failure `error` says why
    // (Xvfb missing, or the server gave up) and the returned name is empty; otherwise it is the
    // display name (":N").
    static std::string start(std::string& error);

    XvfbServer() = delete;
};

} // namespace onscreen

#endif
