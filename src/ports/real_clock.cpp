#include "ports/real_clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace vrn {
namespace {
// The last part of a pacing step that is spun rather than slept: more than a sleep overshoots.
constexpr int64_t kPaceSpinUs = 200;

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
    // Sleep through most of the step and spin only at its end: a sleep alone overshoots by tens
    // of microseconds, and a thread that spins through whole steps is the first one the
    // scheduler preempts on a busy machine, for milliseconds (see bench/link_bench).
    const int64_t until = steadyNs() + kPaceUs * 1000;
    const int64_t sleepNs = (kPaceUs - kPaceSpinUs) * 1000;
    if (sleepNs > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(sleepNs));
    while (steadyNs() < until) {
    }
}

}  // namespace vrn
