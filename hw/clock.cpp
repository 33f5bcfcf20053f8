// The system's millisecond clock. A monotonic clock rather than the time of day, so that a
// change of the system time neither stretches nor cuts short a pause.
#include "clock.h"

#include <chrono>

namespace vx::hw {

namespace {

class SystemClock final : public Clock {
public:
    uint64_t microseconds() noexcept override
    {
        auto now = std::chrono::steady_clock::now().time_since_epoch();
        return uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
    }
};

} // namespace

Clock &systemClock() noexcept
{
    static SystemClock clock;
    return clock;
}

} // namespace vx::hw
