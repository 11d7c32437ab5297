#include "sim/station.h"

#include "core/link/clock.h"
#include "sim/instrument.h"

namespace vrn::sim {
namespace {

SimSetup stationSetup() {
    SimSetup s;
    s.com1Code = 96;  // 9600, RS-232
    s.com2Code = 19;  // 19.2K
    s.interval = 15;
    s.fieldsPerRecord = 7;
    s.autoScroll = 1;
    s.scrollPause = 5;
    s.scrollEnd = 4;
    constexpr uint8_t kNumber = 0, kDate = 1, kTime = 2;
    const SimField used[] = {
        {"AIR TEMP", kNumber, 5, 1},   {"RH", kNumber, 5, 1},       {"BARO", kNumber, 6, 1},
        {"WIND SPEED", kNumber, 5, 1}, {"WIND DIR", kNumber, 3, 0}, {"DATE", kDate, 6, 0},
        {"TIME", kTime, 6, 0},
    };
    for (size_t i = 0; i < std::size(used); ++i)
        s.fields[i] = used[i];
    return s;
}

}  // namespace

void configureStation(Instrument& instrument) {
    SimSetup s = stationSetup();
    const LocalDateTime now = instrument.clock().localNow();
    s.month = now.month;
    s.day = now.day;
    s.year = now.year % 100;
    s.hour = now.hour;
    s.minute = now.minute;
    s.second = now.second;
    s.clockRuns = true;
    s.clockSetUs = instrument.clock().nowUs();
    instrument.state.setup = s;
}

}  // namespace vrn::sim
