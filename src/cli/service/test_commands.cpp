#include <optional>

#include "cli/command_definition.h"
#include "cli/outcome_exit.h"
#include "cli/result_outcomes.h"
#include "cli/session.h"
#include "cli/value_checks.h"
#include "core/service/diagnostics.h"

namespace vrn::cli {
namespace {

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

struct TestArgs {
    std::string what;   // input, output, switch, ram, pgm, rom, display
    std::string kind;   // input: se, diff, wd, lowfreq, ttl
    int channel = 0;    // input, output, switch
    std::string level;  // output: 0mV ... 20mA; switch: on or off
};

struct PullDownArgs {
    int channel = 0;
    std::string state;  // on or off
};

// A reading's box: none when the test was turned down before anything was sent.
int printResult(Session& s, LogMark mark, const Result<std::string>& result) {
    if (!result.hasValue()) return exitStatusOf(toldBy(result, reasonSince(s.result.log, mark)), s.result);
    s.host.result(result.value());
    s.result.data["reading"] = QString::fromStdString(result.value());
    return exitStatusOf(result, s.result);
}

int diagnosticStatus(Session& s, LogMark mark, const Outcome& done) {
    return exitStatusOf(toldBy(done, reasonSince(s.result.log, mark)), s.result);
}

int runTest(Session& s, const TestArgs& a) {
    if (a.what == "input") {
        const auto kinds = service::inputKinds();
        size_t k = 0;
        while (k + 1 < kinds.size() && a.kind != kinds[k].cliName)
            ++k;
        // The channel box's range for the kind; Switch/TTL takes any channel of the box.
        if (kinds[k].setsRange && (a.channel > kinds[k].maxChannel || (a.channel - 1) % kinds[k].step != 0)) {
            s.host.error("test: channel " + std::to_string(a.channel) + " is not a " + kinds[k].item +
                         " channel");
            return kExitUsage;
        }
        if (!s.openLink()) return kExitFailed;
        const LogMark mark = markOf(s.result.log);
        return printResult(s, mark, service::testInput(*s.exchange, k, a.channel));
    }
    if (a.what == "output") {
        const auto levels = service::outputLevels();
        size_t l = 0;
        while (l + 1 < levels.size() &&
               a.level != std::to_string(levels[l].value) + (levels[l].milliamperes ? "mA" : "mV"))
            ++l;
        if (!s.openLink()) return kExitFailed;
        const LogMark mark = markOf(s.result.log);
        return diagnosticStatus(s, mark, service::testOutput(*s.exchange, a.channel, l));
    }
    if (!s.openLink()) return kExitFailed;
    const LogMark mark = markOf(s.result.log);
    if (a.what == "switch")
        return diagnosticStatus(s, mark, service::testSwitch(*s.exchange, a.channel, a.level == "on"));
    if (a.what == "ram") return printResult(s, mark, service::testRam(*s.exchange));
    if (a.what == "pgm") return printResult(s, mark, service::testPgm(*s.exchange));
    if (a.what == "rom") return printResult(s, mark, service::testRom(*s.exchange));
    return diagnosticStatus(s, mark, service::testDisplay(*s.exchange));
}

int runPullDown(Session& s, const PullDownArgs& a) {
    if (!s.openLink()) return kExitFailed;
    service::setPullDown(*s.exchange, a.channel, a.state == "on");
    return kExitOk;
}

int runResetAll(Session& s) {
    if (!s.openLink()) return kExitFailed;
    service::resetAllOutputs(*s.exchange);
    return kExitOk;
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

void addTestCommands(CLI::App& app, CommandRunner& chosen) {
    CLI::App& test = addCommand(app, kTest);
    addTestChoices(test, runs(test, chosen, runTest));

    CLI::App& pullDown = addCommand(app, kPulldown);
    PullDownArgs& pulled = runs(pullDown, chosen, runPullDown);
    pullDown.add_option("CHAN", pulled.channel)->required()->check(wholeNumber(1, 4));
    positional(pullDown, "STATE", pulled.state).option_text("on|off")->check(oneOf({"on", "off"}));

    runs(addCommand(app, kResetAll), chosen, runResetAll);
}

}  // namespace vrn::cli
