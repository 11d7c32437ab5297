// Where the commands write: checked before the instrument is asked anything; "-" is standard output.
#include <gtest/gtest.h>

#include "cli_rig.h"

namespace vrn::cli::test {
namespace {

TEST(CliOutputTarget, ATargetThatCannotBeWrittenSendsNothing) {
    struct Row {
        std::vector<std::string> args;
        const char* says;
    };
    const std::vector<Row> rows = {
        {{"get-setup", "/readonly/a.set"}, "error: cannot write /readonly/a.set: Access is denied."},
        {{"get-screens", "/readonly/a.scr"}, "error: cannot write /readonly/a.scr: "},
        {{"get-program", "/readonly/a.pgm"}, "error: cannot write /readonly/a.pgm: "},
        {{"get-records", "5", "/readonly/a.txt"}, "/readonly/a.txt Access is denied."},
        {{"get-records", "all", "/readonly/a.txt"}, "/readonly/a.txt Access is denied."},
        {{"get-all", "/readonly/g.ssp"}, "error: cannot write /readonly/g.ssp: "},
        {{"--yes", "firmware", "f.glo", "--backup", "/readonly/b.ssp"},
         "error: cannot write /readonly/b.ssp: "},
        {{"get-all", "-"}, "error: get-all writes several files: - (standard output) cannot take them"},
        {{"--yes", "firmware", "f.glo", "--backup", "-"}, "error: firmware --backup writes several files"},
        {{"--json", "get-setup", "-"}, "error: - (standard output) does not go with --json"},
        {{"render", "f.scr", "-"}, "error: render writes several files"},
        {{"report", "g.ssp", "/readonly/r.pdf"}, "error: cannot write /readonly/r.pdf: "},
        {{"export", "a.db", "--station", "n", "/readonly/o.txt"}, "error: cannot write /readonly/o.txt: "},
        {{"plot", "r.txt", "/readonly/o.png"}, "error: cannot write /readonly/o.png: "},
    };
    for (const Row& row : rows) {
        std::string name;
        for (const std::string& a : row.args)
            name += a + " ";
        SCOPED_TRACE(name);
        CliRig rig;
        std::vector<std::string> args = {"--simulate"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        EXPECT_EQ(rig.run(args), kExitUsage);
        EXPECT_NE(rig.err.str().find(row.says), std::string::npos) << rig.err.str();
        EXPECT_TRUE(rig.instrument.commandLog.empty()) << rig.instrument.commandLog.front();
        EXPECT_TRUE(rig.files.files.empty());
        EXPECT_TRUE(rig.choices.empty()) << "no port was opened";
    }
}

// With "-" standard output holds only the data: the message lines go to stderr.
TEST(CliOutputTarget, DashTakesTheDataAndTheLinesGoToStderr) {
    struct Row {
        std::vector<std::string> args;
        const char* line;  // one of the message lines
        size_t bytes;      // the data's size, 0 when it varies
    };
    const std::vector<Row> rows = {
        {{"get-setup", "-"}, "INSTRUMENT TIME: ", 990},
        {{"get-screens", "-"}, "GETTING SCREENS", 1920},
        {{"get-records", "3", "-"}, "TOTAL BYTES: ", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args[0]);
        CliRig rig;
        std::vector<std::string> args = {"--simulate"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        ASSERT_EQ(rig.run(args), kExitOk) << rig.err.str();
        EXPECT_EQ(rig.out.str(), "");
        EXPECT_NE(rig.err.str().find(row.line), std::string::npos) << rig.err.str();
        ASSERT_EQ(rig.files.files.count("-"), 1U);
        if (row.bytes != 0) {
            EXPECT_EQ(rig.files.files.at("-").size(), row.bytes);
        }
    }
}

}  // namespace
}  // namespace vrn::cli::test
