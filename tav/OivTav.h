// The companion node library: registers its node classes with Coin's type system.
#ifndef OIVWINTAV_OIVTAV_H
#define OIVWINTAV_OIVTAV_H

class OivTav {
public:
    // Initialises Coin's database and node kits if needed, then registers OivScreenPosition,
    // OivCompass, OivGlobalZScale, OivStickyCursor, OivPipe and OivOnTopSeparator. Calling it
    // again does nothing.
    // The library hands this function to SoWin::addInitCallback when it is loaded, so SoWin::init
    // registers the classes; every node's constructor calls it as well, so a node can be created
    // before (or without) SoWin::init. A host that reads scene files holding these nodes before
    // it calls SoWin::init or creates any of them calls it first, as with any node library.
    static void init(void);
    static bool isInitialized(void);

private:
    OivTav() = delete;
};

#endif // OIVWINTAV_OIVTAV_H
