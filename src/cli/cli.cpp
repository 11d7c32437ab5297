#include "cli/cli.h"

#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <string_view>

#include "cli/commands.h"
#include "cli/session.h"
#include "core/link/tracing_port.h"

namespace vrn::cli {
namespace {

constexpr const char* kUsage =
    "usage: vrncomm-cli [--port DEVICE | --simulate] [--trace FILE] [--quiet] [--yes] COMMAND [ARGS]\n"
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

int runCommandLine(const std::vector<std::string>& args, Environment& env);

}  // namespace

// Whatever escapes a command (memory running out, a fault of the program itself) ends the tool
// with a message and a status, never with an abort.
int run(const std::vector<std::string>& args, Environment& env) {
    try {
        return runCommandLine(args, env);
    } catch (const std::bad_alloc&) {
        env.err << "error: out of memory\n";
    } catch (const std::exception& e) {
        env.err << "error: internal error: " << e.what() << "\n";
    } catch (...) {
        env.err << "error: internal error\n";
    }
    return kExitFailed;
}

namespace {

int runCommandLine(const std::vector<std::string>& args, Environment& env) {
    PortChoice choice;
    TerminalHost::Options options;
    options.progressBar = env.errIsTerminal;
    bool portGiven = false;
    std::optional<std::string> tracePath;
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            printUsage(env.out);
            return kExitOk;
        }
        if (a == "--version") {
            env.out << "vrncomm-cli " VRN_VERSION "\n";
            return kExitOk;
        }
        if (a == "--port") {
            if (portGiven || i + 1 >= args.size()) {
                env.err << "error: --port needs one DEVICE, and not with --simulate\n";
                return kExitUsage;
            }
            choice = {PortChoice::Kind::Device, args[++i]};
            portGiven = true;
        } else if (a == "--simulate") {
            if (portGiven) {
                env.err << "error: --simulate does not go with --port\n";
                return kExitUsage;
            }
            choice = {PortChoice::Kind::Simulate, {}};
            portGiven = true;
        } else if (a == "--trace") {
            if (tracePath || i + 1 >= args.size()) {
                env.err << "error: --trace needs one FILE\n";
                return kExitUsage;
            }
            tracePath = args[++i];
        } else if (a == "--quiet" || a == "-q") {
            options.quiet = true;
        } else if (a == "--yes" || a == "-y") {
            options.yes = true;
        } else if (a.starts_with("-")) {
            env.err << "error: unknown option " << a << "\n";
            printUsage(env.err);
            return kExitUsage;
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        env.err << "error: no command given\n";
        printUsage(env.err);
        return kExitUsage;
    }
    const Command* command = findCommand(args[i]);
    if (!command) {
        env.err << "error: unknown command " << args[i] << "\n";
        printUsage(env.err);
        return kExitUsage;
    }
    std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    for (const std::string& a : rest) {
        if (a == "--help" || a == "-h") {
            env.out << "usage: vrncomm-cli [OPTIONS] " << command->synopsis << "\n\n" << command->help;
            return kExitOk;
        }
    }
    if (!tracePath) {
        Session session(env, choice, options);
        return command->run(session, rest);
    }
    std::string error;
    const std::unique_ptr<TraceSink> trace = env.openTrace ? env.openTrace(*tracePath, error) : nullptr;
    if (!trace) {
        env.err << "error: cannot write the trace " << *tracePath << ": " << error << "\n";
        return kExitUsage;
    }
    const int64_t startUs = env.clock.nowUs();
    TracingClock clock(env.clock, *trace, startUs);
    Environment traced{env.out, env.err, env.errIsTerminal, clock, env.files,
                       // The driver keeps the untraced clock: only the exchange's own pauses are events.
                       [&](const PortChoice& c, Clock&) -> std::unique_ptr<Port> {
                           auto port = env.makePort(c, env.clock);
                           if (!port) return nullptr;
                           return std::make_unique<TracingPort>(std::move(port), env.clock, *trace, startUs);
                       },
                       env.listPorts, env.openTrace, env.diagnoseUsb};
    Session session(traced, choice, options);
    return command->run(session, rest);
}

}  // namespace
}  // namespace vrn::cli
