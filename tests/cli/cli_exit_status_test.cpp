#include <gtest/gtest.h>

#include "cli/cli.h"
#include "cli/outcome_exit.h"

namespace vrn::cli {
namespace {

// As the commands have always exited: a refusal before anything was sent is a usage problem, every
// other failure the instrument's or the link's.
TEST(CliExitStatus, FollowsTheOutcome) {
    const struct Row {
        Outcome outcome;
        int status;
    } rows[] = {
        {Outcome::done(), kExitOk},
        {Outcome::failed("CANNOT GET DATE"), kExitFailed},
        {Outcome::aborted(), kExitFailed},
        {Outcome::portGone("Cannot Get Setup.\nUSB port is closed."), kExitFailed},
        {Outcome::refused("Cannot Send Setup.\nThe time box is empty."), kExitUsage},
    };
    for (const Row& r : rows)
        EXPECT_EQ(exitStatusOf(r.outcome), r.status) << static_cast<int>(r.outcome.kind());
}

}  // namespace
}  // namespace vrn::cli
