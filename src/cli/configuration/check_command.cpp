#include "cli/configuration/check_command.h"

#include <QJsonArray>
#include <QJsonObject>
#include <ostream>

#include "cli/cli.h"
#include "cli/command_definition.h"
#include "cli/configuration/program_commands.h"
#include "cli/configuration/setup_commands.h"
#include "cli/session.h"
#include "core/check/check_actions.h"
#include "core/check/program_check.h"
#include "core/io/file_store.h"
#include "core/program/program_model.h"
#include "core/setup/setup_model.h"
#include "core/workspace/group_file.h"

namespace vrn::cli {
namespace {

constexpr CommandText kCheck{
    "check", "check a user program before it is sent (offline)",
    "Checks a program file's user program against the instrument's rules and prints one line\n"
    "per finding: its position, instruction, parameter, \"error\" or \"warning\" and what\n"
    "is wrong, e.g. \"012 AVERAGE sloc=: warning: location 17 is never written\". An error\n"
    "is something the instrument cannot run as written (an IF without END IF, text past the\n"
    "40th column, a choice outside its list); a warning runs, but likely not as meant (a\n"
    "location read that nothing writes). With --setup, or for a group with its own Setup,\n"
    "the values one pass records are checked against the record format's fields.\n"
    "Exit status: 0 no findings, 5 warnings only, 6 errors, 2 a file that cannot be read.\n"
    "Needs no instrument.\n"
    "\n"
    "example, a review that fails on errors but lets warnings pass:\n"
    "  vrncomm-cli check station-12/st12.ssp; test $? -lt 6\n"};

struct CheckArgs {
    std::string file;
    std::optional<std::string> setup;
};

bool isGroup(Session& s, const std::string& path) {
    std::string error;
    const auto mark = s.env.files.readFile(path, workspace::groupMarkBytes().size(), error);
    return mark && workspace::isGroupFile(*mark);
}

void printReport(Session& s, const CheckReport& report) {
    for (const check::Finding& f : report.result.findings)
        s.env.out << check::findingLine(f) << '\n';
}

QJsonObject reportData(const CheckReport& report) {
    QJsonArray findings;
    for (const check::Finding& f : report.result.findings)
        findings.append(QJsonObject{
            {"position", static_cast<qint64>(f.position())},
            {"instruction", QString::fromStdString(f.instructionName)},
            {"parameter", f.parameter ? QJsonValue(QString::fromStdString(f.parameterName)) : QJsonValue()},
            {"severity", f.severity == check::Severity::Error ? "error" : "warning"},
            {"text", QString::fromStdString(f.message)}});
    const size_t errors = report.result.errors();
    return {{"program", QString::fromStdString(report.program)},
            {"setup", report.setup ? QJsonValue(QString::fromStdString(*report.setup)) : QJsonValue()},
            {"errors", static_cast<qint64>(errors)},
            {"warnings", static_cast<qint64>(report.result.findings.size() - errors)},
            {"findings", findings}};
}

int runCheck(Session& s, const CheckArgs& args) {
    CheckReport report;
    report.program = args.file;
    report.setup = args.setup;
    if (isGroup(s, args.file)) {
        if (args.setup) {
            s.host.error("a group is checked with its own Setup; --setup goes with a FILE.pgm");
            return kExitUsage;
        }
        const workspace::GroupMembers members = workspace::groupMembers(args.file);
        report.program = members.program;
        report.setup = members.setup;
    }
    ProgramModel program;
    if (!loadProgram(s, report.program, program)) return kExitUsage;
    std::optional<setup::SetupModel> setup;
    if (report.setup) {
        setup.emplace();
        if (!loadSetupFile(s, *report.setup, *setup)) return kExitUsage;
    }
    report.result = check::checkProgram(program.store, setup ? &*setup : nullptr);
    printReport(s, report);
    s.result.data = reportData(report);
    return checkStatus(report.result);
}

}  // namespace

int checkStatus(const check::CheckResult& result) {
    if (result.errors() > 0) return kExitCheckErrors;
    return result.findings.empty() ? kExitOk : kExitCheckWarnings;
}

std::optional<int> refuseProgramWithErrors(Session& s, const ProgramStore& store,
                                           const setup::SetupModel* setup) {
    if (check::confirmSendDespiteErrors(s.host, store, setup)) return std::nullopt;
    return kExitCheckErrors;
}

void addCheckCommand(CLI::App& app, CommandRunner& chosen) {
    CLI::App& check = addCommand(app, kCheck);
    CheckArgs& checked = runs(check, chosen, runCheck);
    positional(check, "FILE.pgm|GROUP.ssp", checked.file);
    check.add_option("--setup", checked.setup)->type_name("FILE.set");
}

}  // namespace vrn::cli
