#pragma once

#include <cstdint>

namespace vrn {

// The PC's local calendar date and time, as the window's clock shows it.
struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// All waiting and all reading of time goes through a Clock, so that tests run on virtual time.
class Clock {
public:
    virtual ~Clock() = default;

    // Monotonic time in microseconds since an arbitrary start.
    virtual int64_t nowUs() = 0;
    int64_t nowMs() { return nowUs() / 1000; }

    // Wall-clock time in whole seconds since the epoch.
    virtual int64_t wallSeconds() = 0;
    // The PC's local date and time.
    virtual LocalDateTime localNow() = 0;

    virtual void sleepMs(int64_t ms) = 0;
    // Sleeps until nowUs() has reached the given time (at once if it has).
    virtual void sleepUntilUs(int64_t us) = 0;
    // Busy pacing of the send routine: returns once just over one millisecond has passed.
    virtual void pace() = 0;
};

// "Just over one millisecond": the pacing step the send routine waits between bytes.
inline constexpr int64_t kPaceUs = 1001;

}  // namespace vrn
