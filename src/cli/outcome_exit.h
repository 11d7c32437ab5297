#pragma once

#include "cli/command_result.h"
#include "core/link/outcome.h"
#include "core/records/record_retrieval.h"

namespace vrn::cli {

// The exit status of a command that ended with an operation's outcome: a refusal before anything
// was sent and a file that could not be written are usage problems, every other failure the
// instrument's. A failure is kept in the result, for --json's "outcome".
int exitStatusOf(const Outcome& outcome, CommandResult& result);

// Keeps a failure in the result for --json's "outcome" without choosing the exit status: a
// download cut short still ends with the short-download status.
void keepFailure(const Outcome& outcome, CommandResult& result);

// The exit status of a records download: as exitStatusOf's, but a download cut short whose whole
// records were kept has a status of its own. Nothing is kept in the result.
int retrievalExitStatus(const records::RetrievalResult& retrieved);

}  // namespace vrn::cli
