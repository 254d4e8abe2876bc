// A scene manager that opens its protected interface to the scene tests.
#ifndef OIVWINTAV_TESTS_SCENEPROBE_H
#define OIVWINTAV_TESTS_SCENEPROBE_H

#include "scene/OivBaseSceneManager.h"

#include <Inventor/fields/SoMFString.h>
#include <Inventor/nodes/SoText2.h>

#include <string>

class SceneProbe : public OivBaseSceneManager {
public:
    using OivBaseSceneManager::fpsCB;
    using OivBaseSceneManager::getCamera;
    using OivBaseSceneManager::getProtectedRoot3D;
    using OivBaseSceneManager::getProtectedRootOverlay;
    using OivBaseSceneManager::getSceneRoot;
    using OivBaseSceneManager::sceneContextChanged;

    using OivBaseSceneManager::m_AlternateColor;
    using OivBaseSceneManager::m_BackgroundImage;
    using OivBaseSceneManager::m_CounterFrequency;
    using OivBaseSceneManager::m_Fps;
    using OivBaseSceneManager::m_GradientColor0;
    using OivBaseSceneManager::m_GradientColor1;
    using OivBaseSceneManager::m_LastCounter;
    using OivBaseSceneManager::m_MessageSwitch;
    using OivBaseSceneManager::m_MessageText;
    using OivBaseSceneManager::m_PerformanceSwitch;
    using OivBaseSceneManager::m_PerformanceText;
    using OivBaseSceneManager::m_ViewerFps;

    std::string frameRateText() const { return textOf(m_PerformanceText); }
    std::string messageText() const { return textOf(m_MessageText); }

    static std::string textOf(const SoText2* text) {
        if (!text || text->string.getNum() == 0)
            return "<none>";
        return text->string[0].getString();
    }
};

#endif // OIVWINTAV_TESTS_SCENEPROBE_H
