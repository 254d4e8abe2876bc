#ifndef OIVWINTAV_SOWINCAMERADOLLY_H
#define OIVWINTAV_SOWINCAMERADOLLY_H

class SoCamera;

// Moving a camera towards or away from its focal point.
class SoWinCameraDolly {
public:
    // Multiplies the distance to the focal point by e^`amount` (positive backs off, negative
    // closes in). A perspective camera moves along its line of sight and keeps its focal point;
    // an orthographic camera, whose picture does not depend on distance, changes its height by
    // the same factor instead.
    static void dolly(SoCamera& camera, float amount);
};

#endif // OIVWINTAV_SOWINCAMERADOLLY_H
