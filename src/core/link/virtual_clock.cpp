#include "core/link/virtual_clock.h"

namespace vrn {

VirtualClock::VirtualClock(int64_t wallStartSeconds) : wallStartSeconds_(wallStartSeconds) {}

int64_t VirtualClock::wallSeconds() {
    return wallStartSeconds_ + nowUs_ / 1000000;
}

LocalDateTime VirtualClock::localNow() {
    return civilFromEpochSeconds(wallSeconds());
}

void VirtualClock::sleepUntilUs(int64_t us) {
    if (us > nowUs_) nowUs_ = us;
}

void VirtualClock::advanceUs(int64_t us) {
    if (us > 0) nowUs_ += us;
}

LocalDateTime civilFromEpochSeconds(int64_t seconds) {
    // Days-from-civil inverse (proleptic Gregorian), valid for any day count.
    int64_t days = seconds / 86400;
    int64_t rem = seconds % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    LocalDateTime t;
    t.year = static_cast<int>(year);
    t.month = static_cast<int>(month);
    t.day = static_cast<int>(day);
    t.hour = static_cast<int>(rem / 3600);
    t.minute = static_cast<int>(rem % 3600 / 60);
    t.second = static_cast<int>(rem % 60);
    return t;
}

}  // namespace vrn
