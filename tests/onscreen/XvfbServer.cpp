#include "onscreen/XvfbServer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace onscreen {

namespace {

constexpr const char* kServer = "Xvfb";
// Large enough for every window of the tests side by side; 24 bits as on a desktop.
constexpr const char* kScreen = "1280x1024x24";

// Runs in the child: the server writes its display number to `fd` once it listens.
[[noreturn]] void execServer(int fd) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const std::string displayFd = std::to_string(fd);
    execlp(kServer, kServer, "-displayfd", displayFd.c_str(), "-screen", "0", kScreen, "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
}

std::string readLine(int fd) {
    std::string line;
    char c;
    ssize_t got;
    while ((got = read(fd, &c, 1)) == 1 && c != '\n')
        line += c;
    return line;
}

} // namespace

std::string XvfbServer::start(std::string& error) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return "";
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        execServer(pipeEnds[1]);
    }
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        error = std::string("cannot fork: ") + std::strerror(errno);
        return "";
    }
    const std::string number = readLine(pipeEnds[0]);
    close(pipeEnds[0]);
    if (number.empty()) {
        int status = 0;
        waitpid(child, &status, 0);
        error = WIFEXITED(status) && WEXITSTATUS(status) == 127
                    ? "Xvfb is not installed (package xvfb; scripts/install-deps.sh installs it)"
                    : "Xvfb did not start";
        return "";
    }
    return ":" + number;
}

} // namespace onscreen
