// The canvas group a host creates: keeps the cameras of its members in step and, before the
// camera, their global Z scale. Its members are OivCanvas canvases (their scene manager holds
// the Z scale); a member with another scene manager only follows the camera.
//
//   OivCanvasGroup group;
//   group.addCanvas(&planView);
//   group.addCanvas(&view3D);   // a drag, a camera-type toggle or a Z scale in one reaches both
//
// Not copyable, as its base.
#ifndef OIVWINTAV_OIVCANVASGROUP_H
#define OIVWINTAV_OIVCANVASGROUP_H

#include "camera/OivBaseCanvasGroup.h"

class OivCanvasGroup : public OivBaseCanvasGroup {
public:
    OivCanvasGroup();
    ~OivCanvasGroup();

protected:
    // Gives every other member the source's global Z scale, then the source's camera (the base
    // synchronisation). A member takes the new scale by moving its camera onto the same
    // geometry; the camera that follows replaces that move.
    void synchronizeToCanvas(OivBaseCanvas* source, bool cameraOnly) override;
};

#endif // OIVWINTAV_OIVCANVASGROUP_H
