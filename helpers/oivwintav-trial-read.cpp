// The helper OivTrialRead starts to read a suspect scene file away from the host: it caps its own
// address space, forbids a core file and bounds its processor time before Coin reads anything,
// initialises Coin, says it is ready (OivTrialRead::kStarted), reads the file with Coin's plain
// reader and writes OivTrialRead::kReadScene when that gave a scene, or kUnknownNodes when it
// failed on nodes of classes this build does not know.
//   oivwintav-trial-read [-I directory]... [-m bytes] [-t milliseconds] [-i] file
#include "canvas/OivTrialRead.h"

#if defined(OIVWINTAV_HELPER_WITH_LIBRARY_NODES)
#include "tav/OivTav.h"

#include <DialogViz/dialog/SoDialogViz.h>
#include <Inventor/SoCoreAdditions.h>
#endif

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/SoInteraction.h>
#include <Inventor/VRMLnodes/SoVRMLInline.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/nodes/SoSeparator.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kReadScene = 0;
constexpr int kNoScene = 1;
constexpr int kUsage = 2;
constexpr int kUnknownNodes = 3;
constexpr long long kMillisecondsPerSecond = 1000;
constexpr long long kStartSeconds = 5;

struct Options {
    std::vector<const char*> directories;
    long long memoryBytes = 0;
    long long timeMs = 0;
    bool inlineAsFile = false;
    const char* file = nullptr;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(option, OivTrialRead::kInlineAsFileOption) == 0)
            options.inlineAsFile = true;
        else if (std::strcmp(option, OivTrialRead::kDirectoryOption) == 0 && hasValue)
            options.directories.push_back(argv[++i]);
        else if (std::strcmp(option, OivTrialRead::kMemoryOption) == 0 && hasValue)
            options.memoryBytes = std::atoll(argv[++i]);
        else if (std::strcmp(option, OivTrialRead::kTimeOption) == 0 && hasValue)
            options.timeMs = std::atoll(argv[++i]);
        else if (i + 1 == argc)
            options.file = option;
        else
            return false;
    }
    return options.file != nullptr;
}

void setLimit(int resource, long long value) {
    const rlimit limit{rlim_t(value), rlim_t(value)};
    setrlimit(resource, &limit);
}

// The host kills the helper at its time limit; the processor limit (a few seconds more, for the
// start) ends a helper whose host died first.
void limitResources(const Options& options) {
    setLimit(RLIMIT_CORE, 0);
    if (options.timeMs > 0)
        setLimit(RLIMIT_CPU, options.timeMs / kMillisecondsPerSecond + kStartSeconds);
        // A sanitizer's runtime has reserved terabytes of address space for itself before main:
        // under a cap it could not map another page.
#if !defined(__SANITIZE_ADDRESS__)
    if (options.memoryBytes > 0)
        setLimit(RLIMIT_AS, options.memoryBytes);
#endif
}

// The build that loads Coin alone starts many times faster (Coin's libraries instead of the
// hundred and more behind the library's layers), and most files hold Coin's nodes only; the other
// build also knows the nodes of the library and of its platform layer.
void registerNodeClasses() {
    SoDB::init();
    SoInteraction::init();
#if defined(OIVWINTAV_HELPER_WITH_LIBRARY_NODES)
    SoCoreAdditions::init();
    SoDialogViz::init();
    OivTav::init();
#endif
}

// Coin reports a node of a class it does not know, in a binary file, as a read error that names it
// "not recognized".
bool g_UnknownNodes = false;
constexpr const char* kUnknownNodeError = "not recognized";

void noteUnknownNodes(const SoError* error, void*) {
    if (std::strstr(error->getDebugString().getString(), kUnknownNodeError))
        g_UnknownNodes = true;
}

bool readsAsScene(const Options& options) {
    for (const char* directory : options.directories)
        SoInput::addDirectoryLast(directory);
    SoVRMLInline::setReadAsSoFile(options.inlineAsFile ? TRUE : FALSE);
    SoReadError::setHandlerCallback(noteUnknownNodes, nullptr);
    SoInput input;
    if (!input.openFile(options.file))
        return false;
    SoSeparator* scene = SoDB::readAll(&input);
    return scene != nullptr;
}

bool tell(char answer) {
    return write(STDOUT_FILENO, &answer, 1) == 1;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options))
        return kUsage;
    limitResources(options);
    registerNodeClasses();
    if (!tell(OivTrialRead::kStarted))
        _exit(kNoScene);
    if (!readsAsScene(options))
        _exit(g_UnknownNodes && tell(OivTrialRead::kUnknownNodes) ? kUnknownNodes : kNoScene);
    const bool told = tell(OivTrialRead::kReadScene);
    // Nothing of what was read is needed any more: tearing it down would only cost time.
    _exit(told ? kReadScene : kNoScene);
}
