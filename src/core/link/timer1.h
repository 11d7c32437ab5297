#pragma once

#include <cstdint>
#include <functional>

namespace vrn {

// The window's half-second timer. It is driven by the Clock: every host calls catchUp() with the
// current time (the window on a periodic timer and in pump(), the others in pump()), and each
// 500 ms boundary crossed since the last call fires one tick. So real and virtual time behave alike.
class Timer1 {
public:
    static constexpr int64_t kIntervalMs = 500;

    // The half-second countdown that waits set and poll; a tick lowers it while it is above 0.
    int TimeoutTicks = 0;

    // Runs on every tick before TimeoutTicks is lowered (the window's PC clock display).
    std::function<void()> onTick;

    void start(int64_t nowMs);
    void stop();
    bool enabled() const { return enabled_; }
    // Switching on again restarts the half-second phase from nowMs.
    void setEnabled(bool on, int64_t nowMs);

    // Fires every tick whose time has come by nowMs; returns how many fired.
    int catchUp(int64_t nowMs);

private:
    void tick();

    bool enabled_ = false;
    int64_t nextTickMs_ = 0;
};

}  // namespace vrn
