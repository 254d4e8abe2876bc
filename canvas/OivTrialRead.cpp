#include "canvas/OivTrialRead.h"

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/nodes/SoSeparator.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBaseLimitMs = 500;
constexpr long long kBytesPerExtraSecond = 2LL * 1024 * 1024;
constexpr int kReadScene = 0;
constexpr int kNoScene = 1;

// The child's whole life: read, and leave without running the parent's exit handlers or flushing
// its buffers (they belong to the parent).
[[noreturn]] void readInChild(const char* fileName) {
    // The child is a probe: the parent reports the outcome. Its read errors, a crash report or a
    // core file of a damaged file would only mislead.
    const int nowhere = open("/dev/null", O_WRONLY);
    if (nowhere >= 0) {
        dup2(nowhere, STDOUT_FILENO);
        dup2(nowhere, STDERR_FILENO);
    }
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    SoInput input;
    bool read = input.openFile(fileName) && SoDB::readAll(&input) != nullptr;
    _exit(read ? kReadScene : kNoScene);
}

// Waits until the child closes its end of the pipe (by exiting) or the time is up.
bool waitForExit(int doneFd, int limitMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd done{doneFd, POLLIN, 0};
        const int ready = poll(&done, 1, static_cast<int>(left));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

long long fileSize(const char* fileName) {
    struct stat file;
    return stat(fileName, &file) == 0 ? static_cast<long long>(file.st_size) : 0;
}

} // namespace

int OivTrialRead::timeLimitMilliseconds(long long bytes) {
    return kBaseLimitMs + static_cast<int>(bytes * 1000 / kBytesPerExtraSecond);
}

bool OivTrialRead::succeeds(const char* fileName) {
    int done[2];
    if (pipe2(done, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        // The write end stays open until the child exits: its closing tells the parent.
        close(done[0]);
        readInChild(fileName);
    }
    close(done[1]);
    if (child < 0) {
        close(done[0]);
        return false;
    }
    const bool exited = waitForExit(done[0], timeLimitMilliseconds(fileSize(fileName)));
    close(done[0]);
    if (!exited)
        kill(child, SIGKILL);
    int status = 0;
    pid_t reaped;
    do
        reaped = waitpid(child, &status, 0);
    while (reaped < 0 && errno == EINTR);
    // A host that ignores SIGCHLD gets no status back: the outcome is then unknown.
    return exited && reaped == child && WIFEXITED(status) && WEXITSTATUS(status) == kReadScene;
}
