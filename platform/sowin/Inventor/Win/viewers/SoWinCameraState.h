#ifndef OIVWINTAV_SOWINCAMERASTATE_H
#define OIVWINTAV_SOWINCAMERASTATE_H

#include <Inventor/SbLinear.h>
#include <Inventor/SoType.h>

class SoCamera;

// A snapshot of the view a camera gives: where it is, where it looks, how far away its focal
// point is and how much it sees there. The viewers keep their home position in one and use it
// to hand a view over between a perspective and an orthographic camera.
class SoWinCameraState {
public:
    // Height angle a perspective camera gets when it is made from a state that has none.
    static constexpr float kDefaultHeightAngle = 0.785398163f; // 45 degrees

    SoWinCameraState() = default;

    // Reads the camera's position, orientation, focal distance and its height (orthographic) or
    // height angle (perspective).
    static SoWinCameraState of(const SoCamera& camera);

    // Writes the view into `camera`. A camera of the other kind gets the equivalent value:
    // the height seen at the focal distance is kept, so the framing of the focal plane is the
    // same for both kinds. With `keepHeightAngle` and a perspective `camera`, the camera keeps its
    // own height angle and moves along its line of sight instead, keeping focal point and framing.
    void applyTo(SoCamera& camera, bool keepHeightAngle = false) const;

    SoType type;
    SbVec3f position{0.0f, 0.0f, 1.0f};
    SbRotation orientation;
    float focalDistance = 5.0f;
    // Visible height at the focal distance, whatever kind of camera the state was read from.
    float focalHeight = 2.0f;

    // The line of sight and the point at the focal distance along it.
    SbVec3f getViewDirection() const;
    SbVec3f getFocalPoint() const;

    // The line of sight of a camera with `orientation` (its -Z axis), and the point a camera
    // looks at: its focal distance along that line.
    static SbVec3f viewDirectionOf(const SbRotation& orientation);
    static SbVec3f focalPointOf(const SoCamera& camera);

    // The height of the focal plane seen by a perspective camera and the inverse.
    static float heightForAngle(float heightAngle, float distance);
    static float angleForHeight(float height, float distance);
};

#endif // OIVWINTAV_SOWINCAMERASTATE_H
