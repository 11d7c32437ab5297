#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vrn::test {

// What befalls a station of the simulated network, by its number: two in ten are healthy, the
// others each have one kind of trouble, at nights spread over the stations.
enum class Role : uint8_t {
    Healthy,
    Silent,        // answers nothing for ten nights
    PortLost,      // the port goes (a power cut) halfway through some downloads
    Stalls,        // the records pause, briefly on some nights, long enough to end the download on others
    SendsOldest,   // answers a count with its oldest records
    ClockForward,  // its clock put forward an hour in spring and back in autumn
    ClockBack,     // keeps UTC+01:00, its clock put back an hour once
    MemoryFills,   // a small memory that fills while its station is not collected
    Erased,        // its memory erased a few hours after some collections
};
Role roleOf(int station);
std::string_view roleName(Role role);

// A station's night besides its collection.
struct NightPlan {
    bool collect = true;  // false: the station is left alone (its memory may fill)
    bool silent = false;
    bool portLost = false;
    std::optional<int64_t> stallMs;  // the records pause once, halfway
    // Right after the collection the clock is set to another UTC offset: this many minutes more.
    int clockChangeMinutes = 0;
    bool eraseAfter = false;  // the memory erased some hours after the collection
};
NightPlan planOf(int station, int night, int nights);

// The records of a MemoryFills station that its memory holds: three days' worth.
inline constexpr uint32_t kSmallMemoryDays = 3;
// The nights it is left alone: twice as long as its memory lasts.
inline constexpr int kUncollectedNights = 2 * static_cast<int>(kSmallMemoryDays);
inline constexpr int kSilentNights = 10;
// A stall the download outlasts, and one that ends it (longer than the silence that ends it).
inline constexpr int64_t kShortStallMs = 1000;
inline constexpr int64_t kLongStallMs = 6000;

}  // namespace vrn::test
