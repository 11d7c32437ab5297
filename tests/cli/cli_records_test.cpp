#include <gtest/gtest.h>

#include <algorithm>

#include "cli_rig.h"

namespace vrn::cli::test {
namespace {

std::string text(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(CliRecords, GetRecordsWritesTheFileAndPrintsTheTotal) {
    CliRig rig;
    rig.instrument.state.setup.fieldsPerRecord = 2;
    ASSERT_EQ(rig.run({"--simulate", "get-records", "3", "day.txt", "--delimiter", "tab"}), kExitOk)
        << rig.err.str();
    EXPECT_NE(rig.out.str().find("TOTAL BYTES: 24\n"), std::string::npos) << rig.out.str();
    // A script is not told that the format is read first: nothing on stderr at all.
    EXPECT_EQ(rig.err.str(), "");
    const std::string file = text(rig.files.files.at("day.txt"));
    EXPECT_TRUE(file.starts_with("3 RECORDS\r\n")) << file;
    EXPECT_NE(file.find("\r\nFIELD 01\tFIELD 02\r\n"), std::string::npos) << file;
    EXPECT_EQ(rig.instrument.commandLog.back(), "CMD340 3");
}

TEST(CliRecords, RefusalsSendNoRecordCommand) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int fieldsPerRecord;
        int exit;
        const char* says = "error: ";
    };
    const std::vector<Row> rows = {
        {"no arguments", {"get-records"}, 1, kExitUsage},
        {"count 0", {"get-records", "0", "f.txt"}, 1, kExitUsage},
        {"count above the box's range", {"get-records", "1000000000", "f.txt"}, 1, kExitUsage},
        {"count not a number", {"get-records", "12x", "f.txt"}, 1, kExitUsage},
        {"unknown delimiter", {"get-records", "5", "f.txt", "--delimiter", "semicolon"}, 1, kExitUsage},
        {"delimiter without a name", {"get-records", "5", "f.txt", "--delimiter"}, 1, kExitUsage},
        {"25 fields, 86,508 records",
         {"get-records", "86508", "f.txt"},
         25,
         kExitUsage,
         "warning: With 25 Fields Per Record, a maximum of 86507 records may be retrieved.\n"},
        {"erase without --yes", {"erase-records"}, 1, kExitUsage},
        {"erase with an argument", {"--yes", "erase-records", "all"}, 1, kExitUsage},
    };
    for (const Row& row : rows) {
        CliRig rig;
        rig.instrument.state.setup.fieldsPerRecord = row.fieldsPerRecord;
        std::vector<std::string> args = {"--simulate"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        EXPECT_EQ(rig.run(args), row.exit) << row.name;
        EXPECT_EQ(rig.instrument.commandCounts[340], 0) << row.name;
        EXPECT_EQ(rig.instrument.commandCounts[345], 0) << row.name;
        EXPECT_TRUE(rig.files.files.empty()) << row.name;
        EXPECT_NE(rig.err.str().find(row.says), std::string::npos) << row.name << ": " << rig.err.str();
    }
}

TEST(CliRecords, FailedDownloadLeavesTheOldFileAndExitsOne) {
    struct Row {
        const char* name;
        bool stall;  // else the record format cannot be read
    };
    for (const Row& row :
         {Row{"download stops within the first record", true}, Row{"format silent", false}}) {
        CliRig rig;
        if (row.stall)
            rig.instrument.faults.records.stopAfterBytes = 3;
        else
            rig.instrument.faults.perCommand[325] = sim::Fault::silent();
        rig.files.files["day.txt"] = {'o', 'l', 'd'};
        EXPECT_EQ(rig.run({"--simulate", "get-records", "10", "day.txt"}), kExitFailed) << row.name;
        EXPECT_EQ(text(rig.files.files.at("day.txt")), "old") << row.name;
        EXPECT_NE(rig.err.str().find("Cannot communicate with 41700."), std::string::npos) << row.name;
    }
}

TEST(CliRecords, UnwritableFileIsAFileProblem) {
    CliRig rig;
    EXPECT_EQ(rig.run({"--simulate", "get-records", "2", "/readonly/day.txt"}), kExitUsage);
    EXPECT_NE(rig.err.str().find("The named file cannot be opened."), std::string::npos) << rig.err.str();
}

// What a script gets when fewer records come than it asked for, when it asks for all, and when
// the file cannot take them: the exit status tells which, the file holds whole records only.
TEST(CliRecords, ShortAndAllDownloadsAndFileProblemsHaveTheirOwnExitStatus) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        uint32_t logged;
        int exit;
        const char* says;      // on stderr; "" for nothing
        int fileRecords;       // the records in day.txt, -1 for the old file kept
        const char* asked340;  // the record command sent, nullptr for none
    };
    const std::vector<Row> rows = {
        {"3 of 10 arrive",
         {"get-records", "10", "day.txt"},
         3,
         kExitShortDownload,
         "warning: Only 3 of 10 records arrived.\n",
         3,
         "CMD340 10"},
        {"all: the 3 held, at the silence",
         {"get-records", "all", "day.txt"},
         3,
         kExitOk,
         "",
         3,
         "CMD340 1081343"},
        {"a folder that cannot take a file: found first",
         {"get-records", "10", "/readonly/day.txt"},
         3,
         kExitUsage,
         "/readonly/day.txt Access is denied.",
         -1,
         nullptr},
        {"a full disk: named with the reason",
         {"get-records", "2", "/full/day.txt"},
         3,
         kExitUsage,
         "/full/day.txt No space left on device",
         -1,
         "CMD340 2"},
    };
    for (const Row& row : rows) {
        CliRig rig;
        rig.instrument.state.setup.fieldsPerRecord = 2;
        rig.instrument.state.records.logged = row.logged;
        rig.files.files["day.txt"] = {'o', 'l', 'd'};
        std::vector<std::string> args = {"--simulate"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        EXPECT_EQ(rig.run(args), row.exit) << row.name << ": " << rig.err.str();
        if (*row.says == '\0') {
            EXPECT_EQ(rig.err.str(), "") << row.name;
        } else {
            EXPECT_NE(rig.err.str().find(row.says), std::string::npos) << row.name << ": " << rig.err.str();
        }
        const std::string file = text(rig.files.files.at("day.txt"));
        if (row.fileRecords < 0) {
            EXPECT_EQ(file, "old") << row.name;
        } else {
            EXPECT_TRUE(file.starts_with(std::to_string(row.fileRecords) + " RECORDS\r\n")) << row.name;
            EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), row.fileRecords + 3) << row.name;
        }
        if (row.asked340) {
            // All records: the download, then the instrument's newest records after its silence.
            const bool all = row.args[1] == "all";
            const auto& log = rig.instrument.commandLog;
            ASSERT_GE(log.size(), 2u) << row.name;
            EXPECT_EQ(log[log.size() - (all ? 2 : 1)], row.asked340) << row.name;
            EXPECT_EQ(log.back() == "CMD340 16", all) << row.name;
        } else {
            EXPECT_EQ(rig.instrument.commandCounts[340], 0) << row.name;
        }
    }
}

TEST(CliRecords, EraseWithYesFollowsTheProgressToTheEnd) {
    CliRig rig;
    ASSERT_EQ(rig.run({"--simulate", "--yes", "erase-records"}), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(), "ERASING ALL RECORDED DATA IN 41700...\nALL RECORDS ERASED.\n");
    EXPECT_EQ(rig.instrument.state.records.logged, 0u);
    rig.instrument.faults.perCommand[345] = sim::Fault::silent();
    EXPECT_EQ(rig.run({"--simulate", "--yes", "erase-records"}), kExitFailed);
    EXPECT_NE(rig.out.str().find("ERASE RECORDS FAILED. TIMEOUT ERROR."), std::string::npos);
}

}  // namespace
}  // namespace vrn::cli::test
