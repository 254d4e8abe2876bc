#include <Inventor/Win/viewers/SoWinCameraSeek.h>

#include <Inventor/nodes/SoCamera.h>

#include <algorithm>

namespace {

constexpr float kTiny = 1e-12f;

} // namespace

void SoWinCameraSeek::begin(const SoCamera& camera, const SbVec3f& target, float distanceFraction) {
    m_Target = target;
    m_Start = SoWinCameraState::of(camera);
    m_End = m_Start;
    SbVec3f toTarget = target - m_Start.position;
    const float distance = toTarget.length();
    if (distance > kTiny) {
        toTarget /= distance;
        // The smallest turn that brings the line of sight onto the target.
        m_End.orientation = m_Start.orientation * SbRotation(m_Start.getViewDirection(), toTarget);
    }
    const float remaining = distance * std::max(distanceFraction, 0.0f);
    m_End.focalDistance = remaining;
    m_End.position = target - m_End.getViewDirection() * remaining;
}

void SoWinCameraSeek::apply(SoCamera& camera, float t) const {
    t = std::clamp(t, 0.0f, 1.0f);
    camera.orientation.setValue(SbRotation::slerp(m_Start.orientation, m_End.orientation, t));
    camera.position.setValue(m_Start.position + (m_End.position - m_Start.position) * t);
    camera.focalDistance.setValue(m_Start.focalDistance +
                                  (m_End.focalDistance - m_Start.focalDistance) * t);
}
