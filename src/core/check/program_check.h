#pragma once

#include "core/check/finding.h"

namespace vrn {
class ProgramStore;
}
namespace vrn::setup {
class SetupModel;
}

namespace vrn::check {

// Checks the program the store holds (slot 0 up to its PGM END) against the instrument's rules:
// its IF structure, the screen positions of what it displays, the locations it reads and writes,
// the values of its parameters and, given the Setup, the values one pass records against the
// record format. Findings come in program order.
CheckResult checkProgram(const ProgramStore& store, const setup::SetupModel* setup = nullptr);

}  // namespace vrn::check
