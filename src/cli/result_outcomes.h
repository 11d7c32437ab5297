#pragma once

#include <cstddef>
#include <string>

#include "cli/command_result.h"
#include "core/link/outcome.h"
#include "core/records/record_retrieval.h"

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

// An operation's outcome for --json's "outcome", with the line the run showed for it as its reason:
// the operations whose boxes and lines say more than their own reason.
Outcome toldBy(const Outcome& outcome, const std::string& said);
// A retrieval's outcome: its own reason as the run shows a box, on one line, else the line said.
Outcome outcomeOf(const records::RetrievalResult& result, const std::string& said);
// The port could not be opened: nothing reached the instrument, and the warning said why.
Outcome portNotOpened(const std::string& said);

}  // namespace vrn::cli
