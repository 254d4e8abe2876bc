#include "SensorPump.h"

#include <Inventor/SbTime.h>
#include <Inventor/SoDB.h>
#include <Inventor/sensors/SoSensorManager.h>

namespace oivwin32 {

namespace {

SoSensorManager* sensorManager() {
    return SoDB::isInitialized() ? SoDB::getSensorManager() : nullptr;
}

// Since when the delay queue has had sensors waiting without being run, if it has.
thread_local std::optional<SensorPump::Clock::time_point> delayPendingSince;

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
    delayPendingSince.reset();
    return true;
}

bool SensorPump::runOverdueDelay() {
    SoSensorManager* manager = sensorManager();
    if (!manager || !manager->isDelaySensorPending()) {
        delayPendingSince.reset();
        return false;
    }
    Clock::time_point now = Clock::now();
    if (!delayPendingSince)
        delayPendingSince = now;
    auto timeout = std::chrono::duration<double>(SoDB::getDelaySensorTimeout().getValue());
    if (timeout.count() <= 0.0 || now - *delayPendingSince < timeout) // 0: only when idle
        return false;
    manager->processDelayQueue(FALSE);
    delayPendingSince.reset();
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

bool SensorPump::hasIdleWork() {
    SoSensorManager* manager = sensorManager();
    return manager && manager->isDelaySensorPending();
}

bool SensorPump::watchChanges(void (*changed)(void*), void* data) {
    SoSensorManager* manager = sensorManager();
    if (!manager)
        return false;
    manager->setChangedCallback(changed, data);
    return true;
}

} // namespace oivwin32
