#include <Inventor/SoMPEGNavRenderer.h>

#include <Inventor/Win/SoWinRenderArea.h>
#include <Inventor/sensors/SoNodeSensor.h>

SoMPEGNavRenderer::SoMPEGNavRenderer(SoNode* scene)
    : SoMPEGRenderer(scene), m_SceneSensor(new SoNodeSensor(sceneChangeCB, this)) {}

SoMPEGNavRenderer::~SoMPEGNavRenderer() {
    m_SceneSensor->detach();
    delete m_SceneSensor;
}

void SoMPEGNavRenderer::setSceneGraph(SoNode* scene) {
    inherited::setSceneGraph(scene);
    watchScene();
}

void SoMPEGNavRenderer::record(void) {
    inherited::record();
    watchScene();
}

void SoMPEGNavRenderer::stop(void) {
    inherited::stop();
    watchScene();
}

// The sensor is attached only while recording, so an idle renderer costs a scene nothing. With a
// render area showing the scene, it fires after the area's redraw, whose picture it can take.
void SoMPEGNavRenderer::watchScene() {
    m_SceneSensor->detach();
    SoWinRenderArea* area = getShownBy();
    m_SceneSensor->setPriority(area ? area->getRedrawPriority() + 1
                                    : SoDelayQueueSensor::getDefaultPriority());
    if (isRecording() && getSceneGraph())
        m_SceneSensor->attach(getSceneGraph());
}

void SoMPEGNavRenderer::sceneChangeCB(void* data, SoSensor* sensor) {
    static_cast<SoMPEGNavRenderer*>(data)->recordFrame();
    // Drawing may touch fields of the scene (nodes that update themselves as they are drawn);
    // that is not a change to record, or every frame would schedule the next.
    sensor->unschedule();
}
