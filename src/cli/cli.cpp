#include "cli/cli.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>
#include <string_view>

#include "cli/command_line.h"
#include "cli/command_result.h"
#include "cli/recording_file_store.h"
#include "cli/session.h"
#include "cli/stop_signal.h"
#include "core/link/tracing_port.h"

namespace vrn::cli {
namespace {

// An error of the run itself (a fault that escaped the command, a trace that cannot be written),
// on stderr and in the result.
void reportError(Environment& env, CommandResult& result, const std::string& text) {
    result.log.errors.push_back(text);
    env.err << "error: " << text << "\n";
}

// Runs the command line, filling the result; its document is wanted unless --json was not given
// or the command line asked for a help text or the version instead.
int runCommandLine(const std::vector<std::string>& args, Environment& env, CommandResult& result,
                   bool& documentWanted);

}  // namespace

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
    // A stop signal ended the run: its status says which, its outcome that it was aborted.
    if (const int signal = stopSignal(); signal != 0) {
        result.exitStatus = 128 + signal;
        const std::string why = result.failure ? result.failure->reason : std::string();
        result.failure = FailedOutcome{"aborted", why.empty() ? "stopped by a signal" : why};
    }
    // A failure says so on stderr, whatever --quiet kept out: a run that printed no error of its
    // own gets one from its outcome, or from its exit status's meaning. Differences, a check's
    // findings and the doctor's lines are the answer itself, on stdout.
    const bool answered = result.exitStatus == kExitDiffers || result.exitStatus == kExitCheckWarnings ||
                          result.exitStatus == kExitCheckErrors || result.command == "doctor";
    if (result.exitStatus != kExitOk && !answered && result.log.errors.empty()) {
        const std::string why = result.failure && !result.failure->reason.empty()
                                    ? result.failure->reason
                                    : std::string(exitMeaning(result.exitStatus));
        reportError(env, result, result.command ? *result.command + ": " + why : why);
    }
    if (documentWanted) env.out << jsonDocument(result) << std::flush;
    return result.exitStatus;
}

namespace {

int runCommandLine(const std::vector<std::string>& args, Environment& env, CommandResult& result,
                   bool& documentWanted) {
    // Known before the parse, so that a mistake in the command line has its document too.
    documentWanted = std::find(args.begin(), args.end(), "--json") != args.end();
    CommandLine line;
    const std::optional<int> parsed = parseCommandLine(args, env.out, env.err, line);
    if (!line.command.empty()) result.command = line.command;
    result.arguments = line.arguments;
    if (parsed) {
        if (*parsed == kExitOk) documentWanted = false;  // a help text or the version was asked for
        if (!line.mistake.empty()) result.log.errors.push_back(line.mistake);
        return *parsed;
    }
    const GlobalOptions& given = line.options;
    PortChoice choice;
    if (given.port) choice = {PortChoice::Kind::Device, *given.port};
    if (given.simulate) choice = {PortChoice::Kind::Simulate, {}};
    TerminalHost::Options options;
    // A terminal's progress bar would only garble a log that takes the document.
    options.progressBar = env.errIsTerminal && !given.json;
    options.quiet = given.quiet;
    options.yes = given.yes;
    // With --json nothing but the document reaches stdout: the lines the command prints as it goes
    // are in the result already.
    std::ostringstream discarded;
    // Only the document lists the files written: plain text runs spend no digest on them.
    RecordingFileStore recording(env.files, result.files);
    FileStore& files = given.json ? static_cast<FileStore&>(recording) : env.files;
    Environment recorded{given.json ? discarded : env.out,
                         env.err,
                         env.errIsTerminal,
                         env.clock,
                         files,
                         env.makePort,
                         env.listPorts,
                         env.openTrace,
                         env.diagnoseUsb};
    const std::optional<std::string>& tracePath = given.trace;
    if (!tracePath) {
        Session session(recorded, choice, options, result);
        session.documentOnStdout = given.json;
        return line.run(session);
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
    session.documentOnStdout = given.json;
    return line.run(session);
}

}  // namespace
}  // namespace vrn::cli
