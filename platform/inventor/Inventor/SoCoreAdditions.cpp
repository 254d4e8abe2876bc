#include <Inventor/SoCoreAdditions.h>

#include <Inventor/SoDB.h>
#include <Inventor/nodes/SoGradientBackground.h>
#include <Inventor/nodes/SoImageBackground.h>

namespace {
bool initialized = false;
}

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
