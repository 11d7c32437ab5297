#include "cli/outcome_exit.h"

#include "cli/cli.h"

namespace vrn::cli {

int exitStatusOf(const Outcome& outcome) {
    switch (outcome.kind()) {
    case Outcome::Kind::Done:
        return kExitOk;
    case Outcome::Kind::Refused:
        return kExitUsage;
    case Outcome::Kind::Failed:
    case Outcome::Kind::Aborted:
    case Outcome::Kind::PortGone:
        break;
    }
    return kExitFailed;
}

}  // namespace vrn::cli
