#pragma once

#include "core/link/outcome.h"

namespace vrn::cli {

// The exit status of a command that ended with an exchange's or a transfer's outcome: a
// refusal before anything was sent is a usage problem, every other failure the instrument's.
int exitStatusOf(const Outcome& outcome);

}  // namespace vrn::cli
