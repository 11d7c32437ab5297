#include "sim/setup_clock.h"

#include <algorithm>
#include <chrono>

namespace vrn::sim {

std::optional<int64_t> clockSeconds(const SimSetup& s) {
    using namespace std::chrono;
    if (s.month < 1 || s.month > 12 || s.day < 1 || s.day > 31 || s.year < 0) return std::nullopt;
    const year_month_day date{year{2000 + s.year}, month{static_cast<unsigned>(s.month)},
                              day{static_cast<unsigned>(s.day)}};
    if (!date.ok()) return std::nullopt;
    const sys_seconds at = sys_days{date} + hours{s.hour} + minutes{s.minute} + seconds{s.second};
    return at.time_since_epoch().count();
}

void setClockSeconds(SimSetup& s, int64_t value) {
    using namespace std::chrono;
    const sys_seconds at{seconds{value}};
    const sys_days today = floor<days>(at);
    const year_month_day date{today};
    const hh_mm_ss clock{at - today};
    s.year = ((static_cast<int>(date.year()) - 2000) % 100 + 100) % 100;
    s.month = static_cast<int>(static_cast<unsigned>(date.month()));
    s.day = static_cast<int>(static_cast<unsigned>(date.day()));
    s.hour = static_cast<int>(clock.hours().count());
    s.minute = static_cast<int>(clock.minutes().count());
    s.second = static_cast<int>(clock.seconds().count());
}

void keepClock(SimSetup& s, int64_t nowUs) {
    if (!s.clockRuns || nowUs <= s.clockSetUs) return;
    // Whole seconds and the rest apart, so that a year at a high speed stays inside 64 bits.
    const int64_t passed = nowUs - s.clockSetUs;
    const int64_t speed = std::max<int64_t>(s.clockSpeed, 1);
    const int64_t restUs = (passed % 1000000) * speed + s.clockCarryUs;
    const int64_t whole = passed / 1000000 * speed + restUs / 1000000;
    s.clockCarryUs = restUs % 1000000;
    s.clockSetUs = nowUs;
    if (whole <= 0) return;
    if (const auto at = clockSeconds(s)) setClockSeconds(s, *at + whole);
}

}  // namespace vrn::sim
