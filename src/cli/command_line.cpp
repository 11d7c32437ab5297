#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <map>
#include <ostream>

#include "cli/cli.h"
#include "cli/help_format.h"
#include "store/archive_name.h"

namespace vrn::cli {
namespace {

constexpr const char* kDescription =
    "Runs VRNComm's instrument operations from a shell or a script, with the same message lines\n"
    "and files as the window. Without --port or --simulate the instrument is found by its USB\n"
    "description, as the window does; with several attached, none is opened and they are listed.\n"
    "The options may stand before or after the command.";

// The statuses and their meanings, wrapped: "  3  the instrument answered ...".
std::string exitStatuses() {
    constexpr size_t kWidth = 92;
    constexpr std::string_view kIndent = "     ";
    std::string text;
    for (int status = kExitOk; status <= kExitStationUnwell; ++status) {
        std::string line = "  " + std::to_string(status) + "  ";
        std::string_view words = exitMeaning(status);
        while (!words.empty()) {
            const size_t space = words.find(' ');
            const std::string_view word = words.substr(0, space);
            if (line.size() + word.size() > kWidth && line.size() > kIndent.size()) {
                line.pop_back();
                text += line + "\n";
                line = kIndent;
            }
            line.append(word).append(" ");
            words = space == std::string_view::npos ? std::string_view{} : words.substr(space + 1);
        }
        line.pop_back();
        text += line + (status == kExitStationUnwell ? "" : "\n");
    }
    return text;
}

void addGlobalOptions(CLI::App& app, GlobalOptions& g) {
    CLI::Option* port =
        app.add_option("--port", g.port,
                       "talk to this serial device (e.g. /dev/ttyUSB0, or vrncomm-sim's pty),\n"
                       "or to the instrument with this USB serial number (serial:FT12345)")
            ->type_name("DEVICE");
    app.add_flag("--simulate", g.simulate, "talk to the built-in simulated instrument")->excludes(port);
    app.add_option("--trace", g.trace,
                   "write every event of the link to FILE: each byte written and read with\n"
                   "its time in microseconds, purges, pauses, read time-outs, opens, closes")
        ->type_name("FILE");
    app.add_flag("-q,--quiet", g.quiet,
                 "leave out progress and message-area lines; the answer a command\n"
                 "exists for, warnings and errors stay");
    app.add_flag("-y,--yes", g.yes, "answer Yes to the questions the window would ask");
    app.add_flag("--json", g.json,
                 "print one JSON document on stdout when the command ends, whatever the\n"
                 "outcome: the command, its arguments, the port, the exit status and its\n"
                 "meaning, the message lines, warnings, errors, the files written (path,\n"
                 "size, SHA-256) and the command's own results; stderr keeps the warning:\n"
                 "and error: lines, without the progress bar (schema: see the README)");
}

// A command's own words as the parser took them, in their order: its options with their values,
// its positionals, and the sub-choice ("test ram") with its own. The program's options fall
// through to the program, so none of them is among them.
void ownWords(const CLI::App& command, std::vector<std::string>& words) {
    std::map<const CLI::Option*, size_t> taken;
    for (const CLI::Option* option : command.parse_order()) {
        // One entry a value, or one a flag given.
        const bool flag = option->get_type_size_max() == 0;
        if (!option->get_positional()) words.push_back(option->get_name());
        if (flag) continue;
        const size_t k = taken[option]++;
        if (k < option->results().size()) words.push_back(option->results()[k]);
    }
    for (const CLI::App* choice : command.get_subcommands()) {
        words.push_back(choice->get_name());
        ownWords(*choice, words);
    }
}

std::vector<std::string> commandArguments(const CLI::App& command) {
    std::vector<std::string> words;
    ownWords(command, words);
    return words;
}

void define(CLI::App& app, CommandLine& line) {
    app.formatter(std::make_shared<HelpFormatter>());
    app.description(kDescription);
    app.footer(exitStatuses());
    app.set_help_flag("-h,--help", "this text; COMMAND --help explains a command");
    app.set_help_all_flag("--help-all",
                          "this text with every command's explanation, as the manual page has it");
    app.set_version_flag("--version", "vrncomm-cli " VRN_VERSION, "the version of vrncomm-cli");
    addGlobalOptions(app, line.options);
    // The program's options are taken after a command's name too, and every command is one word.
    app.fallthrough();
    app.require_subcommand(1);
    addConfigurationCommands(app, line.run);
    addRecordCommands(app, line.run);
    addServiceCommands(app, line.run);
}

// The command (or sub-choice, "test ram") the mistake was made in; the program when none.
const CLI::App& innermost(const CLI::App& app) {
    const CLI::App* c = &app;
    while (!c->get_subcommands().empty())
        c = c->get_subcommands().front();
    return *c;
}

std::string choicesOf(const CLI::App& app) {
    std::string list;
    const std::vector<const CLI::App*> subs = app.get_subcommands({});
    for (size_t k = 0; k < subs.size(); ++k)
        list += (k == 0 ? "" : k + 1 == subs.size() ? " or " : ", ") + subs[k]->get_name();
    return list;
}

// The words after CLI11's "...: " in its messages that name arguments.
std::string namedIn(const std::string& what) {
    const size_t colon = what.rfind(": ");
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

// Every mistake in one form: what was wrong, in the words the help uses.
std::string mistakeText(const CLI::ParseError& e, const CLI::App& where,
                        const std::vector<std::string>& rest) {
    const std::string what = e.what();
    const bool inCommand = where.get_parent() != nullptr;
    if (dynamic_cast<const CLI::RequiredError*>(&e) && what.find("subcommand") != std::string::npos) {
        if (!inCommand) return rest.empty() ? "no command given" : "unknown command " + rest.front();
        return rest.empty() ? "needs " + choicesOf(where)
                            : "takes " + choicesOf(where) + ", not: " + rest.front();
    }
    if (dynamic_cast<const CLI::RequiredError*>(&e) && what.ends_with(" is required")) {
        // An unknown option left over is the mistake, not the argument it kept from its place.
        for (const std::string& word : rest)
            if (word.starts_with('-')) return "unknown option " + word;
        return what.substr(0, what.size() - 12) + " is missing";
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&e)) {
        const std::string word = namedIn(what).substr(0, namedIn(what).find(' '));
        if (word.starts_with('-')) return "unknown option " + word;
        return (inCommand ? "unexpected argument " : "unknown command ") + word;
    }
    if (dynamic_cast<const CLI::ValidationError*>(&e)) {
        const size_t colon = what.find(": ");
        if (colon != std::string::npos) return what.substr(0, colon) + " " + what.substr(colon + 2);
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) {
        const std::string name = what.substr(0, what.find(':'));
        // "--port: 1 required DEVICE missing"
        const size_t type = what.find(" required ");
        if (what.ends_with(" missing") && type != std::string::npos)
            return name + " needs one " + what.substr(type + 10, what.size() - 8 - type - 10);
        return name + " is given more than once";
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&e)) {
        const size_t excludes = what.find(" excludes ");
        if (excludes != std::string::npos)
            return what.substr(0, excludes) + " does not go with " + what.substr(excludes + 10);
    }
    if (dynamic_cast<const CLI::RequiresError*>(&e)) {
        const size_t needs = what.find(" requires ");
        if (needs != std::string::npos)
            return what.substr(0, needs) + " goes with " + what.substr(needs + 10);
    }
    std::string text = what;
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

// The command line's words as they may be repeated: an archive URL without its password.
std::vector<std::string> shownArguments(std::vector<std::string> words) {
    for (std::string& word : words)
        word = store::redactedArchive(word);
    return words;
}

std::string withoutPasswords(std::string text, const std::vector<std::string>& args) {
    for (const std::string& word : args) {
        const std::string shown = store::redactedArchive(word);
        if (shown == word) continue;
        for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + shown.size()))
            text.replace(at, word.size(), shown);
    }
    return text;
}

const CLI::App* commandOf(const CLI::App& where) {
    const CLI::App* c = &where;
    if (c->get_parent() == nullptr) return nullptr;
    while (c->get_parent()->get_parent() != nullptr)
        c = c->get_parent();
    return c;
}

}  // namespace

std::optional<int> parseCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                    std::ostream& err, CommandLine& line) {
    CLI::App app("", "vrncomm-cli");
    define(app, line);
    // CLI11 takes the words last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
        line.command = app.get_subcommands().front()->get_name();
        line.arguments = shownArguments(commandArguments(*app.get_subcommands().front()));
        return std::nullopt;
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitOk;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        const CLI::App& where = innermost(app);
        const std::string text = withoutPasswords(mistakeText(e, where, app.remaining(true)), args);
        // A mistake in the program's own options is not the command's, wherever it stands.
        const bool programOption = app.get_option_no_throw(text.substr(0, text.find(' '))) != nullptr;
        const CLI::App* command = programOption ? nullptr : commandOf(where);
        // "error: test needs input, ...", "error: get-setup: FILE.set is missing"
        const bool sentence = text.starts_with("takes ") || text.starts_with("needs ");
        if (command != nullptr) {
            line.command = command->get_name();
            // The words the parser could not place stay in: the mistake is among them.
            std::vector<std::string> words = commandArguments(*command);
            for (const std::string& word : app.remaining(true))
                words.push_back(word);
            line.arguments = shownArguments(std::move(words));
        }
        line.mistake = (command ? command->get_name() + (sentence ? " " : ": ") : std::string()) + text;
        err << "error: " << line.mistake << '\n' << usageLine(app, command) << '\n';
        if (!command) err << "vrncomm-cli --help lists the commands.\n";
        return kExitUsage;
    }
}

}  // namespace vrn::cli
