#include "cli/configuration/workspace_commands.h"

#include "cli/cli.h"
#include "cli/command_definition.h"
#include "cli/configuration/check_command.h"
#include "cli/configuration/compare_commands.h"
#include "cli/configuration/screen_commands.h"
#include "cli/configuration/setup_commands.h"
#include "cli/outcome_exit.h"
#include "cli/output_target.h"
#include "cli/result_outcomes.h"
#include "cli/session.h"
#include "core/io/file_store.h"
#include "core/program/program_actions.h"
#include "core/program/program_file.h"
#include "core/program/program_transfer.h"
#include "core/screens/screen_transfer.h"
#include "core/setup/pc_time.h"
#include "core/setup/send_check.h"
#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "core/workspace/firmware_backup.h"
#include "core/workspace/group_actions.h"
#include "core/workspace/group_file.h"
#include "core/workspace/report_layout.h"
#include "core/workspace/whole_transfer.h"
#include "print/bmp_picture.h"
#include "print/report_printer.h"

namespace vrn::cli {
namespace {

constexpr CommandText kGetAll{
    "get-all", "read the Setup, Screens and Program from the instrument into a group file",
    "Reads the whole Setup, the eight screens and the user program from the instrument, in\n"
    "that order, and saves them as the window's Save Setup/Screens/Pgm does: GROUP.ssp and,\n"
    "beside it, GROUP.set, GROUP.scr, GROUP.pgm, the listing GROUP.txt and the pictures\n"
    "\"GROUP Screen 1.bmp\" to \"GROUP Screen 8.bmp\". Nothing is written unless all three\n"
    "parts arrived. GROUP.ssp, GROUP.set, GROUP.scr and GROUP.pgm replace their old files\n"
    "together, once all four are complete: when one cannot be written, none is replaced and\n"
    "the error names it and the reason. A missing folder is refused before anything is asked of\n"
    "the instrument.\n"
    "\n"
    "example, a station's whole configuration before a visit:\n"
    "  vrncomm-cli get-all station-12/st12.ssp\n"};

constexpr CommandText kSendAll{
    "send-all", "send a group's Setup, Screens and Program to the instrument",
    "Sends the Setup (with the PC's date and time), the eight screens and the user program of\n"
    "a group (GROUP.ssp with GROUP.set, GROUP.scr and GROUP.pgm beside it) to the instrument,\n"
    "one second apart, stopping at the first failure. A group with a missing or damaged\n"
    "member is refused before anything is sent, and so is a program the check finds errors\n"
    "in (with the group's Setup; exit 6, the findings on stderr) unless --yes. A setup file\n"
    "with values out of range is sent only with --yes, as send-setup does.\n"
    "With --verify all three are read back afterwards and compared as diff-all does; any\n"
    "difference is printed on stderr and the exit status is 3.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli --port /dev/ttyUSB0 send-all station-12/st12.ssp\n"};

constexpr CommandText kReport{
    "report", "print a group's report as a PDF file, offline",
    "Draws the window's printed report of a group (GROUP.ssp with GROUP.set, GROUP.scr and\n"
    "GROUP.pgm beside it) into a PDF file: the header with today's date and the group's\n"
    "name, the parameters and field table, the program listing in three columns a page, and\n"
    "the eight screens on two pages. Needs no instrument and no display.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli report station-12/st12.ssp st12-report.pdf\n"};

// The three models and the transfers over the session's link, as the window holds them.
struct Models {
    explicit Models(Host& host) : screens(host) { screens.editor.clearAll(); }
    setup::SetupModel setup;
    Screens screens;
    ProgramModel program;
    workspace::Workspace ws{setup, screens.editor, program, {}};
    bool setupAdjusted = false;  // the group's setup file held values out of range
};

std::optional<std::vector<uint8_t>> readMember(Session& s, const std::string& path, size_t maxBytes) {
    std::string error;
    auto bytes = s.env.files.readFile(path, maxBytes, error);
    if (!bytes) s.host.error("cannot read " + path + ": " + error);
    return bytes;
}

// The window loads what it can of a group; a script gets a refusal instead of sending an
// instrument a configuration that is partly someone else's.
bool loadGroup(Session& s, const std::string& path, Models& m) {
    std::string error;
    const auto mark = s.env.files.readFile(path, workspace::kGroupMark.size(), error);
    if (!mark || !workspace::isGroupFile(*mark)) {
        s.host.error(path + " is not a group file" + (mark ? std::string() : ": " + error));
        return false;
    }
    const workspace::GroupMembers members = workspace::groupMembers(path);
    const auto setupBytes = readMember(s, members.setup, setup::kSetupFileSize + 1);
    const auto screenBytes = readMember(s, members.screens, screens::kStoreBytes + 1);
    const auto programBytes = readMember(s, members.program, program::kMaxProgramFileBytes);
    if (!setupBytes || !screenBytes || !programBytes) return false;
    if (setupBytes->size() != setup::kSetupFileSize &&
        setupBytes->size() != setup::kSetupFileSizeWithoutCom1) {
        s.host.error(members.setup + " is not a setup file");
        return false;
    }
    if (screenBytes->size() != screens::kStoreBytes) {
        s.host.error(members.screens + " is not a screen file");
        return false;
    }
    if (const auto invalid = readProgramFile(*programBytes, m.program)) {
        s.host.error(members.program + ": " + *invalid);
        return false;
    }
    m.setupAdjusted = warnAdjusted(s, members.setup, setup::readSetupFile(*setupBytes, m.setup));
    m.screens.store.load(*screenBytes);
    return true;
}

// The whole get into a group: kExitOk, kExitFailed when the get failed (nothing written), or
// kExitUsage when the group's files could not be written.
int getAllInto(Session& s, const std::string& groupPath) {
    const LogMark mark = markOf(s.result.log);
    const Outcome backedUp =
        workspace::backupInstrument(*s.exchange, s.env.files, groupPath, print::bmpPicture);
    return exitStatusOf(toldBy(backedUp, reasonSince(s.result.log, mark)), s.result);
}

int runGetAll(Session& s, const Words& args) {
    if (!checkGroupTarget(s, args[0], "get-all")) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    return getAllInto(s, args[0]);
}

int runSendAll(Session& s, const SendArgs& args) {
    Models m(s.host);
    if (!loadGroup(s, args.file, m)) return kExitUsage;
    if (!m.program.store.hasPgmEnd()) {
        s.host.error(workspace::groupMembers(args.file).program +
                     " has no PGM END in its 512 instruction slots");
        return kExitUsage;
    }
    if (m.setupAdjusted && !adjustedSetupMayBeSent(s)) return kExitUsage;
    setup::showPcTime(m.setup, s.env.clock.localNow());
    // Checked before the port is opened: a value the instrument cannot hold sends nothing.
    if (const auto refusal = setup::checkSetupForSend(m.setup)) {
        s.host.error(*refusal);
        return kExitUsage;
    }
    if (const auto refused = refuseProgramWithErrors(s, m.program.store, &m.setup)) return *refused;
    if (!s.openLink()) return kExitFailed;
    setup::SetupTransfer setupTransfer(*s.exchange, m.setup);
    screens::ScreenTransfer screenTransfer(*s.exchange, m.screens.display, m.screens.editor);
    program::ProgramTransfer programTransfer(*s.exchange, m.program);
    workspace::Transfers transfers{setupTransfer, screenTransfer, programTransfer};
    if (const Outcome sent = workspace::sendAll(transfers, {}); !sent.ok())
        return exitStatusOf(sent, s.result);
    return args.verify ? verifyAll(s, m.setup, m.screens.store.bytes(), m.program.store, args.file) : kExitOk;
}

int runReport(Session& s, const Words& args) {
    if (!claimOutputFile(s, args[1])) return kExitUsage;
    Models m(s.host);
    if (!loadGroup(s, args[0], m)) return kExitUsage;
    const workspace::ReportInput input{m.setup, m.program.tree, m.screens.store,
                                       workspace::groupBaseName(args[0]), s.env.clock.localNow()};
    std::string error;
    if (!print::saveReportPdf(args[1], input, s.env.files, error)) {
        s.host.error("cannot write " + args[1] + ": " + error);
        return kExitUsage;
    }
    s.host.info(args[1]);
    return kExitOk;
}

}  // namespace

int backupToGroup(Session& s, const std::string& groupPath) {
    return getAllInto(s, groupPath);
}

void addGroupCommands(CLI::App& app, CommandRunner& chosen) {
    runsWithWords(addCommand(app, kGetAll), chosen, {"GROUP.ssp"}, runGetAll);
    addSend(addCommand(app, kSendAll), chosen, "GROUP.ssp", runSendAll);
}

void addReportCommand(CLI::App& app, CommandRunner& chosen) {
    runsWithWords(addCommand(app, kReport), chosen, {"GROUP.ssp", "OUT.pdf"}, runReport);
}

}  // namespace vrn::cli
