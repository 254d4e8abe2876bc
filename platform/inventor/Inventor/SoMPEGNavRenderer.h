// An MPEG renderer that records by itself: while recording, every change of its scene graph (a
// camera move, a field edit) adds one frame. Changes are coalesced the way a render area's
// redraws are: a burst of changes handled in one pass of Coin's delay queue gives one frame.
// Changes the renderer's own drawing causes add no frame.
#ifndef OIVWINTAV_SOMPEGNAVRENDERER_H
#define OIVWINTAV_SOMPEGNAVRENDERER_H

#include <Inventor/SoMPEGRenderer.h>

class SoNodeSensor;
class SoSensor;

class SoMPEGNavRenderer : public SoMPEGRenderer {
public:
    typedef SoMPEGRenderer inherited;

    // A renderer recording `scene` frame by frame as it changes while recording.
    explicit SoMPEGNavRenderer(SoNode* scene = NULL);
    virtual ~SoMPEGNavRenderer();

    // The scene drawn for each frame and watched for changes while recording.
    virtual void setSceneGraph(SoNode* scene);

    // Starts and stops watching the scene. Changes still pending when recording stops are not
    // recorded.
    virtual void record(void);
    virtual void stop(void);

private:
    static void sceneChangeCB(void* data, SoSensor* sensor);
    void watchScene();

    SoNodeSensor* m_SceneSensor;
};

#endif // OIVWINTAV_SOMPEGNAVRENDERER_H
