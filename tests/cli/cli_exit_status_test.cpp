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
        const char* kind;  // kept for --json; none for success
    } rows[] = {
        {Outcome::done(), kExitOk, nullptr},
        {Outcome::failed("CANNOT GET DATE"), kExitFailed, "failed"},
        {Outcome::aborted(), kExitFailed, "aborted"},
        {Outcome::portGone("Cannot Get Setup.\nUSB port is closed."), kExitFailed, "portGone"},
        {Outcome::refused("Cannot Send Setup.\nThe time box is empty."), kExitUsage, "refused"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.outcome.kind()));
        CommandResult result;
        EXPECT_EQ(exitStatusOf(r.outcome, result), r.status);
        ASSERT_EQ(result.failure.has_value(), r.kind != nullptr);
        if (!result.failure) continue;
        EXPECT_EQ(result.failure->kind, r.kind);
        EXPECT_EQ(result.failure->reason, r.outcome.reason());
    }
}

}  // namespace
}  // namespace vrn::cli
