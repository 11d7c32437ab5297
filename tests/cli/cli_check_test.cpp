#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "cli_rig.h"
#include "core/program/program_file.h"
#include "core/program/program_model.h"
#include "sim/station.h"

namespace vrn::cli::test {
namespace {

// The simulated station's program with a record format whose first field was made a Date and
// whose last was dropped.
const std::string kStationGroupFindings =
    "011 RECORD VALUE sloc=: error: records a Number into field 1 \"AIR TEMP\", a Date field\n"
    "017 RECORD TIME frmt=: error: records value 7 of a pass; the record format has 6 fields per record\n";

// IF FLAG, DISPLAY TEXT at column 38, IF KEYSWITCH, END IF, PGM END: the outer IF is never
// closed and the text runs past column 40. The tree shows what the store holds.
std::vector<uint8_t> brokenProgram() {
    ProgramModel p;
    p.store.setInstruction(0, 16);
    p.store.setIntValue(0, 0, 1);
    p.store.setInstruction(1, 8);
    p.store.setIntValue(1, 0, 1);
    p.store.setIntValue(1, 1, 1);
    p.store.setIntValue(1, 2, 38);
    p.store.setTextArea(1, "WIND");
    p.store.setInstruction(2, 18);
    p.store.setInstruction(3, 12);
    p.store.setInstruction(4, 0);
    p.tree.clear();
    const std::vector<std::pair<const char*, std::vector<const char*>>> nodes = {
        {"IF FLAG", {"flag#= 01", "state= OFF"}},
        {"DISPLAY TEXT", {"scrn= 1", "row= 1", "col= 38", "text= WIND", "font= SMALL"}},
        {"IF KEYSWITCH", {"key= KEY1"}},
        {"END IF", {}},
        {"PGM END", {}},
    };
    for (const auto& [text, params] : nodes) {
        const NodePath at = p.tree.append({}, text);
        for (const char* param : params)
            p.tree.append(at, param);
    }
    return writeProgramFile(p);
}

// IF TIME INTERVAL, RECORD VALUE, END IF, PGM END: one value recorded inside an IF, a warning only.
std::vector<uint8_t> warningsOnlyProgram() {
    ProgramModel p;
    p.store.setInstruction(0, 22);
    p.store.setIntValue(0, 1, 10);
    p.store.setInstruction(1, 44);
    p.store.setIntValue(1, 0, 1);
    p.store.setInstruction(2, 12);
    p.store.setInstruction(3, 0);
    p.tree.clear();
    const std::vector<std::pair<const char*, std::vector<const char*>>> nodes = {
        {"IF TIME INTERVAL", {"unit= SECONDS", "time= 0010"}},
        {"RECORD VALUE", {"sloc= 001"}},
        {"END IF", {}},
        {"PGM END", {}},
    };
    for (const auto& [text, params] : nodes) {
        const NodePath at = p.tree.append({}, text);
        for (const char* param : params)
            p.tree.append(at, param);
    }
    return writeProgramFile(p);
}

const std::string kBrokenFindings =
    "001 IF FLAG: error: no END IF closes this IF before PGM END\n"
    "002 DISPLAY TEXT col=: error: 4 characters from column 38 end at column 41; a row has 40\n";

// What --simulate starts with is a coherent station: its program records exactly what its record
// format holds, so its group checks clean, and a collection of all its records keys every one.
TEST(CliCheck, TheSimulatedStationChecksCleanAndKeysEveryRecord) {
    CliRig rig;
    sim::configureStation(rig.instrument);
    rig.instrument.state.records.logged = 500;
    ASSERT_EQ(rig.run({"--simulate", "get-all", "g.ssp"}), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.run({"check", "g.ssp"}), kExitOk) << rig.out.str() << rig.err.str();
    EXPECT_EQ(rig.out.str(), "");
    const QTemporaryDir dir;
    const std::string archive = dir.filePath(QStringLiteral("a.db")).toStdString();
    EXPECT_EQ(rig.run({"--simulate", "--json", "collect", archive, "--station", "st", "--count", "all"}),
              kExitOk)
        << rig.err.str();
    EXPECT_NE(rig.out.str().find("\"records\":500"), std::string::npos) << rig.out.str();
    EXPECT_NE(rig.out.str().find("\"withoutDateOrTime\":0"), std::string::npos) << rig.out.str();
}

TEST(CliCheck, FindingsOfTheStationGroupItsProgramAndABrokenProgram) {
    CliRig rig;
    sim::configureStation(rig.instrument);  // as --simulate starts it, its record format then changed
    rig.instrument.state.setup.fields[0].type = 1;
    rig.instrument.state.setup.fieldsPerRecord = 6;
    ASSERT_EQ(rig.run({"--simulate", "get-all", "g.ssp"}), kExitOk) << rig.err.str();
    rig.files.files["broken.pgm"] = brokenProgram();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int exit;
        std::string out;
    } rows[] = {
        {"the group with its Setup", {"check", "g.ssp"}, kExitCheckErrors, kStationGroupFindings},
        {"its program alone", {"check", "g.pgm"}, kExitOk, ""},
        {"its program and Setup",
         {"check", "g.pgm", "--setup", "g.set"},
         kExitCheckErrors,
         kStationGroupFindings},
        {"--setup first, --quiet kept out",
         {"--quiet", "check", "--setup", "g.set", "g.pgm"},
         kExitCheckErrors,
         kStationGroupFindings},
        {"errors", {"check", "broken.pgm"}, kExitCheckErrors, kBrokenFindings},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(rig.run(r.args), r.exit) << rig.err.str();
        EXPECT_EQ(rig.out.str(), r.out);
        EXPECT_EQ(rig.err.str(), "");
    }
    EXPECT_EQ(rig.choices.size(), 1u);  // only get-all asked for a port
}

TEST(CliCheck, UsageAndFileProblems) {
    CliRig rig;
    ASSERT_EQ(rig.run({"--simulate", "get-all", "g.ssp"}), kExitOk) << rig.err.str();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string err;
    } rows[] = {
        {"no file", {"check"}, "error: check: FILE.pgm|GROUP.ssp is missing\n"},
        {"two files", {"check", "g.pgm", "g.pgm"}, "error: check: unexpected argument g.pgm\n"},
        {"--setup without its file",
         {"check", "g.pgm", "--setup"},
         "error: check: --setup needs one FILE.set\n"},
        {"a group with --setup",
         {"check", "g.ssp", "--setup", "g.set"},
         "error: a group is checked with its own Setup; --setup goes with a FILE.pgm\n"},
        {"missing program",
         {"check", "none.pgm"},
         "error: cannot read none.pgm: No such file or directory\n"},
        {"not a setup file", {"check", "g.pgm", "--setup", "g.scr"}, "error: g.scr is not a setup file"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(rig.run(r.args), kExitUsage);
        EXPECT_TRUE(rig.err.str().starts_with(r.err)) << rig.err.str();
        EXPECT_EQ(rig.out.str(), "");
    }
}

TEST(CliCheck, SendsRefuseAProgramWithErrorsUnlessYes) {
    CliRig source;
    ASSERT_EQ(source.run({"--simulate", "get-all", "g.ssp"}), kExitOk) << source.err.str();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int exit;
        bool sent;
    } rows[] = {
        {"send-program", {"--simulate", "send-program", "g.pgm"}, kExitCheckErrors, false},
        {"send-program --yes", {"--simulate", "--yes", "send-program", "g.pgm"}, kExitOk, true},
        {"send-all", {"--simulate", "send-all", "g.ssp"}, kExitCheckErrors, false},
        {"send-all --yes", {"--simulate", "--yes", "send-all", "g.ssp"}, kExitOk, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CliRig rig;
        rig.files.files = source.files.files;
        rig.files.files["g.pgm"] = brokenProgram();
        EXPECT_EQ(rig.run(r.args), r.exit) << rig.err.str();
        EXPECT_EQ(rig.instrument.commandCounts.count(110) == 1, r.sent);
        // The findings are on stderr whatever the answer, so a log shows what was sent.
        EXPECT_NE(rig.err.str().find(kBrokenFindings), std::string::npos) << rig.err.str();
        EXPECT_NE(
            rig.err.str().find("The check found 2 errors in the user program. Send it to the 41700 anyway?"),
            std::string::npos)
            << rig.err.str();
        if (!r.sent) {
            EXPECT_TRUE(rig.instrument.commandLog.empty());
        }
    }
    // Warnings alone never stop a send: the group goes up as it is.
    CliRig rig;
    rig.files.files = source.files.files;
    rig.files.files["g.pgm"] = warningsOnlyProgram();
    EXPECT_EQ(rig.run({"check", "g.ssp"}), kExitCheckWarnings) << rig.out.str();
    EXPECT_EQ(rig.run({"--simulate", "send-all", "g.ssp"}), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.err.str(), "");
}

TEST(CliCheck, ListingOutlineIndentsTheBodiesOfIfs) {
    CliRig rig;
    rig.files.files["broken.pgm"] = brokenProgram();
    ASSERT_EQ(rig.run({"listing", "broken.pgm", "--outline"}), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(),
              "IF FLAG\n\tflag#= 01\n\tstate= OFF\n"
              "\tDISPLAY TEXT\n\t\tscrn= 1\n\t\trow= 1\n\t\tcol= 38\n\t\ttext= WIND\n\t\tfont= SMALL\n"
              "\tIF KEYSWITCH\n\t\tkey= KEY1\n"
              "\tEND IF\n"
              "\tPGM END\n");
    ASSERT_EQ(rig.run({"listing", "broken.pgm"}), kExitOk);
    EXPECT_TRUE(rig.out.str().starts_with("IF FLAG\n\tflag#= 01\n\tstate= OFF\nDISPLAY TEXT\n\tscrn= 1\n"));
    EXPECT_EQ(rig.run({"listing", "--outline"}), kExitUsage);
}

}  // namespace
}  // namespace vrn::cli::test
