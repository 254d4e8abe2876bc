#include <Inventor/SoCoreAdditions.h>

#include <Inventor/SoDB.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/nodes/SoGradientBackground.h>
#include <Inventor/nodes/SoImageBackground.h>

namespace {

bool initialized = false;

// The additions sit above the viewer layer (the off-screen renderers draw through its headless
// GL), so the viewer layer cannot name them: they hand their set-up to SoWin::init instead, when
// the platform library is loaded.
const bool registeredWithSoWin = (SoWin::addInitCallback(&SoCoreAdditions::init), true);

} // namespace

void SoCoreAdditions::init(void) {
    if (initialized)
        return;
    initialized = true;
    SoDB::init();
    SoGradientBackground::initClass();
    SoImageBackground::initClass();
}

bool SoCoreAdditions::isInitialized(void) {
    return initialized;
}
