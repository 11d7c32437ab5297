#include <gtest/gtest.h>

#include "cli_rig.h"
#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"

namespace vrn::cli::test {
namespace {

using sim::Fault;

std::vector<std::string> outLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    return lines;
}

// A Setup unlike the defaults in every value the file holds.
std::vector<uint8_t> distinctSetupFile() {
    setup::SetupModel m;
    m.setCom1Type(1);
    m.setCom1Baud(6);
    m.setCom2Baud(4);
    m.setKeyLock(true);
    m.setInterval(42);
    m.setFieldsPerRecord(3);
    m.setAutoScroll(true);
    m.setScrollPause(17);
    m.setScrollEnd(5);
    m.setLabel(0, "AIR TEMP");
    m.setType(1, 1);
    m.setWidth(1, 9);
    m.setPrecision(2, 6);
    m.setLabel(24, "ABCDEFGHIJKLMNOPQRSTUVWXY");
    return setup::writeSetupFile(m);
}

TEST(CliSetup, GetWritesTheFileAndPrintsTheInstrumentTime) {
    CliRig rig;
    rig.instrument.state.setup.interval = 33;
    rig.instrument.state.setup.month = 7;
    rig.instrument.state.setup.day = 4;
    rig.instrument.state.setup.year = 26;
    rig.instrument.state.setup.hour = 9;
    rig.instrument.state.setup.minute = 8;
    rig.instrument.state.setup.second = 7;
    EXPECT_EQ(rig.run({"--simulate", "get-setup", "a.set"}), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.choices.at(0).kind, PortChoice::Kind::Simulate);
    EXPECT_EQ(outLines(rig.out.str()), (std::vector<std::string>{"GET SETUP...", "FINISHED GETTING SETUP.",
                                                                 "INSTRUMENT TIME: 07-04-2026 09:08:07"}));
    EXPECT_EQ(rig.err.str(), "");
    const auto& file = rig.files.files.at("a.set");
    ASSERT_EQ(file.size(), setup::kSetupFileSize);
    EXPECT_EQ(file[12], 33);  // the execution interval
    EXPECT_EQ(rig.instrument.commandCounts[275], 1);
}

TEST(CliSetup, GetAfterSendGivesBackTheSameFile) {
    CliRig rig;
    rig.files.files["in.set"] = distinctSetupFile();
    EXPECT_EQ(rig.run({"--port", "/dev/ttyUSB3", "send-setup", "in.set", "--time", "12-31-2099 23:59:58"}),
              kExitOk)
        << rig.err.str();
    EXPECT_EQ(rig.choices.at(0).device, "/dev/ttyUSB3");
    EXPECT_EQ(outLines(rig.out.str()),
              (std::vector<std::string>{"SEND SETTINGS...", "FINISHED SENDING SETTINGS."}));
    EXPECT_EQ(rig.instrument.state.setup.year, 99);
    EXPECT_EQ(rig.instrument.state.setup.second, 58);

    EXPECT_EQ(rig.run({"get-setup", "out.set"}), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.choices.at(1).kind, PortChoice::Kind::Search);
    EXPECT_EQ(rig.files.files.at("out.set"), rig.files.files.at("in.set"));
}

TEST(CliSetup, SendWithoutTimeSetsThePcClock) {
    CliRig rig;
    rig.files.files["in.set"] = distinctSetupFile();
    const LocalDateTime now = rig.clock.localNow();
    EXPECT_EQ(rig.run({"--quiet", "send-setup", "in.set"}), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(), "");
    EXPECT_EQ(rig.instrument.state.setup.year, now.year - 2000);
    EXPECT_EQ(rig.instrument.state.setup.month, now.month);
    EXPECT_EQ(rig.instrument.state.setup.day, now.day);
    EXPECT_EQ(rig.instrument.state.setup.interval, 42);
}

TEST(CliSetup, FailuresGiveTheirExitStatusAndLeaveNoFile) {
    {
        CliRig rig;
        rig.instrument.faults.all = Fault::silent();
        EXPECT_EQ(rig.run({"get-setup", "a.set"}), kExitFailed);
        EXPECT_EQ(outLines(rig.out.str()),
                  (std::vector<std::string>{"GET SETUP...", "CANNOT GET DATE", "GET SETUP FAILED."}));
        EXPECT_NE(rig.err.str().find("warning: Cannot communicate with 41700."), std::string::npos);
        EXPECT_FALSE(rig.files.files.contains("a.set"));
    }
    {
        CliRig rig;
        rig.instrumentPresent = false;
        EXPECT_EQ(rig.run({"get-setup", "a.set"}), kExitFailed);
        EXPECT_EQ(rig.err.str(),
                  "warning: Cannot open VARNO 41700 USB port.\nerror: get-setup: Cannot open VARNO 41700 USB "
                  "port.\n");
        EXPECT_FALSE(rig.files.files.contains("a.set"));
    }
    {
        CliRig rig;
        rig.files.unwritablePrefix = "full.set";
        rig.files.writeError = "No space left on device";
        EXPECT_EQ(rig.run({"get-setup", "full.set"}), kExitUsage);
        EXPECT_NE(rig.err.str().find("error: cannot write full.set: No space left on device"),
                  std::string::npos);
    }
    {
        CliRig rig;
        rig.files.files["in.set"] = distinctSetupFile();
        rig.instrument.faults.perCommand[250] = Fault::silent();
        EXPECT_EQ(rig.run({"send-setup", "in.set", "--time", "01-02-2026 03:04:05"}), kExitFailed);
        EXPECT_EQ(outLines(rig.out.str()).back(), "SEND SETTINGS FAILED.");
    }
}

TEST(CliSetup, SendRefusesWhatCannotBeSentAndSendsNothing) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::vector<uint8_t> file;
        const char* says;
    } rows[] = {
        {"month 13",
         {"send-setup", "in.set", "--time", "13-01-2026 00:00:00"},
         distinctSetupFile(),
         "error: "},
        {"year 1999",
         {"send-setup", "in.set", "--time", "12-31-1999 00:00:00"},
         distinctSetupFile(),
         "error: "},
        {"February 30",
         {"send-setup", "in.set", "--time", "02-30-2026 00:00:00"},
         distinctSetupFile(),
         "error: "},
        {"hour 24",
         {"send-setup", "in.set", "--time", "01-01-2026 24:00:00"},
         distinctSetupFile(),
         "error: "},
        {"no time part", {"send-setup", "in.set", "--time", "01-01-2026"}, distinctSetupFile(), "error: "},
        {"missing file", {"send-setup", "none.set"}, {}, "error: cannot read none.set"},
        {"short file", {"send-setup", "in.set"}, std::vector<uint8_t>(981), "is not a setup file: 981 bytes"},
        {"long file", {"send-setup", "in.set"}, std::vector<uint8_t>(991), "is not a setup file: 991 bytes"},
        {"two files",
         {"send-setup", "in.set", "b.set"},
         distinctSetupFile(),
         "error: send-setup: unexpected argument b.set"},
        {"no file", {"send-setup"}, {}, "error: send-setup: FILE.set is missing"},
        {"get without file", {"get-setup"}, {}, "error: get-setup: FILE.set is missing"},
    };
    for (const Row& r : rows) {
        CliRig rig;
        if (!r.file.empty()) rig.files.files["in.set"] = r.file;
        EXPECT_EQ(rig.run(r.args), kExitUsage) << r.name;
        EXPECT_NE(rig.err.str().find(r.says), std::string::npos) << r.name << ": " << rig.err.str();
        EXPECT_TRUE(rig.instrument.commandLog.empty()) << r.name;
        EXPECT_TRUE(rig.choices.empty()) << r.name << ": the port was opened";
    }
}

TEST(CliSetup, OutOfRangeValuesAreNamedAndSentOnlyWithYes) {
    std::vector<uint8_t> file = distinctSetupFile();
    const auto put = [&file](size_t at, int32_t v) {
        for (size_t i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    };
    put(0, 77);       // COM2 baud code
    put(12, 100000);  // interval
    put(16, 99);      // fields per record
    const std::string warnings =
        "warning: in.set: COM2 BAUD 77 is out of range: taken as 230.4K\n"
        "warning: in.set: INTERVAL 100000 is out of range: taken as 99\n"
        "warning: in.set: FIELDS PER RECORD 99 is out of range: taken as 25\n";
    {
        CliRig rig;
        rig.files.files["in.set"] = file;
        EXPECT_EQ(rig.run({"send-setup", "in.set"}), kExitUsage);
        EXPECT_TRUE(rig.err.str().starts_with(warnings)) << rig.err.str();
        EXPECT_NE(rig.err.str().find("Refused"), std::string::npos) << rig.err.str();
        EXPECT_TRUE(rig.instrument.commandLog.empty());
    }
    {
        CliRig rig;
        rig.files.files["in.set"] = file;
        EXPECT_EQ(rig.run({"--yes", "send-setup", "in.set"}), kExitOk) << rig.err.str();
        EXPECT_TRUE(rig.err.str().starts_with(warnings)) << rig.err.str();
        EXPECT_FALSE(rig.instrument.commandLog.empty());
    }
}

}  // namespace
}  // namespace vrn::cli::test
