#include "cli/service_commands.h"

#include <array>
#include <optional>
#include <string_view>

#include "cli/outcome_exit.h"
#include "cli/password_prompt.h"
#include "cli/session.h"
#include "cli/workspace_commands.h"
#include "core/io/file_store.h"
#include "core/service/calibration.h"
#include "core/service/diagnostics.h"
#include "core/service/firmware_update.h"

namespace vrn::cli {
namespace {

constexpr size_t kPasswordFileMax = 256;

std::optional<int> channelArg(std::string_view text, int lo, int hi) {
    if (text.empty() || text.size() > 2) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < lo || value > hi) return std::nullopt;
    return value;
}

std::optional<bool> onOff(std::string_view text) {
    if (text == "on") return true;
    if (text == "off") return false;
    return std::nullopt;
}

// As the reference box takes it: up to four digits, then optionally a point and up to two.
bool referenceShape(std::string_view text) {
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view frac =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    auto digits = [](std::string_view t) {
        for (char c : t)
            if (c < '0' || c > '9') return false;
        return true;
    };
    return !whole.empty() && whole.size() <= 4 && digits(whole) && frac.size() <= 2 && digits(frac) &&
           !(point != std::string_view::npos && frac.empty());
}

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

// Splits "NAME [--ref MV] [--password-file F]" style arguments; false on anything else.
struct CalArgs {
    std::vector<std::string> words;
    std::optional<std::string> ref;
    std::optional<std::string> passwordFile;
};

bool parseCalArgs(const std::vector<std::string>& args, CalArgs& out) {
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--ref" || args[i] == "--password-file") && i + 1 < args.size()) {
            (args[i] == "--ref" ? out.ref : out.passwordFile) = args[i + 1];
            ++i;
        } else if (args[i].starts_with("-")) {
            return false;
        } else {
            out.words.push_back(args[i]);
        }
    }
    return true;
}

int printResult(Session& s, const std::optional<std::string>& result) {
    if (!result) return kExitUsage;
    s.host.result(*result);
    s.result.data["reading"] = QString::fromStdString(*result);
    return *result == service::kNoResponse ? kExitFailed : kExitOk;
}

}  // namespace

int runCalData(Session& s, const std::vector<std::string>& args) {
    if (!args.empty()) {
        s.host.error("cal-data takes no arguments");
        return kExitUsage;
    }
    if (!s.openLink()) return kExitFailed;
    s.host.messagesAreTheResult();
    if (service::getCalData(*s.exchange)) {
        // The header line first, then the instrument's rows as it sent them.
        const std::vector<std::string> lines = s.host.resultLines();
        s.result.data["header"] = QString::fromStdString(lines.front());
        s.result.data["rows"] = jsonTexts({lines.begin() + 1, lines.end()});
        return kExitOk;
    }
    s.host.error("the instrument sent no calibration data");
    return kExitFailed;
}

int runCalibrate(Session& s, const std::vector<std::string>& args) {
    CalArgs a;
    const service::CalStepInfo* step = nullptr;
    if (parseCalArgs(args, a) && a.words.size() == 1) {
        for (const auto& info : service::calSteps())
            if (a.words[0] == info.cliName) step = &info;
    }
    if (step == nullptr) {
        s.host.error(
            "calibrate takes one STEP: se-zero, se-fs, diff-zero, diff-fs, wd-zero, wd-fs, vout or iout");
        return kExitUsage;
    }
    if (a.ref && (!step->takesReference || !referenceShape(*a.ref))) {
        s.host.error(step->takesReference ? "--ref takes millivolts as 0000.00 to 9999.99, not: " + *a.ref
                                          : std::string("--ref belongs to se-fs and diff-fs only"));
        return kExitUsage;
    }
    if (!passwordGiven(s, a.passwordFile)) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    switch (service::runCalibrationStep(*s.exchange, step->step, true, a.ref.value_or("5000.00"))) {
    case service::CalOutcome::Declined:
        return kExitUsage;
    case service::CalOutcome::NoResponse:
        return kExitFailed;
    case service::CalOutcome::Finished:
        break;
    }
    return kExitOk;
}

int runCalCheck(Session& s, const std::vector<std::string>& args) {
    CalArgs a;
    const service::CalCheckInfo* check = nullptr;
    if (parseCalArgs(args, a) && a.words.size() == 1 && !a.ref) {
        for (const auto& info : service::calChecks())
            if (a.words[0] == info.cliName) check = &info;
    }
    if (check == nullptr) {
        s.host.error("cal-check takes one CHECK: se, diff, wd, vout-zero, vout-fs, iout-zero or iout-fs");
        return kExitUsage;
    }
    if (!passwordGiven(s, a.passwordFile)) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    s.host.messagesAreTheResult();
    const Outcome checked = service::runCalibrationCheck(*s.exchange, check->check);
    s.result.data["readings"] = jsonTexts(s.host.resultLines());
    return exitStatusOf(checked);
}

int runTest(Session& s, const std::vector<std::string>& args) {
    const auto usage = [&s] {
        s.host.error(
            "test takes: input se|diff|wd|lowfreq|ttl CHAN, output CHAN LEVEL, switch CHAN on|off, "
            "or ram|pgm|rom|display");
        return kExitUsage;
    };
    if (args.empty()) return usage();
    const std::string& what = args[0];
    if (args.size() == 1 && (what == "ram" || what == "pgm" || what == "rom" || what == "display")) {
        if (!s.openLink()) return kExitFailed;
        if (what == "ram") return printResult(s, service::testRam(*s.exchange));
        if (what == "pgm") return printResult(s, service::testPgm(*s.exchange));
        if (what == "rom") return printResult(s, service::testRom(*s.exchange));
        return service::testDisplay(*s.exchange) ? kExitOk : kExitUsage;
    }
    if (args.size() != 3) return usage();
    if (what == "input") {
        const auto kinds = service::inputKinds();
        for (size_t k = 0; k < kinds.size(); ++k) {
            if (args[1] != kinds[k].cliName) continue;
            // The channel box's range for the kind; Switch/TTL takes any channel of the box.
            const int max = kinds[k].setsRange ? kinds[k].maxChannel : 16;
            const auto ch = channelArg(args[2], 1, max);
            if (!ch || (kinds[k].setsRange && (*ch - 1) % kinds[k].step != 0)) {
                s.host.error("channel " + args[2] + " is not a " + kinds[k].item + " channel");
                return kExitUsage;
            }
            if (!s.openLink()) return kExitFailed;
            return printResult(s, service::testInput(*s.exchange, k, *ch));
        }
        return usage();
    }
    const auto ch = channelArg(args[1], 1, service::kOutputChannelCount);
    if (what == "output" && ch) {
        const auto levels = service::outputLevels();
        for (size_t l = 0; l < levels.size(); ++l) {
            const std::string name = std::to_string(levels[l].value) + (levels[l].milliamperes ? "mA" : "mV");
            if (args[2] != name) continue;
            if (!s.openLink()) return kExitFailed;
            return service::testOutput(*s.exchange, *ch, l) ? kExitOk : kExitUsage;
        }
    }
    const auto on = onOff(args[2]);
    if (what == "switch" && ch && on) {
        if (!s.openLink()) return kExitFailed;
        return service::testSwitch(*s.exchange, *ch, *on) ? kExitOk : kExitUsage;
    }
    return usage();
}

int runPullDown(Session& s, const std::vector<std::string>& args) {
    const auto ch = args.size() == 2 ? channelArg(args[0], 1, 4) : std::nullopt;
    const auto on = args.size() == 2 ? onOff(args[1]) : std::nullopt;
    if (!ch || !on) {
        s.host.error("pulldown takes CHAN (1..4) and on or off");
        return kExitUsage;
    }
    if (!s.openLink()) return kExitFailed;
    service::setPullDown(*s.exchange, *ch, *on);
    return kExitOk;
}

int runResetAll(Session& s, const std::vector<std::string>& args) {
    if (!args.empty()) {
        s.host.error("reset-all takes no arguments");
        return kExitUsage;
    }
    if (!s.openLink()) return kExitFailed;
    service::resetAllOutputs(*s.exchange);
    return kExitOk;
}

int runFirmware(Session& s, const std::vector<std::string>& args) {
    std::string path;
    std::string backup;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--backup" && i + 1 < args.size() && backup.empty()) {
            backup = args[++i];
        } else if (!args[i].starts_with("-") && path.empty()) {
            path = args[i];
        } else {
            path.clear();
            break;
        }
    }
    if (path.empty()) {
        s.host.error("firmware takes one FILE.glo and optionally --backup GROUP.ssp");
        return kExitUsage;
    }
    // Refused before the wake, so that without --yes nothing at all reaches the instrument.
    if (!s.host.answersYes()) {
        s.host.error("firmware erases and rewrites the instrument's program memory: run again with --yes");
        return kExitUsage;
    }
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
    switch (service::updateFirmware(*s.exchange, s.env.files, request)) {
    case service::FirmwareOutcome::Finished:
        return kExitOk;
    case service::FirmwareOutcome::Cancelled:
    case service::FirmwareOutcome::Refused:
        return kExitUsage;
    case service::FirmwareOutcome::NoContact:
        // A backup that could not be written is a file problem, not the instrument's.
        if (backupExit == kExitUsage) return kExitUsage;
        break;
    case service::FirmwareOutcome::Failed:
        break;
    }
    return kExitFailed;
}

}  // namespace vrn::cli
