#pragma once

#include "cli/command_result.h"
#include "core/link/outcome.h"

namespace vrn::cli {

// The exit status of a command that ended with an exchange's or a transfer's outcome: a
// refusal before anything was sent is a usage problem, every other failure the instrument's.
// A failure is kept in the result, for --json's "outcome".
int exitStatusOf(const Outcome& outcome, CommandResult& result);

// Keeps a failure in the result for --json's "outcome" without choosing the exit status: a
// download cut short still ends with the short-download status.
void keepFailure(const Outcome& outcome, CommandResult& result);

}  // namespace vrn::cli
