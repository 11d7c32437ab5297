#pragma once

#include <span>

#include "sim/option_table.h"

namespace vrn::sim {

// The program transfer's fault options of vrncomm-sim, in the order --help lists them.
std::span<const SimOption> programOptions();

}  // namespace vrn::sim
