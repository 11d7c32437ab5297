#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli_rig.h"
#include "sim/faults.h"
#include "sim/station.h"

namespace vrn::cli::test {
namespace {

using sim::Fault;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliCompare, DiffsExitByWhatTheInstrumentHolds) {
    CliRig source;
    ASSERT_EQ(source.run({"--simulate", "get-all", "g.ssp"}), kExitOk) << source.err.str();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        void (*change)(sim::Instrument&);
        int exit;
        const char* out;  // expected on stdout, even with --quiet
        const char* err;
    } rows[] = {
        {"setup equal", {"diff-setup", "g.set"}, [](sim::Instrument&) {}, kExitOk, "", ""},
        {"clock moved",
         {"diff-setup", "g.set"},
         [](sim::Instrument& i) { i.state.setup.hour = 3; },
         kExitOk,
         "",
         ""},
        {"setup changed",
         {"diff-setup", "g.set"},
         [](sim::Instrument& i) { i.state.setup.interval = 42; },
         kExitDiffers,
         "INTERVAL: file 1, instrument 42\n",
         ""},
        {"screens equal", {"diff-screens", "g.scr"}, [](sim::Instrument&) {}, kExitOk, "", ""},
        {"screen changed",
         {"diff-screens", "g.scr"},
         [](sim::Instrument& i) { i.state.screens[0] = 'X'; },
         kExitDiffers,
         "screen 1 row 1 col 1: file ",
         ""},
        {"program equal", {"diff-program", "g.pgm"}, [](sim::Instrument&) {}, kExitOk, "", ""},
        {"all equal", {"diff-all", "g.ssp"}, [](sim::Instrument&) {}, kExitOk, "", ""},
        {"all, setup changed",
         {"diff-all", "g.ssp"},
         [](sim::Instrument& i) { i.state.setup.keyLock = 1; },
         kExitDiffers,
         "KEYPAD LOCK: file OFF, instrument ON\n",
         ""},
        {"no answer",
         {"diff-setup", "g.set"},
         [](sim::Instrument& i) { i.faults.all = Fault::silent(); },
         kExitFailed,
         "",
         "warning: "},
        {"no file",
         {"diff-program"},
         [](sim::Instrument&) {},
         kExitUsage,
         "",
         "error: diff-program: FILE.pgm is missing"},
        {"not a setup file",
         {"diff-setup", "g.scr"},
         [](sim::Instrument&) {},
         kExitUsage,
         "",
         "g.scr is not a setup file"},
        {"not a group", {"diff-all", "g.set"}, [](sim::Instrument&) {}, kExitUsage, "", "not a group file"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CliRig rig;
        rig.files.files = source.files.files;
        r.change(rig.instrument);
        std::vector<std::string> args = {"--simulate", "--quiet"};
        args.insert(args.end(), r.args.begin(), r.args.end());
        EXPECT_EQ(rig.run(args), r.exit) << rig.err.str();
        if (*r.out == 0)
            EXPECT_EQ(rig.out.str(), "");
        else
            EXPECT_TRUE(rig.out.str().starts_with(r.out)) << rig.out.str();
        EXPECT_TRUE(has(rig.err.str(), r.err)) << rig.err.str();
    }
}

TEST(CliCompare, VerifyFailsWhenTheInstrumentKeepsSomethingElse) {
    CliRig source;
    sim::configureStation(source.instrument);  // its program records what its record format holds
    ASSERT_EQ(source.run({"--simulate", "get-all", "g.ssp"}), kExitOk) << source.err.str();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        bool loseLast;
        int exit;
        const char* err;
    } rows[] = {
        {"setup", {"send-setup", "g.set", "--verify"}, false, kExitOk, ""},
        {"screens", {"send-screens", "--verify", "g.scr"}, false, kExitOk, ""},
        {"program", {"send-program", "g.pgm", "--verify"}, false, kExitOk, ""},
        {"program stored short",
         {"send-program", "g.pgm", "--verify"},
         true,
         kExitDiffers,
         "error: the instrument's program differs from g.pgm after the send:\n  --- g.pgm\n  +++ "
         "instrument\n"},
        {"program stored short, not verified", {"send-program", "g.pgm"}, true, kExitOk, ""},
        {"all stored short",
         {"send-all", "g.ssp", "--verify"},
         true,
         kExitDiffers,
         "error: the instrument's program differs from g.pgm after the send:"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CliRig rig;
        rig.files.files = source.files.files;
        rig.instrument.faults.program.loseLastInstruction = r.loseLast;
        std::vector<std::string> args = {"--simulate"};
        args.insert(args.end(), r.args.begin(), r.args.end());
        EXPECT_EQ(rig.run(args), r.exit) << rig.err.str();
        EXPECT_TRUE(has(rig.err.str(), r.err)) << rig.err.str();
        const bool verified = r.args.back() == "--verify" || r.args[1] == "--verify";
        EXPECT_EQ(has(rig.out.str(), "GET "), verified) << rig.out.str();
        if (r.loseLast && verified) {
            // The instruction before PGM END is gone: a removed line, nothing added.
            EXPECT_TRUE(has(rig.err.str(), "\n  -")) << rig.err.str();
            EXPECT_FALSE(has(rig.err.str(), "\n  +P")) << rig.err.str();
        }
    }
}

}  // namespace
}  // namespace vrn::cli::test
