#pragma once

#include "core/link/clock.h"

namespace vrn {

// Time that moves only when somebody waits: sleeping and pacing advance it at once.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(int64_t wallStartSeconds = 1767225600);  // 2026-01-01 00:00:00 UTC

    int64_t nowUs() override { return nowUs_; }
    int64_t wallSeconds() override;
    LocalDateTime localNow() override;
    void sleepMs(int64_t ms) override { advanceUs(ms * 1000); }
    void sleepUntilUs(int64_t us) override;
    void pace() override { advanceUs(kPaceUs); }

    void advanceUs(int64_t us);

private:
    int64_t nowUs_ = 0;
    int64_t wallStartSeconds_;
};

// Calendar fields of a time in seconds since the epoch, taken as local time in UTC.
LocalDateTime civilFromEpochSeconds(int64_t seconds);

}  // namespace vrn
