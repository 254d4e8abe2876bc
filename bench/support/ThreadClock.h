// Processor time of the calling thread or of the whole process as std::chrono clocks: the
// machines are shared, and what a benchmark compares is work done, not time spent waiting for a
// core.
#ifndef OIVWINTAV_BENCH_THREADCLOCK_H
#define OIVWINTAV_BENCH_THREADCLOCK_H

#include <chrono>
#include <cstdint>
#include <ctime>

namespace benchhost {

// A processor-time clock (CLOCK_THREAD_CPUTIME_ID, CLOCK_PROCESS_CPUTIME_ID) as a std::chrono
// clock.
template <clockid_t kClockId> struct CpuClock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<CpuClock, duration>;
    static time_point now() {
        timespec t;
        clock_gettime(kClockId, &t);
        return time_point(duration(int64_t(t.tv_sec) * 1000000000 + t.tv_nsec));
    }
};

using ThreadClock = CpuClock<CLOCK_THREAD_CPUTIME_ID>;
// Every thread of the process together, those of the OpenGL driver included: what drawing and
// recording cost the machine's cores.
using ProcessClock = CpuClock<CLOCK_PROCESS_CPUTIME_ID>;

} // namespace benchhost

#endif // OIVWINTAV_BENCH_THREADCLOCK_H
