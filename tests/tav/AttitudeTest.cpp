// The heading, pitch and roll that the compass and the horizon giro show for a camera, in a
// world with X east, Y north and Z up.
#include "tav/OivAttitude.h"

#include <Inventor/SbMatrix.h>
#include <Inventor/SbRotation.h>
#include <Inventor/SbVec3f.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr float kPi = float(M_PI);
constexpr float kTolerance = 1.0e-4f;

// Orientation of a camera looking along `view` with the top of its image towards `up`.
SbRotation looking(const SbVec3f& view, const SbVec3f& up) {
    SbVec3f v = view, u = up;
    v.normalize();
    u = u - v * u.dot(v);
    u.normalize();
    const SbVec3f right = v.cross(u);
    // Rows: where the camera's X, Y and Z axes go (Coin's cameras look along -Z).
    const SbMatrix axes(right[0], right[1], right[2], 0, u[0], u[1], u[2], 0, -v[0], -v[1], -v[2],
                        0, 0, 0, 0, 1);
    return SbRotation(axes);
}

struct AttitudeCase {
    const char* name;
    SbVec3f view, up;
    float heading, pitch, roll;
};

const float kRoot2 = std::sqrt(0.5f);
const AttitudeCase kCases[] = {
    {"LevelNorth", SbVec3f(0, 1, 0), SbVec3f(0, 0, 1), 0.0f, 0.0f, 0.0f},
    {"LevelEast", SbVec3f(1, 0, 0), SbVec3f(0, 0, 1), kPi / 2, 0.0f, 0.0f},
    {"LevelSouth", SbVec3f(0, -1, 0), SbVec3f(0, 0, 1), kPi, 0.0f, 0.0f},
    {"LevelWest", SbVec3f(-1, 0, 0), SbVec3f(0, 0, 1), 3 * kPi / 2, 0.0f, 0.0f},
    {"DownOnAMapNorthUp", SbVec3f(0, 0, -1), SbVec3f(0, 1, 0), 0.0f, -kPi / 2, 0.0f},
    {"DownOnAMapEastUp", SbVec3f(0, 0, -1), SbVec3f(1, 0, 0), kPi / 2, -kPi / 2, 0.0f},
    {"NorthEastTiltedDown", SbVec3f(1, 1, -std::sqrt(2.0f)), SbVec3f(1, 1, std::sqrt(2.0f)),
     kPi / 4, -kPi / 4, 0.0f},
    {"NorthTiltedUp", SbVec3f(0, 1, 1), SbVec3f(0, -1, 1), 0.0f, kPi / 4, 0.0f},
    // Banked right by 30°: the camera's up leans east.
    {"NorthBankedRight", SbVec3f(0, 1, 0), SbVec3f(std::sin(kPi / 6), 0, std::cos(kPi / 6)), 0.0f,
     0.0f, kPi / 6},
    {"EastBankedLeft", SbVec3f(1, 0, 0), SbVec3f(0, kRoot2, kRoot2), kPi / 2, 0.0f, -kPi / 4},
};

class Attitude : public ::testing::TestWithParam<AttitudeCase> {};

TEST_P(Attitude, OfCameraOrientation) {
    const AttitudeCase& c = GetParam();
    const OivAttitude attitude = OivAttitude::fromOrientation(looking(c.view, c.up));
    EXPECT_NEAR(attitude.heading, c.heading, kTolerance);
    EXPECT_NEAR(attitude.pitch, c.pitch, kTolerance);
    EXPECT_NEAR(attitude.roll, c.roll, kTolerance);
}

INSTANTIATE_TEST_SUITE_P(Cameras, Attitude, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<AttitudeCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
