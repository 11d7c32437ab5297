#include "sim/sim_options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

#include "sim/option_table.h"
#include "sim/program_options.h"

namespace vrn::sim {
namespace {

constexpr const char* kDescription =
    "Serves a simulated 41700 on a pseudo-terminal and prints the terminal's path.\n"
    "Runs until interrupted (SIGINT or SIGTERM).";

// A day: longer than any test waits, and its microseconds stay far inside the clock's range.
constexpr int64_t kLongestStallMs = int64_t{24} * 3600 * 1000;
// A year of records a minute apart in half a minute.
constexpr int64_t kFastestClock = 1000000;

template <typename T>
bool number(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// "N:REST": a command number (0..999) and what follows the first colon.
bool commandAndRest(const std::string& text, int& command, std::string& rest) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    rest = text.substr(colon + 1);
    return number(text.substr(0, colon), command) && command >= 0 && command <= 999;
}

// --link, --state and --trace: a path that may not be empty; what is its kind in the error line.
std::string takePath(const std::string& name, const std::string& value, const char* what, std::string& into) {
    if (value.empty()) return name + " needs " + what;
    into = value;
    return {};
}

std::string takeLink(OptionsRead& r, const std::string& name, const std::string& value) {
    return takePath(name, value, "a path", r.options.link);
}

std::string takeState(OptionsRead& r, const std::string& name, const std::string& value) {
    return takePath(name, value, "a folder", r.options.state);
}

std::string takeTrace(OptionsRead& r, const std::string& name, const std::string& value) {
    return takePath(name, value, "a file", r.options.trace);
}

std::string takeSpeed(OptionsRead& r, const std::string& name, const std::string& value) {
    int64_t& speed = r.options.speed;
    if (!number(value, speed) || speed < 1 || speed > kFastestClock)
        return name + " needs a whole number from 1 to 1000000, not: " + value;
    return {};
}

std::string takeSendsOldest(OptionsRead& r, const std::string&, const std::string&) {
    r.options.sendsOldest = true;
    return {};
}

// --power-cut-after and --power-cut-for: one half each of the cut.
std::string takePowerCut(OptionsRead& r, const std::string& name, const std::string& value) {
    int64_t seconds = 0;
    if (!number(value, seconds) || seconds < 0 || seconds > kLongestStallMs / 1000)
        return name + " needs whole seconds (up to a day), not: " + value;
    std::optional<PowerCut>& cut = r.options.faults.powerCut;
    if (!cut) cut = PowerCut{-1, -1};
    (name == "--power-cut-after" ? cut->atUs : cut->forUs) = seconds * 1000000;
    return {};
}

std::string takeSilent(OptionsRead& r, const std::string&, const std::string&) {
    r.lastFault = &r.options.faults.all.emplace(Fault::silent());
    return {};
}

std::string takeSilentCommand(OptionsRead& r, const std::string& name, const std::string& value) {
    int command = 0;
    if (!number(value, command) || command < 0 || command > 999)
        return name + " needs a command number, not: " + value;
    r.lastFault = &(r.options.faults.perCommand[command] = Fault::silent());
    return {};
}

std::string takeShortCommand(OptionsRead& r, const std::string& name, const std::string& value) {
    int command = 0;
    std::string rest;
    size_t by = 0;
    if (!commandAndRest(value, command, rest) || !number(rest, by) || by == 0)
        return name + " needs N:BYTES, not: " + value;
    r.lastFault = &(r.options.faults.perCommand[command] = Fault::cutShort(by));
    return {};
}

// --reply-cmd and --stray-cmd: a command's reply replaced, or preceded, by a text.
std::string takeReplyText(OptionsRead& r, const std::string& name, const std::string& value) {
    int command = 0;
    std::string rest;
    if (!commandAndRest(value, command, rest)) return name + " needs N:TEXT, not: " + value;
    r.lastFault = &(r.options.faults.perCommand[command] =
                        name == "--reply-cmd" ? Fault::replace(rest) : Fault::strayFirst(rest));
    return {};
}

std::string takeTimes(OptionsRead& r, const std::string& name, const std::string& value) {
    int times = 0;
    if (r.before == nullptr || !number(value, times) || times <= 0)
        return name + " needs a count above 0 after a fault option, not: " + value;
    r.before->times = times;
    return {};
}

// --drop-after and --records-stop-after: a count of bytes.
std::string takeByteCount(OptionsRead& r, const std::string& name, const std::string& value) {
    uint64_t bytes = 0;
    if (!number(value, bytes)) return name + " needs a byte count, not: " + value;
    (name == "--drop-after" ? r.options.faults.dropAfterBytes : r.options.faults.records.stopAfterBytes) =
        bytes;
    return {};
}

std::string takeRecordsStall(OptionsRead& r, const std::string& name, const std::string& value) {
    const size_t colon = value.find(':');
    uint64_t bytes = 0;
    int64_t ms = 0;
    if (colon == std::string::npos || !number(value.substr(0, colon), bytes) ||
        !number(value.substr(colon + 1), ms) || ms < 0 || ms > kLongestStallMs)
        return name + " needs N:MS (MS up to a day), not: " + value;
    r.options.faults.records.stallAfterBytes = bytes;
    r.options.faults.records.stallUs = ms * 1000;
    return {};
}

std::string takeEraseStray(OptionsRead& r, const std::string& name, const std::string& value) {
    if (value.empty()) return name + " needs a TEXT";
    r.options.faults.records.eraseStray = value;
    return {};
}

std::string takeLoaderAcks(OptionsRead& r, const std::string& name, const std::string& value) {
    int acks = 0;
    if (!number(value, acks) || acks < 0) return name + " needs a record count, not: " + value;
    r.options.faults.loaderAcks = acks;
    return {};
}

std::string takeLoaderStray(OptionsRead& r, const std::string&, const std::string& value) {
    r.options.faults.loaderStray = value;
    return {};
}

// Not a fault: a --times after it still limits the fault before it.
std::string takeHelp(OptionsRead& r, const std::string&, const std::string&) {
    r.options.help = true;
    r.lastFault = r.before;
    return {};
}

// Where the simulator runs, and how its instrument keeps time.
constexpr SimOption kRunOptions[] = {
    {"--link", "PATH",
     "also make a symbolic link to the terminal at PATH (removed at exit);\n"
     "PATH must not exist, unless a simulator that is gone left it",
     takeLink},
    {"--state", "DIR",
     "keep what is sent to the instrument in DIR, and start from what DIR\n"
     "holds: a Setup sent, the simulator restarted, a Get gives it back;\n"
     "the record memory too (records.bin), and the clock, which runs on\n"
     "while the simulator is stopped and logs the records due meanwhile",
     takeState},
    {"--trace", "FILE",
     "write every byte received and sent to FILE, with its time in\n"
     "microseconds since the start",
     takeTrace},
    {"--speed", "K",
     "the instrument's clock runs K times faster than the PC's (1 to\n"
     "1000000); the line keeps its rate. A record is logged every minute\n"
     "of that clock, the oldest overwritten once 2,162,675 values are held",
     takeSpeed},
    {"--sends-oldest", nullptr, "a record download of N sends the oldest N records, not the newest",
     takeSendsOldest},
    {"--power-cut-after", "S",
     "the power fails S seconds after the start: the terminal (and the\n"
     "--link) goes away, the clock stands, nothing is logged",
     takePowerCut},
    {"--power-cut-for", "S",
     "... and comes back S seconds later on a new terminal, its path\n"
     "printed again; both options go together",
     takePowerCut},
};

// How the instrument spoils its replies.
constexpr SimOption kReplyFaults[] = {
    {"--silent", nullptr, "never reply to any command", takeSilent},
    {"--silent-cmd", "N", "never reply to command N", takeSilentCommand},
    {"--short-cmd", "N:BYTES", "leave the last BYTES bytes off every reply to command N", takeShortCommand},
    {"--reply-cmd", "N:TEXT", "reply TEXT instead of the answer to command N", takeReplyText},
    {"--stray-cmd", "N:TEXT", "send TEXT before the answer to command N", takeReplyText},
    {"--times", "K", "the fault option just before spoils only the next K replies", takeTimes},
    {"--drop-after", "N", "send nothing more once N reply bytes went out", takeByteCount},
};

// How the record download, the erase and the firmware loader go wrong.
constexpr SimOption kTransferFaults[] = {
    {"--records-stop-after", "N", "the record download (CMD340) stops after N bytes", takeByteCount},
    {"--records-stall", "N:MS", "the record download pauses MS milliseconds after N bytes", takeRecordsStall},
    {"--erase-stray", "TEXT", "the record erase (CMD345) sends TEXT among its progress bytes",
     takeEraseStray},
    {"--loader-acks", "N", "the firmware loader acknowledges N records, then falls silent", takeLoaderAcks},
    {"--loader-stray", "TEXT", "the firmware loader sends TEXT before every acknowledgement",
     takeLoaderStray},
};

constexpr SimOption kHelp{"-h,--help", nullptr, "show this text", takeHelp};

// A refused value, or an option after an unknown word: ends the parse at the first mistake on
// the command line, as the error line names it.
class Refused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The --help text: the options' names and values in one column, their explanations from the
// 26th.
class UsageFormatter final : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
        constexpr size_t kColumn = 25;
        std::string text =
            "Usage: " + app->get_name() + " [options]\n" + app->get_description() + "\n\nOptions:\n";
        for (const CLI::Option* option : app->get_options()) {
            std::string names = "  " + option->get_name();
            if (!option->get_type_name().empty()) names += " " + option->get_type_name();
            const std::string& help = option->get_description();
            size_t at = 0;
            for (std::string lead = names;; lead.clear()) {
                const size_t end = help.find('\n', at);
                text += lead + std::string(lead.size() + 2 > kColumn ? 2 : kColumn - lead.size(), ' ') +
                        help.substr(at, end == std::string::npos ? end : end - at) + '\n';
                if (end == std::string::npos) break;
                at = end + 1;
            }
        }
        return text;
    }
};

void addOption(CLI::App& app, const SimOption& option, OptionsRead& read) {
    // The long name, which the error lines use.
    const std::string names = option.name;
    const std::string name = names.substr(names.rfind(',') + 1);
    const bool flag = option.value == nullptr;
    CLI::Option* added = app.add_option(
        names,
        [&app, &option, &read, name, flag](const CLI::results_t& given) {
            // The first mistake on the command line is the one named: an unknown word before this.
            if (!app.remaining().empty()) throw Refused("unknown option: " + app.remaining().front());
            // A flag takes no value, not even as "--flag=VALUE".
            if (flag && given.front() != "true")
                throw Refused("unknown option: " + name + "=" + given.front());
            read.before = std::exchange(read.lastFault, nullptr);
            const std::string why = option.take(read, name, flag ? std::string() : given.front());
            if (!why.empty()) throw Refused(why);
            return true;
        },
        option.help);
    // Each occurrence is taken where it stands, so that --times limits the fault just before it.
    added->trigger_on_parse();
    if (flag)
        added->expected(0);
    else
        added->type_name(option.value);
}

void define(CLI::App& app, OptionsRead& read) {
    app.formatter(std::make_shared<UsageFormatter>());
    app.description(kDescription);
    // CLI11's own help flag would end the parse at once; this one is an option like the others.
    app.set_help_flag();
    for (const auto& table :
         {std::span<const SimOption>(kRunOptions), std::span<const SimOption>(kReplyFaults), programOptions(),
          std::span<const SimOption>(kTransferFaults)})
        for (const SimOption& option : table)
            addOption(app, option, read);
    addOption(app, kHelp, read);
}

// The first mistake of the command line, in the words of the error line; empty when there is none.
std::string firstMistake(CLI::App& app, const std::vector<std::string>& args) {
    // CLI11 takes the words last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const Refused& refused) {
        return refused.what();
    } catch (const CLI::ArgumentMismatch&) {
        // The words ran out before the last option's value, unless an unknown word came first.
        if (app.remaining().empty()) return args.back().substr(0, args.back().find('=')) + " needs a value";
    } catch (const CLI::ExtrasError&) {
        // The words no option took are named below.
    } catch (const CLI::ParseError& e) {
        return e.what();
    }
    // A lone "--", which CLI11 takes as the end of the options, is one of them.
    if (!app.remaining().empty()) return "unknown option: " + app.remaining().front();
    return {};
}

}  // namespace

bool parseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
    OptionsRead read{options};
    CLI::App app("", "vrncomm-sim");
    define(app, read);
    error = firstMistake(app, args);
    if (!error.empty()) return false;
    if (options.faults.powerCut &&
        (options.faults.powerCut->atUs < 0 || options.faults.powerCut->forUs < 0)) {
        error = "--power-cut-after and --power-cut-for go together";
        return false;
    }
    return true;
}

std::string simUsage() {
    SimOptions options;
    OptionsRead read{options};
    CLI::App app("", "vrncomm-sim");
    define(app, read);
    return app.help();
}

}  // namespace vrn::sim
