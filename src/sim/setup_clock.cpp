#include "sim/setup_clock.h"

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
    if (!s.clockRuns) return;
    const int64_t whole = (nowUs - s.clockSetUs) / 1000000;
    if (whole <= 0) return;
    s.clockSetUs += whole * 1000000;
    if (const auto at = clockSeconds(s)) setClockSeconds(s, *at + whole);
}

}  // namespace vrn::sim
