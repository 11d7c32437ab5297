#include "ports/real_clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace vrn {
namespace {
int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

RealClock::RealClock() : startNs_(steadyNs()) {}

int64_t RealClock::nowUs() {
    return (steadyNs() - startNs_) / 1000;
}

int64_t RealClock::wallSeconds() {
    return static_cast<int64_t>(std::time(nullptr));
}

LocalDateTime RealClock::localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void RealClock::sleepMs(int64_t ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void RealClock::sleepUntilUs(int64_t us) {
    const int64_t left = us - nowUs();
    if (left > 0) std::this_thread::sleep_for(std::chrono::microseconds(left));
}

void RealClock::pace() {
    // Busy-wait: a sleep could overshoot the millisecond by far more than the pacing itself.
    const int64_t until = steadyNs() + kPaceUs * 1000;
    while (steadyNs() < until) {
    }
}

}  // namespace vrn
