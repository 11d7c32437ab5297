#include "cli/outcome_exit.h"

#include "cli/cli.h"

namespace vrn::cli {
namespace {

const char* kindName(Outcome::Kind kind) {
    switch (kind) {
    case Outcome::Kind::Done:
        return "done";
    case Outcome::Kind::Failed:
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

int exitStatusOf(const Outcome& outcome, CommandResult& result) {
    if (outcome.ok()) return kExitOk;
    keepFailure(outcome, result);
    return outcome.kind() == Outcome::Kind::Refused ? kExitUsage : kExitFailed;
}

}  // namespace vrn::cli
