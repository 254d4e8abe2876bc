#include "tav/OivTav.h"

#include "tav/OivCompass.h"
#include "tav/OivCursorEcho.h"
#include "tav/OivGlobalZScale.h"
#include "tav/OivOnTopSeparator.h"
#include "tav/OivPipe.h"
#include "tav/OivScreenPosition.h"
#include "tav/OivStickyCursor.h"

#include <Inventor/SoDB.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/nodekits/SoNodeKit.h>

namespace {

bool initialized = false;

// Runs when the library is loaded: SoWin::init then registers the classes with the platform's.
const bool registeredWithSoWin = (SoWin::addInitCallback(&OivTav::init), true);

} // namespace

void OivTav::init(void) {
    if (initialized)
        return;
    initialized = true;
    SoDB::init();
    SoNodeKit::init();
    OivScreenPosition::initClass();
    OivCompass::initClass();
    OivGlobalZScale::initClass();
    OivStickyCursor::initClass();
    OivCursorEcho::initClass();
    OivPipe::initClass();
    OivOnTopSeparator::initClass();
}

bool OivTav::isInitialized(void) {
    return initialized;
}
