#include <CLI/CLI.hpp>

#include "cli/command_definition.h"
#include "cli/service/service_commands.h"
#include "cli/value_checks.h"
#include "core/service/calibration.h"
#include "core/service/diagnostics.h"

namespace vrn::cli {
namespace {

constexpr CommandText kCalData{
    "cal-data", "print the instrument's calibration data",
    "Prints the calibration constants the instrument keeps: a header line, then the rows the\n"
    "instrument sends, as it sends them. Needs no password.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli cal-data > cal-$(date +%F).txt\n"};

constexpr CommandText kCalibrate{
    "calibrate", "run one calibration step (password; --yes answers its question)",
    "Runs one calibration step and waits up to 60 s for the instrument to finish it. STEP is\n"
    "se-zero, se-fs, diff-zero, diff-fs, wd-zero, wd-fs (the WD excitation), vout or iout.\n"
    "The full-scale steps send the reference voltage applied, --ref in millivolts (0000.00 to\n"
    "9999.99, 5000.00 when not given). The calibration password is asked on the terminal, or\n"
    "read from the one line of --password-file. The input steps replace calibration settings\n"
    "and go on only with --yes. Exit 1 when the instrument did not finish the step.\n"
    "\n"
    "example, with 2500 mV applied to the SE inputs:\n"
    "  vrncomm-cli --yes calibrate se-fs --ref 2500.00 --password-file ~/.vrn-cal\n"};

constexpr CommandText kCalCheck{
    "cal-check", "print what the instrument measures on its calibrated channels (password)",
    "Prints the instrument's readings of its calibrated channels until it ends them, or after\n"
    "60 s of silence (exit 1). CHECK is se, diff, wd, or vout-zero, vout-fs, iout-zero,\n"
    "iout-fs, which first drive all four analog outputs to that level. The password is asked\n"
    "as for calibrate.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli cal-check vout-fs --password-file ~/.vrn-cal\n"};

constexpr CommandText kTest{
    "test", "run one hardware test and print its result",
    "Runs one of the Tests page's tests and prints what its result box would show:\n"
    "  input se|diff|wd|lowfreq|ttl CHAN   reads one input (se 1..16, diff 1,3..15, wd and\n"
    "                                      lowfreq 1..4, ttl 1..16)\n"
    "  output CHAN 0mV|1000mV|2500mV|5000mV|0mA|4mA|12mA|20mA   drives one analog output\n"
    "  switch CHAN on|off                  switches a solid-state switch (1..4)\n"
    "  ram, pgm, rom                       RAM test, program and ROM signatures\n"
    "  display                             starts the display test (3 s)\n"
    "Exit 1 when the instrument gave no answer (\"No Response\").\n"
    "\n"
    "example:\n"
    "  vrncomm-cli test input diff 3\n"};

constexpr CommandText kPulldown{
    "pulldown", "switch the pull-down of input channel 1..4",
    "Switches the pull-down of one input channel (1 to 4) on or off. The instrument does not\n"
    "answer; nothing is printed.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli pulldown 4 off\n"};

constexpr CommandText kResetAll{"reset-all", "set all four analog outputs to 0 mV",
                                "Sets the four analog outputs to 0 mV, one after another (about 1.2 s).\n"
                                "\n"
                                "example:\n"
                                "  vrncomm-cli reset-all\n"};

constexpr CommandText kFirmware{
    "firmware", "replace the instrument's firmware (only with --yes)",
    "Replaces the instrument's firmware from a file of Motorola S-records. The whole file is\n"
    "checked first (S0 first, S9 at the end, every record's checksum, at most 398 characters\n"
    "a record); then the instrument is woken, its flash erased and the records sent, each after\n"
    "the instrument acknowledged the one before, within 90 s in all. This erases the\n"
    "instrument's program memory, so it runs only with --yes. Do not interrupt it.\n"
    "With --backup, the Setup, Screens and Program are first read into the group GROUP.ssp\n"
    "(as get-all does); if that fails, nothing is erased.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli --yes firmware 41700-v3.13.glo --backup before-3.13.ssp\n"};

template <class Info>
std::vector<std::string> cliNamesOf(std::span<const Info> infos) {
    std::vector<std::string> names;
    for (const Info& info : infos)
        names.push_back(info.cliName);
    return names;
}

std::vector<std::string> levelNames() {
    std::vector<std::string> names;
    for (const service::OutputLevel& level : service::outputLevels())
        names.push_back(std::to_string(level.value) + (level.milliamperes ? "mA" : "mV"));
    return names;
}

// The channel boxes take up to 16 (the input kinds' own ranges are the test's to check).
constexpr int kMaxInputChannel = 16;

void addTestChoices(CLI::App& test, TestArgs& a) {
    test.require_subcommand(1);
    const auto choice = [&test, &a](const char* name, const char* summary) -> CLI::App& {
        CLI::App& sub = *test.add_subcommand(name, summary);
        sub.callback([&a, name] { a.what = name; });
        return sub;
    };
    CLI::App& input = choice("input", "reads one input");
    positional(input, "KIND", a.kind).check(oneOf(cliNamesOf(service::inputKinds())));
    input.add_option("CHAN", a.channel)->required()->check(wholeNumber(1, kMaxInputChannel));
    CLI::App& output = choice("output", "drives one analog output");
    output.add_option("CHAN", a.channel)->required()->check(wholeNumber(1, service::kOutputChannelCount));
    positional(output, "LEVEL", a.level).check(oneOf(levelNames()));
    CLI::App& sw = choice("switch", "switches a solid-state switch");
    sw.add_option("CHAN", a.channel)->required()->check(wholeNumber(1, service::kOutputChannelCount));
    positional(sw, "STATE", a.level).option_text("on|off")->check(oneOf({"on", "off"}));
    for (const char* name : {"ram", "pgm", "rom", "display"})
        choice(name, "a test of its own");
}

}  // namespace

void addServiceCommands(CLI::App& app, CommandRunner& chosen) {
    runs(addCommand(app, kCalData), chosen, runCalData);

    CLI::App& calibrate = addCommand(app, kCalibrate);
    CalibrateArgs& cal = runs(calibrate, chosen, runCalibrate);
    positional(calibrate, "STEP", cal.step).check(oneOf(cliNamesOf(service::calSteps())));
    calibrate.add_option("--ref", cal.ref)->type_name("MV")->check(millivolts());
    calibrate.add_option("--password-file", cal.passwordFile)->type_name("FILE");

    CLI::App& calCheck = addCommand(app, kCalCheck);
    CalCheckArgs& checked = runs(calCheck, chosen, runCalCheck);
    positional(calCheck, "CHECK", checked.check).check(oneOf(cliNamesOf(service::calChecks())));
    calCheck.add_option("--password-file", checked.passwordFile)->type_name("FILE");

    CLI::App& test = addCommand(app, kTest);
    addTestChoices(test, runs(test, chosen, runTest));

    CLI::App& pullDown = addCommand(app, kPulldown);
    PullDownArgs& pulled = runs(pullDown, chosen, runPullDown);
    pullDown.add_option("CHAN", pulled.channel)->required()->check(wholeNumber(1, 4));
    positional(pullDown, "STATE", pulled.state).option_text("on|off")->check(oneOf({"on", "off"}));

    runs(addCommand(app, kResetAll), chosen, runResetAll);

    CLI::App& firmware = addCommand(app, kFirmware);
    FirmwareArgs& flashed = runs(firmware, chosen, runFirmware);
    positional(firmware, "FILE.glo", flashed.file);
    firmware.add_option("--backup", flashed.backup)->type_name("GROUP.ssp");
}

}  // namespace vrn::cli
