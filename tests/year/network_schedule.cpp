#include "network_schedule.h"

#include <array>

namespace vrn::test {
namespace {

// Nights 0 and the last two stay clear, so every station is collected first and last in health.
bool troubled(int night, int nights) {
    return night > 0 && night < nights - 2;
}

// Whether a trouble of `span` nights holds this night: a tenth of the stations share a role, and
// each of them meets its trouble at other nights.
bool within(int station, int night, int nights, int span) {
    const int room = nights - 3 - span;
    const int from = room <= 0 ? 1 : 1 + (nights / 4 + station / 10 * 37) % room;
    return troubled(night, nights) && night >= from && night < from + span;
}

bool every(int night, int station, int period, int phase, int nights) {
    return troubled(night, nights) && (night + station / 10) % period == phase;
}

}  // namespace

Role roleOf(int station) {
    const int kind = station % 10;
    return kind == 9 ? Role::Healthy : static_cast<Role>(kind);
}

std::string_view roleName(Role role) {
    static constexpr std::array<std::string_view, 9> kNames = {"healthy",
                                                               "silent ten nights",
                                                               "port lost mid-download",
                                                               "stalls",
                                                               "sends oldest",
                                                               "clock forward",
                                                               "clock back",
                                                               "memory fills uncollected",
                                                               "erase after collection"};
    return kNames[static_cast<size_t>(role)];
}

NightPlan planOf(int station, int night, int nights) {
    NightPlan plan;
    switch (roleOf(station)) {
    case Role::Silent:
        plan.silent = within(station, night, nights, kSilentNights);
        break;
    case Role::PortLost:
        plan.portLost = every(night, station, 29, 10, nights);
        break;
    case Role::Stalls:
        if (every(night, station, 7, 3, nights)) plan.stallMs = kShortStallMs;
        if (every(night, station, 13, 5, nights)) plan.stallMs = kLongStallMs;
        break;
    case Role::ClockForward:
        // Spring and autumn: a quarter and four fifths into the span.
        if (night == nights / 4) plan.clockChangeMinutes = 60;
        if (night == nights * 4 / 5) plan.clockChangeMinutes = -60;
        break;
    case Role::ClockBack:
        if (night == nights / 2) plan.clockChangeMinutes = -60;
        break;
    case Role::MemoryFills:
        plan.collect = !within(station, night, nights, kUncollectedNights);
        break;
    case Role::Erased:
        plan.eraseAfter = every(night, station, 60, 20, nights);
        break;
    default:
        break;
    }
    return plan;
}

}  // namespace vrn::test
