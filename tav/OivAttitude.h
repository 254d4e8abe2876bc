// Where a camera looks, as instruments show it, in a world whose X axis points east, Y north and
// Z up: the heading a compass rose turns by, and the pitch and roll an artificial horizon shows.
#ifndef OIVWINTAV_OIVATTITUDE_H
#define OIVWINTAV_OIVATTITUDE_H

class SbRotation;
class SoCamera;

struct OivAttitude {
    // Radians clockwise from north, in [0, 2π): 0 looking north, π/2 looking east. Looking
    // steeply down or up, it is the direction the top (bottom, looking up) of the screen points
    // to, so a map seen from above still has a heading.
    float heading = 0.0f;
    // Radians above the horizontal plane, in [-π/2, π/2]: positive looking up.
    float pitch = 0.0f;
    // Radians by which the camera is banked clockwise about its viewing direction; the horizon
    // then appears turned counter-clockwise by the same angle. 0 looking straight up or down.
    float roll = 0.0f;

    // The attitude of a camera with the given orientation (Coin cameras look along their -Z with
    // +Y up).
    static OivAttitude fromOrientation(const SbRotation& orientation);
    static OivAttitude fromCamera(const SoCamera& camera);
};

#endif // OIVWINTAV_OIVATTITUDE_H
