// The calling thread's processor time as a std::chrono clock: the machines are shared, and what
// a benchmark compares is work done, not time spent waiting for a core.
#ifndef OIVWINTAV_BENCH_THREADCLOCK_H
#define OIVWINTAV_BENCH_THREADCLOCK_H

#include <chrono>
#include <cstdint>
#include <ctime>

namespace benchhost {

struct ThreadClock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<ThreadClock, duration>;
    static time_point now() {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(int64_t(t.tv_sec) * 1000000000 + t.tv_nsec));
    }
};

} // namespace benchhost

#endif // OIVWINTAV_BENCH_THREADCLOCK_H
