#include "tav/OivAttitude.h"

#include <Inventor/SbRotation.h>
#include <Inventor/SbVec2f.h>
#include <Inventor/SbVec3f.h>
#include <Inventor/nodes/SoCamera.h>

#include <algorithm>
#include <cmath>

namespace {

// Below this length a projected direction is too short to give an angle.
constexpr float kMinLength = 1.0e-4f;

float wrapAngle(float angle) {
    const float turn = 2.0f * float(M_PI);
    angle = std::fmod(angle, turn);
    return angle < 0.0f ? angle + turn : angle;
}

} // namespace

OivAttitude OivAttitude::fromOrientation(const SbRotation& orientation) {
    SbVec3f view, up;
    orientation.multVec(SbVec3f(0.0f, 0.0f, -1.0f), view);
    orientation.multVec(SbVec3f(0.0f, 1.0f, 0.0f), up);
    OivAttitude attitude;
    attitude.pitch = std::asin(std::clamp(view[2], -1.0f, 1.0f));

    // Level, the view direction gives the heading; tilted towards the ground (the sky), more and
    // more the top (bottom) of the screen does, which is what remains when looking straight down.
    const SbVec2f forward(view[0] - up[0] * view[2], view[1] - up[1] * view[2]);
    if (forward.length() > kMinLength)
        attitude.heading = wrapAngle(std::atan2(forward[0], forward[1]));

    // World up seen in camera coordinates: its tilt on the screen is the horizon's tilt.
    SbVec3f worldUp;
    orientation.inverse().multVec(SbVec3f(0.0f, 0.0f, 1.0f), worldUp);
    if (SbVec2f(worldUp[0], worldUp[1]).length() > kMinLength)
        attitude.roll = std::atan2(-worldUp[0], worldUp[1]);
    return attitude;
}

OivAttitude OivAttitude::fromCamera(const SoCamera& camera) {
    return fromOrientation(camera.orientation.getValue());
}
