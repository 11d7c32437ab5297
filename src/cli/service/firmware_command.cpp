#include <optional>

#include "cli/command_definition.h"
#include "cli/configuration/workspace_commands.h"
#include "cli/outcome_exit.h"
#include "cli/output_target.h"
#include "cli/result_outcomes.h"
#include "cli/session.h"
#include "core/service/firmware_update.h"

namespace vrn::cli {
namespace {

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

struct FirmwareArgs {
    std::string file;
    std::optional<std::string> backup;
};

int runFirmware(Session& s, const FirmwareArgs& args) {
    const std::string& path = args.file;
    const std::string backup = args.backup.value_or(std::string());
    // Refused before the wake, so that without --yes nothing at all reaches the instrument.
    if (!s.host.answersYes()) {
        s.host.error("firmware erases and rewrites the instrument's program memory: run again with --yes");
        return kExitUsage;
    }
    if (!backup.empty() && !checkGroupTarget(s, backup, "firmware --backup")) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    service::FirmwareRequest request;
    request.path = path;
    int backupExit = kExitOk;
    request.backupFirst = !backup.empty();
    const auto backUp = [&s, &backup, &backupExit](const std::string&) -> Result<std::string> {
        backupExit = backupToGroup(s, backup);
        if (backupExit != kExitOk) return Outcome::failed();
        return {Outcome::done(), backup};
    };
    const LogMark mark = markOf(s.result.log);
    const Outcome updated = service::updateFirmware(*s.exchange, s.env.files, request, backUp);
    // The backup's own failure is kept already, with its reason.
    if (s.result.failure) return backupExit;
    return exitStatusOf(toldBy(updated, reasonSince(s.result.log, mark)), s.result);
}

}  // namespace

void addFirmwareCommand(CLI::App& app, CommandRunner& chosen) {
    CLI::App& firmware = addCommand(app, kFirmware);
    FirmwareArgs& flashed = runs(firmware, chosen, runFirmware);
    positional(firmware, "FILE.glo", flashed.file);
    firmware.add_option("--backup", flashed.backup)->type_name("GROUP.ssp");
}

}  // namespace vrn::cli
