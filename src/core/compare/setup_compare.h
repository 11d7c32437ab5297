#pragma once

#include <string>
#include <vector>

#include "core/compare/difference.h"

namespace vrn::setup {
class SetupModel;
}

namespace vrn::compare {

// Compares two Setups by meaning, one line per differing value with its name and the texts the
// Setup page shows: "COM2 BAUD: file 9600, instrument 19.2K". The clock is not compared, and
// neither are values without effect on both sides: record fields past both fields-per-record
// counts, the width and precision of a field that is not a Number on both sides, the scroll pause
// and end screen while auto scroll is off on both. Without `compareCom1` (a setup file too old to
// hold them) the two COM1 values are left out. Empty when the Setups agree.
std::vector<std::string> compareSetup(const setup::SetupModel& file, const setup::SetupModel& instrument,
                                      bool compareCom1);
// The same differences as data: the value's name, and the two settings.
std::vector<Difference> setupDifferences(const setup::SetupModel& file, const setup::SetupModel& instrument,
                                         bool compareCom1);

}  // namespace vrn::compare
