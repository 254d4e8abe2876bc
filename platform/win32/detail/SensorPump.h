// Runs Coin's sensor queues from the message loop, as the Inventor SDK's own loop does: timer and
// alarm sensors when their time has come, the delay queue when the thread has nothing else to
// do. Does nothing until Coin is initialised.
#ifndef OIVWINTAV_WIN32_DETAIL_SENSORPUMP_H
#define OIVWINTAV_WIN32_DETAIL_SENSORPUMP_H

#include <chrono>
#include <optional>

namespace oivwin32 {

class SensorPump {
public:
    using Clock = std::chrono::steady_clock;

    // Runs the timer queue when a timer or alarm sensor is due; true when it did.
    static bool runDueTimers();
    // Runs the delay queue as idle work when a delay sensor is pending; true when it did.
    static bool runIdle();
    // Runs the delay queue when a delay sensor has waited longer than Coin's delay sensor
    // timeout, so a steady stream of messages (a mouse drag) cannot hold back redraws.
    static bool runOverdueDelay();
    // When the next timer or alarm sensor is due, if one is scheduled.
    static std::optional<Clock::time_point> nextTimerDue();
    // Whether the delay queue has sensors waiting.
    static bool hasIdleWork();
    // Has Coin call `changed(data)` whenever a sensor is scheduled or unscheduled, replacing any
    // earlier call. False while Coin is not initialised.
    static bool watchChanges(void (*changed)(void*), void* data);
};

} // namespace oivwin32

#endif
