#pragma once

#include "core/link/clock.h"
#include "core/setup/setup_model.h"

namespace vrn::setup {

// Writes the PC's date and time into the date and time boxes ("MM-DD-YYYY", "HH:MM:SS"): the
// running clock of the Setup page while "Use PC System Time" is checked.
void showPcTime(SetupModel& model, const LocalDateTime& now);

}  // namespace vrn::setup
