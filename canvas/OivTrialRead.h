// Reads a scene file once in a short-lived child process, to learn whether Coin can read it at all
// without putting the calling process at risk: a file on which Coin's reader loops forever or
// crashes costs the child, never the host's user-interface thread. The child is a fork of the
// caller that reads the file and exits; it is killed when it runs out of time.
#ifndef OIVWINTAV_OIVTRIALREAD_H
#define OIVWINTAV_OIVTRIALREAD_H

class OivTrialRead {
public:
    // True when a child read `fileName` as a scene and finished within the file's time limit;
    // false when it found no scene, crashed, ran out of time or could not be started.
    static bool succeeds(const char* fileName);

    // The time a child is given for a file of `bytes`: one second, and one more for every two
    // megabytes. Coin reads binary scenes at well over ten megabytes a second, so only a reader
    // that is stuck (or a machine that is badly overloaded) uses it up.
    static int timeLimitMilliseconds(long long bytes);

    OivTrialRead() = delete;
};

#endif // OIVWINTAV_OIVTRIALREAD_H
