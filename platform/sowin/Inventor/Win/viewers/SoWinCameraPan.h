#ifndef OIVWINTAV_SOWINCAMERAPAN_H
#define OIVWINTAV_SOWINCAMERAPAN_H

#include <Inventor/SbLinear.h>

class SoCamera;

// Moving a camera in its view plane so that the point of the focal plane under the mouse
// stays under the mouse.
class SoWinCameraPan {
public:
    // Moves `camera` for a drag from `from` to `to` (normalised window coordinates, origin
    // bottom left) in a view of the given width-to-height `aspect`. Orientation, focal
    // distance and height are kept.
    static void pan(SoCamera& camera, float aspect, const SbVec2f& from, const SbVec2f& to);
};

#endif // OIVWINTAV_SOWINCAMERAPAN_H
