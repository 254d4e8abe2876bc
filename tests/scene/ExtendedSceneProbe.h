// The canvas's scene manager with its protected interface opened to the scene tests.
#ifndef OIVWINTAV_TESTS_EXTENDEDSCENEPROBE_H
#define OIVWINTAV_TESTS_EXTENDEDSCENEPROBE_H

#include "scene/OivSceneManager.h"

#include <Inventor/nodes/SoSwitch.h>

class ExtendedSceneProbe : public OivSceneManager {
public:
    using OivSceneManager::getCamera;
    using OivSceneManager::getProtectedRoot3D;
    using OivSceneManager::getProtectedRootOverlay;
    using OivSceneManager::getSceneRoot;

    using OivSceneManager::m_StickyCursor;
    using OivSceneManager::m_StickyCursorSwitch;

    bool isStickyCursorShown() const {
        return m_StickyCursorSwitch->whichChild.getValue() != SO_SWITCH_NONE;
    }
};

#endif // OIVWINTAV_TESTS_EXTENDEDSCENEPROBE_H
