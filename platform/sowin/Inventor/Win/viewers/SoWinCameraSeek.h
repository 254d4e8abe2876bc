#ifndef OIVWINTAV_SOWINCAMERASEEK_H
#define OIVWINTAV_SOWINCAMERASEEK_H

#include <Inventor/Win/viewers/SoWinCameraState.h>

// The path of a seek: from the camera's view when the seek starts to a view that looks
// straight at the target point from a fraction of the former distance, with the target as
// focal point.
class SoWinCameraSeek {
public:
    // Plans the path for `camera` towards `target`; `distanceFraction` of the current distance
    // to the target remains at the end.
    void begin(const SoCamera& camera, const SbVec3f& target, float distanceFraction);

    // Puts the camera at step `t` of the path (0 start, 1 end; clamped). Position and focal
    // distance are interpolated linearly, orientation spherically. Heights are left alone.
    void apply(SoCamera& camera, float t) const;

    // The planned seek: the target point and the camera states at both ends.
    const SbVec3f& getTarget() const { return m_Target; }
    const SoWinCameraState& getStart() const { return m_Start; }
    const SoWinCameraState& getEnd() const { return m_End; }

private:
    SbVec3f m_Target;
    SoWinCameraState m_Start;
    SoWinCameraState m_End;
};

#endif // OIVWINTAV_SOWINCAMERASEEK_H
