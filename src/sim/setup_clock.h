#pragma once

#include <cstdint>
#include <optional>

#include "sim/sim_state.h"

namespace vrn::sim {

// Moves a running clock on by the whole seconds passed (times its speed) since it was last
// brought up to date. A date the calendar does not have (the 31st of February, as CMD270 allows)
// stops it there.
void keepClock(SimSetup& setup, int64_t nowUs);

// The instrument's date and time as seconds of the civil calendar, when the date exists.
std::optional<int64_t> clockSeconds(const SimSetup& setup);
// Sets the date and time from seconds of the civil calendar (the year kept to two digits).
void setClockSeconds(SimSetup& setup, int64_t seconds);

}  // namespace vrn::sim
