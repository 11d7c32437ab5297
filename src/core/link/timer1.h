#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace vrn {

class Exchange;

// The window's half-second timer. It is driven by the Clock: every host calls catchUp() with the
// current time (the window on a periodic timer and in pump(), the others in pump()). Like a window
// timer it never delivers a backlog: however long since the last call, at most one tick fires, and
// the next comes a full interval after it. A wait armed after a long stretch without pumping
// therefore still gets its whole time limit. The countdown is the exchange's: only its one wait
// arms it.
class Timer1 {
public:
    static constexpr int64_t kIntervalMs = 500;

    // onTick runs on every tick before TimeoutTicks is lowered (the window's PC clock display).
    explicit Timer1(std::function<void()> onTick = {}) : onTick_(std::move(onTick)) {}

    // What is left of the countdown, in ticks.
    int TimeoutTicks() const { return timeoutTicks_; }
    bool timedOut() const { return timeoutTicks_ <= 0; }

    void start(int64_t nowMs);
    void stop();
    bool enabled() const { return enabled_; }
    // Switching on again restarts the half-second phase from nowMs.
    void setEnabled(bool on, int64_t nowMs);

    // Fires the tick if its time has come by nowMs (once, whatever the backlog); returns 1 if it
    // fired, 0 if not.
    int catchUp(int64_t nowMs);

private:
    friend class Exchange;
    // Tests of the timer itself arm it as a wait does.
    friend struct Timer1Countdown;

    // Arms the half-second countdown that the exchange's wait polls; a tick lowers it while it is
    // above 0.
    void arm(int ticks) { timeoutTicks_ = ticks; }
    void tick();

    std::function<void()> onTick_;
    int timeoutTicks_ = 0;
    bool enabled_ = false;
    int64_t nextTickMs_ = 0;
};

}  // namespace vrn
