#pragma once

#include <cstddef>
#include <string>

#include "cli/command_result.h"
#include "core/link/outcome.h"
#include "core/records/record_retrieval.h"
#include "core/service/calibration.h"
#include "core/service/firmware_update.h"
#include "core/workspace/firmware_backup.h"

namespace vrn::cli {

// Where the run's lines stood when an operation began: its failure is explained by a line it
// showed itself, not by one an earlier step left.
struct LogMark {
    size_t warnings = 0;
    size_t messages = 0;
};

LogMark markOf(const MessageLog& log);

// The line that said why an operation failed: the first box it showed, else its last message line.
std::string reasonSince(const MessageLog& log, LogMark mark);

// Each operation's own result as an Outcome, for --json's "outcome"; the reason is the line the
// operation showed when the result carries none of its own.
Outcome outcomeOf(const records::RetrievalResult& result, const std::string& said);
Outcome outcomeOf(service::CalOutcome result, const std::string& said);
Outcome outcomeOf(service::FirmwareOutcome result, const std::string& said);
Outcome outcomeOf(workspace::BackupOutcome result, const std::string& said);
// A diagnostic's yes or no: a no was turned down before anything was sent.
Outcome diagnosticOutcome(bool done, const std::string& said);
// The port could not be opened: nothing reached the instrument, and the warning said why.
Outcome portNotOpened(const std::string& said);

}  // namespace vrn::cli
