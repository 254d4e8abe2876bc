// Coin's diagnostic messages as the viewer layer passes them on.
//
// Internal to the viewer layer; not part of the SDK's interface.
#ifndef OIVWINTAV_SOWINCOINMESSAGES_H
#define OIVWINTAV_SOWINCOINMESSAGES_H

class SoWinCoinMessages {
public:
    // Drops the one warning Coin prints when it probes for a GLX context the first time it sets
    // up OpenGL: this layer draws through EGL, so there never is one, and the warning only makes
    // users look for a fault that is not there. Every other message still reaches the handler
    // that was installed before. Installing twice changes nothing.
    static void dropGlxProbeWarning();

    SoWinCoinMessages() = delete;
};

#endif // OIVWINTAV_SOWINCOINMESSAGES_H
