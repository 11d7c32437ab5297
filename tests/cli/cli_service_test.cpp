#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "cli_rig.h"

namespace vrn::cli::test {
namespace {

using sim::Fault;

std::vector<uint8_t> demoFirmware() {
    std::ifstream in(std::string(VRN_FIRMWARE_DIR).append("/demo.glo"), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(CliService, CommandsArgumentsAndExitCodes) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int exit;
        std::string out;               // stdout holds this
        std::string err;               // stderr holds this
        std::vector<std::string> log;  // the instrument received exactly these commands
        std::function<void(CliRig&)> before = nullptr;
    };
    const std::string pw = "--password-file";
    const Row rows[] = {
        {"cal-data", {"cal-data"}, kExitOk, "Ch\tSe0\tDiff0", "", {"CMD805"}},
        {"cal-data silent",
         {"cal-data"},
         kExitFailed,
         "",
         "no calibration data",
         {"CMD805"},
         [](CliRig& r) { r.instrument.faults.perCommand[805] = Fault::silent(); }},
        {"full scale with reference",
         {"--yes", "calibrate", "se-fs", "--ref", "0123.40", pw, "pw"},
         kExitOk,
         "SE FULL SCALE CAL FINISHED.",
         "",
         {"CMD815 123.400002"}},
        {"question refused without --yes", {"calibrate", "se-zero", pw, "pw"}, kExitUsage, "", "Refused", {}},
        {"output step asks nothing",
         {"calibrate", "vout", pw, "pw"},
         kExitOk,
         "VOUT CAL FINISHED.",
         "",
         {"CMD840"}},
        {"wrong password",
         {"--yes", "calibrate", "se-zero", pw, "bad"},
         kExitUsage,
         "",
         "Incorrect Password",
         {}},
        {"no answer to a step",
         {"--yes", "calibrate", "iout", pw, "pw"},
         kExitFailed,
         "NO RESPONSE FROM 41700 FOR IOUT CAL.",
         "",
         {"CMD845"},
         [](CliRig& r) { r.instrument.faults.perCommand[845] = Fault::silent(); }},
        {"reference on a zero step",
         {"calibrate", "wd-zero", "--ref", "1.00", pw, "pw"},
         kExitUsage,
         "",
         "--ref",
         {}},
        {"reference out of shape",
         {"calibrate", "se-fs", "--ref", "12345", pw, "pw"},
         kExitUsage,
         "",
         "--ref",
         {}},
        {"check", {"cal-check", "wd", pw, "pw"}, kExitOk, "WD 04", "", {"CMD954"}},
        {"DIFF takes odd channels", {"test", "input", "diff", "4"}, kExitUsage, "", "not a DIFF", {}},
        {"DIFF channel 3", {"test", "input", "diff", "3"}, kExitOk, "437.750", "", {"CMD926 03"}},
        {"SE has 16 channels",
         {"test", "input", "se", "17"},
         kExitUsage,
         "",
         "CHAN takes a whole number from 1 to 16, not: 17",
         {}},
        {"LOWFREQ has 4",
         {"test", "input", "lowfreq", "5"},
         kExitUsage,
         "",
         "not a Low-Level Freq Input channel",
         {}},
        {"RAM", {"test", "ram"}, kExitOk, "RAM OK\n", "", {"CMD910"}},
        {"RAM silent",
         {"test", "ram"},
         kExitFailed,
         "No Response\n",
         "",
         {"CMD910"},
         [](CliRig& r) { r.instrument.faults.perCommand[910] = Fault::silent(); }},
        {"output level", {"test", "output", "2", "12mA"}, kExitOk, "", "", {"CMD950 2 12"}},
        {"output channel 5",
         {"test", "output", "5", "0mV"},
         kExitUsage,
         "",
         "CHAN takes a whole number from 1 to 4, not: 5",
         {}},
        {"output level", {"test", "output", "1", "3mA"}, kExitUsage, "", "LEVEL takes 0mV, 1000mV", {}},
        {"no test named",
         {"test"},
         kExitUsage,
         "",
         "test needs input, output, switch, ram, pgm, rom or display",
         {}},
        {"switch", {"test", "switch", "3", "on"}, kExitOk, "", "", {"CMD920 3 1"}},
        {"pull-down off", {"pulldown", "4", "off"}, kExitOk, "", "", {"CMD850 -4"}},
        {"reset all",
         {"reset-all"},
         kExitOk,
         "",
         "",
         {"CMD945 1 0", "CMD945 2 0", "CMD945 3 0", "CMD945 4 0"}},
        {"firmware without --yes", {"firmware", "fw.glo"}, kExitUsage, "", "--yes", {}},
        {"firmware", {"--yes", "firmware", "fw.glo"}, kExitOk, "FINISHED FIRMWARE UPDATE.", "", {"CMD980"}},
        {"firmware file missing", {"--yes", "firmware", "none.glo"}, kExitUsage, "", "Cannot open file.", {}},
        // --quiet drops the chatter, never the answer the command exists for.
        {"quiet RAM", {"--quiet", "test", "ram"}, kExitOk, "RAM OK\n", "", {"CMD910"}},
        {"quiet input", {"--quiet", "test", "input", "diff", "3"}, kExitOk, "437.750", "", {"CMD926 03"}},
        {"quiet cal-data", {"--quiet", "cal-data"}, kExitOk, "Ch\tSe0\tDiff0", "", {"CMD805"}},
        {"quiet check", {"--quiet", "cal-check", "wd", pw, "pw"}, kExitOk, "WD 04", "", {"CMD954"}},
    };
    for (const Row& r : rows) {
        CliRig rig;
        rig.files.files["pw"] = {'k', 'v', 't', '4', '1', '9', '3', '8', '\n'};
        rig.files.files["bad"] = {'K', 'V', 'T', '4', '1', '9', '3', '8', '\n'};
        rig.files.files["fw.glo"] = demoFirmware();
        if (r.before) r.before(rig);
        std::vector<std::string> args{"--simulate"};
        args.insert(args.end(), r.args.begin(), r.args.end());
        EXPECT_EQ(rig.run(args), r.exit) << r.name << "\n" << rig.err.str();
        EXPECT_NE(rig.out.str().find(r.out), std::string::npos) << r.name << ": " << rig.out.str();
        EXPECT_NE(rig.err.str().find(r.err), std::string::npos) << r.name << ": " << rig.err.str();
        EXPECT_EQ(rig.instrument.commandLog, r.log) << r.name;
    }
}

TEST(CliService, EveryServiceCommandExplainsItselfWithAnExample) {
    for (const char* command :
         {"cal-data", "calibrate", "cal-check", "test", "pulldown", "reset-all", "firmware"}) {
        CliRig rig;
        EXPECT_EQ(rig.run({command, "--help"}), kExitOk) << command;
        EXPECT_NE(rig.out.str().find("example"), std::string::npos) << command;
        EXPECT_NE(rig.out.str().find(std::string("vrncomm-cli ")), std::string::npos) << command;
    }
}

}  // namespace
}  // namespace vrn::cli::test
