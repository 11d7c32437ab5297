#include "cli/service/service_commands.h"

#include <array>
#include <optional>

#include "cli/configuration/workspace_commands.h"
#include "cli/outcome_exit.h"
#include "cli/output_target.h"
#include "cli/password_prompt.h"
#include "cli/result_outcomes.h"
#include "cli/session.h"
#include "core/io/file_store.h"
#include "core/service/calibration.h"
#include "core/service/diagnostics.h"
#include "core/service/firmware_update.h"

namespace vrn::cli {
namespace {

constexpr size_t kPasswordFileMax = 256;

// The calibration password, from --password-file (its one line) or asked on the terminal.
bool passwordGiven(Session& s, const std::optional<std::string>& file) {
    std::string typed;
    if (file) {
        std::string error;
        const auto bytes = s.env.files.readFile(*file, kPasswordFileMax + 1, error);
        if (!bytes) {
            s.host.error("cannot read " + *file + ": " + error);
            return false;
        }
        typed.assign(bytes->begin(), bytes->end());
        // The file's line end is not part of the password.
        if (typed.ends_with('\n')) typed.pop_back();
        if (typed.ends_with('\r')) typed.pop_back();
    } else {
        const auto asked = askPasswordOnTerminal("Password: ");
        if (!asked) {
            s.host.error("no terminal to ask the calibration password on: use --password-file FILE");
            return false;
        }
        typed = *asked;
    }
    if (service::calibrationPasswordMatches(typed)) return true;
    s.host.error(service::kIncorrectPasswordText);
    return false;
}

// A reading's box: none when the test was turned down before anything was sent.
int printResult(Session& s, LogMark mark, const std::optional<std::string>& result) {
    if (!result) return exitStatusOf(diagnosticOutcome(false, reasonSince(s.result.log, mark)), s.result);
    s.host.result(*result);
    s.result.data["reading"] = QString::fromStdString(*result);
    if (*result == service::kNoResponse) return exitStatusOf(Outcome::failed(*result), s.result);
    return kExitOk;
}

int diagnosticStatus(Session& s, LogMark mark, bool done) {
    return exitStatusOf(diagnosticOutcome(done, reasonSince(s.result.log, mark)), s.result);
}

}  // namespace

int runCalData(Session& s) {
    if (!s.openLink()) return kExitFailed;
    s.host.messagesAreTheResult();
    const LogMark mark = markOf(s.result.log);
    if (service::getCalData(*s.exchange)) {
        // The header line first, then the instrument's rows as it sent them.
        const std::vector<std::string> lines = s.host.resultLines();
        s.result.data["header"] = QString::fromStdString(lines.front());
        s.result.data["rows"] = jsonTexts({lines.begin() + 1, lines.end()});
        return kExitOk;
    }
    s.host.error("the instrument sent no calibration data");
    const std::string said = reasonSince(s.result.log, mark);
    return exitStatusOf(Outcome::failed(said.empty() ? "the instrument sent no calibration data" : said),
                        s.result);
}

int runCalibrate(Session& s, const CalibrateArgs& a) {
    const service::CalStepInfo* step = &service::calSteps().front();
    for (const auto& info : service::calSteps())
        if (a.step == info.cliName) step = &info;
    if (a.ref && !step->takesReference) {
        s.host.error("calibrate: --ref belongs to se-fs and diff-fs only");
        return kExitUsage;
    }
    if (!passwordGiven(s, a.passwordFile)) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    const LogMark mark = markOf(s.result.log);
    const service::CalOutcome calibrated =
        service::runCalibrationStep(*s.exchange, step->step, true, a.ref.value_or("5000.00"));
    return exitStatusOf(outcomeOf(calibrated, reasonSince(s.result.log, mark)), s.result);
}

int runCalCheck(Session& s, const CalCheckArgs& a) {
    const service::CalCheckInfo* check = &service::calChecks().front();
    for (const auto& info : service::calChecks())
        if (a.check == info.cliName) check = &info;
    if (!passwordGiven(s, a.passwordFile)) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    s.host.messagesAreTheResult();
    const Outcome checked = service::runCalibrationCheck(*s.exchange, check->check);
    s.result.data["readings"] = jsonTexts(s.host.resultLines());
    return exitStatusOf(checked, s.result);
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
    if (!backup.empty()) {
        request.backupFirst = true;
        request.backup = [&s, &backup, &backupExit](const std::string&) -> std::optional<std::string> {
            backupExit = backupToGroup(s, backup);
            if (backupExit != kExitOk) return std::nullopt;
            return backup;
        };
    }
    const LogMark mark = markOf(s.result.log);
    const service::FirmwareOutcome updated = service::updateFirmware(*s.exchange, s.env.files, request);
    // The backup's own failure is kept already, with its reason.
    if (s.result.failure) return backupExit;
    return exitStatusOf(outcomeOf(updated, reasonSince(s.result.log, mark)), s.result);
}

}  // namespace vrn::cli
