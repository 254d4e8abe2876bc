#include "SensorPump.h"

#include <Inventor/SbTime.h>
#include <Inventor/SoDB.h>
#include <Inventor/sensors/SoSensorManager.h>

namespace oivwin32 {

namespace {

SoSensorManager* sensorManager() {
    return SoDB::isInitialized() ? SoDB::getSensorManager() : nullptr;
}

} // namespace

bool SensorPump::runDueTimers() {
    SoSensorManager* manager = sensorManager();
    SbTime due;
    if (!manager || !manager->isTimerSensorPending(due) || due > SbTime::getTimeOfDay())
        return false;
    manager->processTimerQueue();
    return true;
}

bool SensorPump::runIdle() {
    SoSensorManager* manager = sensorManager();
    if (!manager || !manager->isDelaySensorPending())
        return false;
    manager->processDelayQueue(TRUE);
    return true;
}

std::optional<SensorPump::Clock::time_point> SensorPump::nextTimerDue() {
    SoSensorManager* manager = sensorManager();
    SbTime due;
    if (!manager || !manager->isTimerSensorPending(due))
        return std::nullopt;
    // Coin keeps sensor times on the wall clock; waits are measured on the steady clock.
    double seconds = (due - SbTime::getTimeOfDay()).getValue();
    auto delay = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(seconds > 0.0 ? seconds : 0.0));
    return Clock::now() + delay;
}

} // namespace oivwin32
