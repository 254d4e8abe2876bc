// Reads a scene file once in a separate helper process, to learn whether Coin can read it at all
// without putting the calling process at risk: a file on which Coin's reader loops forever, asks
// for all the memory there is, or crashes costs the helper, never the host.
//
// The helper is a program of its own (installed beside the library, found from where the library
// was loaded, so a moved prefix works) started with posix_spawn. It comes in two builds: one that
// loads Coin alone and starts in a moment, and one that also loads the library's node classes,
// started only for a file that names nodes Coin does not know. Either it shares no threads, locks,
// signal handlers or error handlers with the host, runs with a cap on its address space and no
// core file, and is killed when it runs out of time. Its answer comes back through a pipe, so a
// host that ignores SIGCHLD or reaps every child itself still gets it.
#ifndef OIVWINTAV_OIVTRIALREAD_H
#define OIVWINTAV_OIVTRIALREAD_H

#include <string>

class OivTrialRead {
public:
    // True when the helper read `fileName` (and every file it includes) as a scene within the
    // time limit for `bytes` (counted from when it was ready to read), the size of everything the
    // file brings in; false when it found no scene, crashed, ran out of time or memory, or could
    // not be started. The helper searches the same directories (SoInput::getDirectories) and treats
    // VRML Inline nodes as the calling process would.
    static bool succeeds(const char* fileName, long long bytes);

    // The time the helper is given for files of `bytes`: half a second, and one more for every
    // two megabytes. Coin reads binary scenes at well over ten megabytes a second, so only a
    // reader that is stuck (or a machine that is badly overloaded) uses it up.
    static int timeLimitMilliseconds(long long bytes);

    // The address space the helper may use for files of `bytes`: enough for its libraries and a
    // scene many times the size of the files, far below what a damaged count asks for.
    static long long memoryLimitBytes(long long bytes);

    // Where a helper program is: `name` in a folder beside the library that holds this function.
    static std::string helperPath(const char* name);

    // What the helper writes to its standard output once it is ready to read (the time limit
    // runs from then), and when it read a scene; anything else, including nothing, is a failure.
    static constexpr char kStarted = 'S';
    static constexpr char kReadScene = 'Y';
    // What the helper that loads Coin alone writes for a file naming nodes it does not know.
    static constexpr char kUnknownNodes = 'U';
    // The helper's options, each followed by one argument, before the file name.
    static constexpr const char* kDirectoryOption = "-I";
    static constexpr const char* kMemoryOption = "-m";
    static constexpr const char* kTimeOption = "-t";
    // Without an argument: VRML Inline nodes read their first URL as a local file.
    static constexpr const char* kInlineAsFileOption = "-i";

    // The two helper programs.
    static constexpr const char* kCoinHelper = "oivwintav-trial-read";
    static constexpr const char* kLibraryHelper = "oivwintav-trial-read-all";

    OivTrialRead() = delete;

private:
    static char ask(const char* helper, const char* fileName, long long bytes);
};

#endif // OIVWINTAV_OIVTRIALREAD_H
