#pragma once

#include "core/link/timer1.h"

namespace vrn {

// Arms Timer1's countdown as the exchange's wait does, for tests of the timer itself.
struct Timer1Countdown {
    static void arm(Timer1& timer, int ticks) { timer.arm(ticks); }
};

}  // namespace vrn
