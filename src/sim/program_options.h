#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/faults.h"

namespace vrn::sim {

// The program transfer's fault options of vrncomm-sim. If args[i] is one of them, takes it (and
// its value, moving i past it) and returns whether it was valid, with the reason in error;
// nothing when args[i] is some other option.
std::optional<bool> parseProgramOption(const std::vector<std::string>& args, size_t& i, Faults& faults,
                                       std::string& error);

}  // namespace vrn::sim
