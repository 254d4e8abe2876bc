// Registers the node classes this platform adds to Coin's core (backgrounds) with Coin's type
// system, so they can be created by name and read from scene files.
#ifndef OIVWINTAV_SOCOREADDITIONS_H
#define OIVWINTAV_SOCOREADDITIONS_H

class SoCoreAdditions {
public:
    // Initialises Coin's database if needed, then registers SoGradientBackground and
    // SoImageBackground. Calling it again does nothing. SoWin::init calls it (handed over when
    // the platform library is loaded); the nodes' constructors call it too, so creating a node
    // never depends on the order of set-up calls.
    static void init(void);
    static bool isInitialized(void);

private:
    SoCoreAdditions() = delete;
};

#endif // OIVWINTAV_SOCOREADDITIONS_H
