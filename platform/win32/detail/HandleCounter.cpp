#include "HandleCounter.h"

#include <atomic>

namespace oivwin32 {

namespace {
constexpr uint64_t kFirstHandle = 0x10000;
constexpr uint64_t kHandleStep = 4; // Win32 handles are multiples of four; ours look alike
} // namespace

uint64_t HandleCounter::next() {
    static std::atomic<uint64_t> counter{kFirstHandle};
    return counter.fetch_add(kHandleStep);
}

} // namespace oivwin32
