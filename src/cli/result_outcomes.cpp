#include "cli/result_outcomes.h"

#include "cli/terminal_host.h"

namespace vrn::cli {

LogMark markOf(const MessageLog& log) {
    return {log.warnings.size(), log.messages.size()};
}

std::string reasonSince(const MessageLog& log, LogMark mark) {
    if (log.warnings.size() > mark.warnings) return log.warnings[mark.warnings];
    if (log.messages.size() > mark.messages) return log.messages.back();
    return {};
}

Outcome toldBy(const Outcome& outcome, const std::string& said) {
    return outcome.because(said);
}

Outcome outcomeOf(const records::RetrievalResult& result, const std::string& said) {
    return result.because(oneLine(result.reason())).orReason(said);
}

Outcome portNotOpened(const std::string& said) {
    return Outcome::failed(said);
}

}  // namespace vrn::cli
