// The clock the driver pauses and measures its waits with, replaceable so that the waits can
// be exercised in simulated time. The simulated board reads the same clock, more finely.
#pragma once

#include <cstdint>

namespace vx::hw {

class Clock {
public:
    virtual ~Clock() = default;
    // Microseconds since an arbitrary start; never goes back.
    virtual uint64_t microseconds() noexcept = 0;
    // Milliseconds since the same start; wraps around after 2^32.
    uint32_t milliseconds() noexcept { return uint32_t(microseconds() / 1000); }
};

// The system's monotonic clock.
Clock &systemClock() noexcept;

} // namespace vx::hw
