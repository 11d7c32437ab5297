#include "cli/cli.h"

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>
#include <string_view>

#include "cli/command_result.h"
#include "cli/commands.h"
#include "cli/recording_file_store.h"
#include "cli/session.h"
#include "core/link/tracing_port.h"

namespace vrn::cli {
namespace {

constexpr const char* kUsage =
    "usage: vrncomm-cli [--port DEVICE | --simulate] [--trace FILE] [--quiet] [--yes] [--json] COMMAND\n"
    "                   [ARGS]\n"
    "\n"
    "Runs VRNComm's instrument operations from a shell or a script, with the same message lines\n"
    "and files as the window. Without --port or --simulate the instrument is found by its USB\n"
    "description, as the window does; with several attached, none is opened and they are listed.\n"
    "\n"
    "options:\n"
    "  --port DEVICE   talk to this serial device (e.g. /dev/ttyUSB0, or vrncomm-sim's pty), or\n"
    "                  to the instrument with this USB serial number (serial:FT12345)\n"
    "  --simulate      talk to the built-in simulated instrument\n"
    "  --trace FILE    write every event of the link to FILE: each byte written and read with\n"
    "                  its time in microseconds, purges, pauses, read time-outs, opens, closes\n"
    "  --quiet         leave out progress and message-area lines; the answer a command\n"
    "                  exists for, warnings and errors stay\n"
    "  --yes           answer Yes to the questions the window would ask\n"
    "  --json          print one JSON document on stdout when the command ends, whatever the\n"
    "                  outcome: the command, its arguments, the port, the exit status and its\n"
    "                  meaning, the message lines, warnings, errors, the files written (path,\n"
    "                  size, SHA-256) and the command's own results; stderr keeps the warning:\n"
    "                  and error: lines, without the progress bar (schema: see the README)\n"
    "  --help          this text; COMMAND --help explains a command\n"
    "  --version       the version of vrncomm-cli\n"
    "\n"
    "exit status: 0 success, 1 the instrument did not answer, the transfer failed, or the tool\n"
    "             itself failed (out of memory), 2 bad usage, a file or value problem, or a\n"
    "             refused question,\n"
    "             3 the instrument answered and differs from the file (a diff, or a --verify\n"
    "             that found the send did not take),\n"
    "             4 fewer records arrived than asked (get-records): the complete ones were\n"
    "             written,\n"
    "             5 check found warnings only, 6 check found errors (or a send refused a\n"
    "             program with errors),\n"
    "             7 the record archive could not be opened, read or written\n"
    "\n"
    "commands:\n";

void printUsage(std::ostream& os) {
    os << kUsage;
    for (const Command& c : commands())
        os << "  " << c.synopsis << "\n      " << c.summary << '\n';
}

// One line per status, the README's table in its words.
constexpr std::array<std::string_view, kExitArchive + 1> kExitMeanings{
    "success; a diff found no difference",
    "the instrument did not answer, the port could not be opened, the transfer failed, or the tool "
    "itself failed (out of memory)",
    "bad usage, a file or value problem, or a question refused (no --yes)",
    "the instrument answered and differs from the file: a diff command, or a --verify that found the "
    "send did not take",
    "fewer records arrived than get-records asked for: the complete records that came were written, "
    "with the warning \"Only n of N records arrived.\" (get-records all ends at the instrument's "
    "silence with 0)",
    "check found warnings and no errors",
    "check found errors; send-program or send-all refused a program with errors (no --yes)",
    "the record archive could not be opened, read or written (collect, export, plot of an archive)",
};

// An error of the run itself (its command line, or a fault that escaped the command), on stderr
// and in the result.
void reportError(Environment& env, CommandResult& result, const std::string& text) {
    result.log.errors.push_back(text);
    env.err << "error: " << text << "\n";
}

// Runs the command line, filling the result; its document is wanted unless --json was not given
// or the command line asked for a help text or the version instead.
int runCommandLine(const std::vector<std::string>& args, Environment& env, CommandResult& result,
                   bool& documentWanted);

}  // namespace

std::string_view exitMeaning(int status) {
    if (status < 0 || status >= static_cast<int>(kExitMeanings.size())) return "unknown";
    return kExitMeanings[static_cast<size_t>(status)];
}

// Whatever escapes a command (memory running out, a fault of the program itself) ends the tool
// with a message and a status, never with an abort; with --json the document still follows.
int run(const std::vector<std::string>& args, Environment& env) {
    CommandResult result;
    bool documentWanted = false;
    try {
        result.exitStatus = runCommandLine(args, env, result, documentWanted);
    } catch (const std::bad_alloc&) {
        reportError(env, result, "out of memory");
        result.exitStatus = kExitFailed;
    } catch (const std::exception& e) {
        reportError(env, result, std::string("internal error: ") + e.what());
        result.exitStatus = kExitFailed;
    } catch (...) {
        reportError(env, result, "internal error");
        result.exitStatus = kExitFailed;
    }
    if (documentWanted) env.out << jsonDocument(result) << std::flush;
    return result.exitStatus;
}

namespace {

int runCommandLine(const std::vector<std::string>& args, Environment& env, CommandResult& result,
                   bool& documentWanted) {
    // Known before anything else is looked at, so that a mistake in the options has its document too.
    const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
    documentWanted = json;
    PortChoice choice;
    TerminalHost::Options options;
    // A terminal's progress bar would only garble a log that takes the document.
    options.progressBar = env.errIsTerminal && !json;
    bool portGiven = false;
    std::optional<std::string> tracePath;
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            documentWanted = false;
            printUsage(env.out);
            return kExitOk;
        }
        if (a == "--version") {
            documentWanted = false;
            env.out << "vrncomm-cli " VRN_VERSION "\n";
            return kExitOk;
        }
        if (a == "--port") {
            if (portGiven || i + 1 >= args.size()) {
                reportError(env, result, "--port needs one DEVICE, and not with --simulate");
                return kExitUsage;
            }
            choice = {PortChoice::Kind::Device, args[++i]};
            portGiven = true;
        } else if (a == "--simulate") {
            if (portGiven) {
                reportError(env, result, "--simulate does not go with --port");
                return kExitUsage;
            }
            choice = {PortChoice::Kind::Simulate, {}};
            portGiven = true;
        } else if (a == "--trace") {
            if (tracePath || i + 1 >= args.size()) {
                reportError(env, result, "--trace needs one FILE");
                return kExitUsage;
            }
            tracePath = args[++i];
        } else if (a == "--quiet" || a == "-q") {
            options.quiet = true;
        } else if (a == "--yes" || a == "-y") {
            options.yes = true;
        } else if (a == "--json") {
            continue;  // taken before the loop
        } else if (a.starts_with("-")) {
            reportError(env, result, "unknown option " + a);
            printUsage(env.err);
            return kExitUsage;
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        reportError(env, result, "no command given");
        printUsage(env.err);
        return kExitUsage;
    }
    const Command* command = findCommand(args[i]);
    if (!command) {
        reportError(env, result, "unknown command " + args[i]);
        printUsage(env.err);
        return kExitUsage;
    }
    result.command = command->name;
    // --json may also follow the command, as a script appends it to a command line it has.
    std::vector<std::string> rest;
    for (auto a = args.begin() + static_cast<std::ptrdiff_t>(i) + 1; a != args.end(); ++a)
        if (*a != "--json") rest.push_back(*a);
    result.arguments = rest;
    for (const std::string& a : rest) {
        if (a == "--help" || a == "-h") {
            documentWanted = false;
            env.out << "usage: vrncomm-cli [OPTIONS] " << command->synopsis << "\n\n" << command->help;
            return kExitOk;
        }
    }
    // With --json nothing but the document reaches stdout: the lines the command prints as it goes
    // are in the result already.
    std::ostringstream discarded;
    RecordingFileStore files(env.files, result.files);
    Environment recorded{json ? discarded : env.out,
                         env.err,
                         env.errIsTerminal,
                         env.clock,
                         files,
                         env.makePort,
                         env.listPorts,
                         env.openTrace,
                         env.diagnoseUsb};
    if (!tracePath) {
        Session session(recorded, choice, options, result);
        return command->run(session, rest);
    }
    std::string error;
    const std::unique_ptr<TraceSink> trace = env.openTrace ? env.openTrace(*tracePath, error) : nullptr;
    if (!trace) {
        reportError(env, result, "cannot write the trace " + *tracePath + ": " + error);
        return kExitUsage;
    }
    const int64_t startUs = env.clock.nowUs();
    TracingClock clock(env.clock, *trace, startUs);
    Environment traced{recorded.out, recorded.err, recorded.errIsTerminal, clock, recorded.files,
                       // The driver keeps the untraced clock: only the exchange's own pauses are events.
                       [&](const PortChoice& c, Clock&) -> std::unique_ptr<Port> {
                           auto port = env.makePort(c, env.clock);
                           if (!port) return nullptr;
                           return std::make_unique<TracingPort>(std::move(port), env.clock, *trace, startUs);
                       },
                       env.listPorts, env.openTrace, env.diagnoseUsb};
    Session session(traced, choice, options, result);
    return command->run(session, rest);
}

}  // namespace
}  // namespace vrn::cli
