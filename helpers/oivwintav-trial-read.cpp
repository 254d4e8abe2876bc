// The helper OivTrialRead starts to read a suspect scene file away from the host: it caps its own
// address space, forbids a core file and bounds its processor time before Coin reads anything,
// registers the node classes a host of the library knows, says it is ready
// (OivTrialRead::kStarted), reads the file with Coin's plain reader and writes
// OivTrialRead::kReadScene when that gave a scene.
//   oivwintav-trial-read [-I directory]... [-m bytes] [-t milliseconds] [-i] file
#include "canvas/OivTrialRead.h"
#include "tav/OivTav.h"

#include <DialogViz/dialog/SoDialogViz.h>
#include <Inventor/SoCoreAdditions.h>
#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/VRMLnodes/SoVRMLInline.h>
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

void registerNodeClasses() {
    SoDB::init();
    SoCoreAdditions::init();
    SoDialogViz::init();
    OivTav::init();
}

bool readsAsScene(const Options& options) {
    for (const char* directory : options.directories)
        SoInput::addDirectoryLast(directory);
    SoVRMLInline::setReadAsSoFile(options.inlineAsFile ? TRUE : FALSE);
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
    if (!tell(OivTrialRead::kStarted) || !readsAsScene(options))
        _exit(kNoScene);
    const bool told = tell(OivTrialRead::kReadScene);
    // Nothing of what was read is needed any more: tearing it down would only cost time.
    _exit(told ? kReadScene : kNoScene);
}
