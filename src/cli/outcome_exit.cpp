#include "cli/outcome_exit.h"

#include "cli/cli.h"

namespace vrn::cli {
namespace {

const char* kindName(Outcome::Kind kind) {
    switch (kind) {
    case Outcome::Kind::Done:
        return "done";
    case Outcome::Kind::Failed:
    case Outcome::Kind::NotWritten:
    case Outcome::Kind::ProgramAtFault:
        return "failed";
    case Outcome::Kind::Aborted:
        return "aborted";
    case Outcome::Kind::PortGone:
        return "portGone";
    case Outcome::Kind::Refused:
        return "refused";
    }
    return "failed";
}

}  // namespace

void keepFailure(const Outcome& outcome, CommandResult& result) {
    if (!outcome.ok()) result.failure = FailedOutcome{kindName(outcome.kind()), outcome.reason()};
}

namespace {

int statusOf(const Outcome& outcome) {
    if (outcome.ok()) return kExitOk;
    const bool usage =
        outcome.kind() == Outcome::Kind::Refused || outcome.kind() == Outcome::Kind::NotWritten;
    return usage ? kExitUsage : kExitFailed;
}

}  // namespace

int exitStatusOf(const Outcome& outcome, CommandResult& result) {
    keepFailure(outcome, result);
    return statusOf(outcome);
}

int retrievalExitStatus(const records::RetrievalResult& retrieved) {
    return records::keptShort(retrieved) ? kExitShortDownload : statusOf(retrieved);
}

}  // namespace vrn::cli
