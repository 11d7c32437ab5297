#include "core/link/timer1.h"

namespace vrn {

void Timer1::start(int64_t nowMs) {
    enabled_ = true;
    nextTickMs_ = nowMs + kIntervalMs;
}

void Timer1::stop() {
    enabled_ = false;
}

void Timer1::setEnabled(bool on, int64_t nowMs) {
    if (on == enabled_) return;
    if (on)
        start(nowMs);
    else
        stop();
}

int Timer1::catchUp(int64_t nowMs) {
    if (!enabled_ || nowMs < nextTickMs_) return 0;
    nextTickMs_ = nowMs + kIntervalMs;
    tick();
    return 1;
}

void Timer1::tick() {
    if (onTick_) onTick_();
    if (timeoutTicks_ > 0) --timeoutTicks_;
}

}  // namespace vrn
