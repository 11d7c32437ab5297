#include "core/link/timer1_off.h"

#include "core/link/clock.h"
#include "core/link/host.h"
#include "core/link/timer1.h"

namespace vrn {

Timer1Off::Timer1Off(Host& host) : host_(host), wasOn_(host.timer().enabled()) {
    host_.timer().stop();
}

Timer1Off::~Timer1Off() {
    if (wasOn_) host_.timer().setEnabled(true, host_.clock().nowMs());
}

}  // namespace vrn
