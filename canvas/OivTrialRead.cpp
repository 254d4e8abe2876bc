#include "canvas/OivTrialRead.h"

#include <Inventor/SoInput.h>
#include <Inventor/VRMLnodes/SoVRMLInline.h>
#include <Inventor/lists/SbStringList.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBaseLimitMs = 500;
constexpr long long kBytesPerExtraSecond = 2LL * 1024 * 1024;
// The helper maps its libraries (Coin, Mesa, FFmpeg) before it reads anything: a few hundred
// megabytes of address space that hold no scene.
constexpr long long kBaseAddressSpace = 2LL << 30;
// A scene in memory takes a few times its binary file's size; a damaged count asks for gigabytes
// from a file of kilobytes.
constexpr long long kAddressSpacePerFileByte = 64;
constexpr const char* kNowhere = "/dev/null";
// Far more than a start ever takes, even under a sanitizer on a loaded machine.
constexpr int kStartupLimitMs = 20000;

// The arguments the helper is started with, kept alive for the call.
class HelperArguments {
public:
    HelperArguments(const std::string& helper, const char* fileName, long long bytes) {
        // The same for both helpers but the program.
        add(helper);
        const SbStringList& directories = SoInput::getDirectories();
        for (int i = 0; i < directories.getLength(); ++i) {
            add(OivTrialRead::kDirectoryOption);
            add(directories[i]->getString());
        }
        add(OivTrialRead::kMemoryOption);
        add(std::to_string(OivTrialRead::memoryLimitBytes(bytes)));
        add(OivTrialRead::kTimeOption);
        add(std::to_string(OivTrialRead::timeLimitMilliseconds(bytes)));
        if (SoVRMLInline::getReadAsSoFile())
            add(OivTrialRead::kInlineAsFileOption);
        add(fileName);
    }

    char* const* argv() {
        m_Pointers.clear();
        for (std::string& text : m_Texts)
            m_Pointers.push_back(&text[0]);
        m_Pointers.push_back(nullptr);
        return m_Pointers.data();
    }

private:
    void add(std::string text) { m_Texts.push_back(std::move(text)); }

    std::vector<std::string> m_Texts;
    std::vector<char*> m_Pointers;
};

// Starts the helper with its output on `resultFd`, none of the host's files open, every signal
// at its default disposition (a host's ignored SIGPIPE or SIGCHLD would otherwise stay ignored
// across exec) and no signal blocked.
pid_t spawnHelper(const std::string& path, HelperArguments& arguments, int resultFd) {
    posix_spawn_file_actions_t files;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&files);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, kNowhere, O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&files, resultFd, STDOUT_FILENO);
    // A damaged file makes Coin report errors by the hundred; the host reports the outcome.
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, kNowhere, O_WRONLY, 0);
    // Nothing else the host has open: its sockets, pipes and files stay its own.
    posix_spawn_file_actions_addclosefrom_np(&files, STDERR_FILENO + 1);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t child = -1;
    if (posix_spawn(&child, path.c_str(), &files, &attributes, arguments.argv(), environ) != 0)
        child = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    return child;
}

enum class Answer { Byte, Closed, Late };

// The next byte the helper writes, or its closing of the pipe (by exiting), or the deadline.
Answer nextAnswer(int resultFd, Clock::time_point deadline, char& byte) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return Answer::Late;
        pollfd result{resultFd, POLLIN, 0};
        const int ready = poll(&result, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR)
            return Answer::Closed;
        if (ready <= 0)
            continue;
        const ssize_t got = read(resultFd, &byte, 1);
        if (got == 1)
            return Answer::Byte;
        if (got == 0 || errno != EINTR)
            return Answer::Closed;
    }
}

Clock::time_point fromNow(int milliseconds) {
    return Clock::now() + std::chrono::milliseconds(milliseconds);
}

} // namespace

int OivTrialRead::timeLimitMilliseconds(long long bytes) {
    return kBaseLimitMs + static_cast<int>(bytes * 1000 / kBytesPerExtraSecond);
}

long long OivTrialRead::memoryLimitBytes(long long bytes) {
    return kBaseAddressSpace + bytes * kAddressSpacePerFileByte;
}

std::string OivTrialRead::helperPath(const char* name) {
    Dl_info library{};
    if (!dladdr(reinterpret_cast<void*>(&OivTrialRead::helperPath), &library) || !library.dli_fname)
        return std::string();
    const std::string self = library.dli_fname;
    const std::string::size_type slash = self.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : self.substr(0, slash);
    return folder + "/" + OIVWINTAV_HELPER_FOLDER + "/" + name;
}

// One helper's answer for `fileName`: kReadScene, kUnknownNodes, or 0 for anything else.
char OivTrialRead::ask(const char* helper, const char* fileName, long long bytes) {
    int result[2];
    if (pipe2(result, O_CLOEXEC) != 0)
        return 0;
    const std::string path = helperPath(helper);
    HelperArguments arguments(path, fileName, bytes);
    const pid_t child = spawnHelper(path, arguments, result[1]);
    close(result[1]);
    if (child < 0) {
        close(result[0]);
        return 0;
    }
    // Starting a program (loading its libraries) takes what it takes on a busy machine; the time
    // limit is for the read, which starts once the helper says so.
    char byte = 0, answer = 0;
    Answer next = nextAnswer(result[0], fromNow(kStartupLimitMs), byte);
    if (next == Answer::Byte && byte == kStarted) {
        const Clock::time_point deadline = fromNow(timeLimitMilliseconds(bytes));
        next = nextAnswer(result[0], deadline, byte);
        if (next == Answer::Byte && (byte == kReadScene || byte == kUnknownNodes)) {
            answer = byte;
            next = nextAnswer(result[0], deadline, byte);
        }
    }
    close(result[0]);
    // Until it is waited for, the helper's process id cannot be reused, so the signal reaches it;
    // a host that ignores SIGCHLD has it reaped at exit, and waitpid then finds nothing to wait
    // for, which changes nothing: the answer came through the pipe.
    if (next != Answer::Closed)
        kill(child, SIGKILL);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    return answer;
}

bool OivTrialRead::succeeds(const char* fileName, long long bytes) {
    if (!fileName)
        return false;
    char answer = ask(kCoinHelper, fileName, bytes);
    if (answer == kUnknownNodes)
        answer = ask(kLibraryHelper, fileName, bytes);
    return answer == kReadScene;
}
