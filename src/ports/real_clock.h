#pragma once

#include "core/link/clock.h"

namespace vrn {

// The wall and monotonic clocks of the PC: the only code that really sleeps.
class RealClock final : public Clock {
public:
    RealClock();
    int64_t nowUs() override;
    int64_t wallSeconds() override;
    LocalDateTime localNow() override;
    void sleepMs(int64_t ms) override;
    void sleepUntilUs(int64_t us) override;
    void pace() override;

private:
    int64_t startNs_;
};

}  // namespace vrn
