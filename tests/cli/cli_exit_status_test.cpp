#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/outcome_exit.h"
#include "cli_rig.h"
#include "sim/faults.h"

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
        // A file problem is the user's to mend; a program that came unusable is the instrument's.
        {Outcome::notWritten("Cannot create file \"/g/m.ssp\"."), kExitUsage, "failed"},
        {Outcome::programAtFault("RECEIVED USER PROGRAM HAS NO PGM END."), kExitFailed, "failed"},
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

// A download cut short whose whole records were kept has its own status, whatever ended it.
TEST(CliExitStatus, ARetrievalThatKeptRecordsIsAShortDownload) {
    const struct Row {
        records::RetrievalResult result;
        int status;
    } rows[] = {
        {{Outcome::done(), {120, 10}}, kExitOk},
        {{Outcome::failed("Only 4 of 10 records arrived."), {48, 4}}, kExitShortDownload},
        {{Outcome::portGone("Only 4 of 10 records arrived."), {50, 4}}, kExitShortDownload},
        {{Outcome::failed("Only 0 of 10 records arrived."), {10, 0}}, kExitFailed},
        {{Outcome::notWritten("The named file cannot be opened."), {48, 0}}, kExitUsage},
        {{Outcome::refused("With 25 Fields Per Record,"), {}}, kExitUsage},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.result.reason());
        EXPECT_EQ(retrievalExitStatus(r.result), r.status);
    }
}

// Whatever --quiet keeps out, a run that fails says so: at least one "error:" line on stderr, for
// every command that talks to the instrument, against one that never answers.
TEST(CliExitStatus, QuietNeverHidesAFailure) {
    const std::vector<std::vector<std::string>> commands = {
        {"--yes", "erase-records"},
        {"calibrate", "se-zero", "--password-file", "pw"},
        {"cal-data"},
        {"cal-check", "se", "--password-file", "pw"},
        {"get-setup", "s.set"},
        {"send-setup", "s.set"},
        {"get-screens", "s.scr"},
        {"get-program", "p.pgm"},
        {"get-records", "10", "r.txt"},
        {"get-records", "all", "r.txt"},
        {"get-all", "g.ssp"},
        {"test", "ram"},
        {"diff-setup", "s.set"},
    };
    for (const bool json : {false, true}) {
        for (const auto& command : commands) {
            test::CliRig rig;
            rig.files.files["pw"] = {'k', 'v', 't', '4', '1', '9', '3', '8', '\n'};
            // A Setup file for the sends and the diff, from the instrument while it still answers.
            ASSERT_EQ(rig.run({"--simulate", "get-setup", "s.set"}), kExitOk) << rig.err.str();
            rig.instrument.faults.all = sim::Fault::silent();
            std::vector<std::string> args = {"--simulate", "--quiet"};
            if (json) args.push_back("--json");
            args.insert(args.end(), command.begin(), command.end());
            const int status = rig.run(args);
            const std::string name = command.front() == "--yes" ? command[1] : command.front();
            EXPECT_NE(status, kExitOk) << name;
            EXPECT_NE(rig.err.str().find("error: "), std::string::npos)
                << name << (json ? " --json" : "") << ": exit " << status << ", stderr: " << rig.err.str();
        }
    }
}

}  // namespace
}  // namespace vrn::cli
