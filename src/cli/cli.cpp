#include "cli/cli.h"

#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <string_view>

#include "cli/command_line.h"
#include "cli/session.h"
#include "core/link/tracing_port.h"

namespace vrn::cli {
namespace {

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
    CommandLine line;
    if (const auto status = parseCommandLine(args, env.out, env.err, line)) return *status;
    const GlobalOptions& given = line.options;
    PortChoice choice;
    if (given.port) choice = {PortChoice::Kind::Device, *given.port};
    if (given.simulate) choice = {PortChoice::Kind::Simulate, {}};
    TerminalHost::Options options;
    options.progressBar = env.errIsTerminal;
    options.quiet = given.quiet;
    options.yes = given.yes;
    const std::optional<std::string>& tracePath = given.trace;
    if (!tracePath) {
        Session session(env, choice, options);
        return line.run(session);
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
    return line.run(session);
}

}  // namespace
}  // namespace vrn::cli
