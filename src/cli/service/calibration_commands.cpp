#include <optional>

#include "cli/command_definition.h"
#include "cli/outcome_exit.h"
#include "cli/password_prompt.h"
#include "cli/result_outcomes.h"
#include "cli/session.h"
#include "cli/value_checks.h"
#include "core/io/file_store.h"
#include "core/service/calibration.h"

namespace vrn::cli {
namespace {

constexpr CommandText kCalData{
    "cal-data", "print the instrument's calibration data",
    "Prints the calibration constants the instrument keeps: a header line, then the rows the\n"
    "instrument sends, as it sends them. Needs no password.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli cal-data > cal-$(date +%F).txt\n"};

constexpr CommandText kCalibrate{
    "calibrate", "run one calibration step (password; --yes answers its question)",
    "Runs one calibration step and waits up to 60 s for the instrument to finish it. STEP is\n"
    "se-zero, se-fs, diff-zero, diff-fs, wd-zero, wd-fs (the WD excitation), vout or iout.\n"
    "The full-scale steps send the reference voltage applied, --ref in millivolts (0000.00 to\n"
    "9999.99, 5000.00 when not given). The calibration password is asked on the terminal, or\n"
    "read from the one line of --password-file. The input steps replace calibration settings\n"
    "and go on only with --yes. Exit 1 when the instrument did not finish the step.\n"
    "\n"
    "example, with 2500 mV applied to the SE inputs:\n"
    "  vrncomm-cli --yes calibrate se-fs --ref 2500.00 --password-file ~/.vrn-cal\n"};

constexpr CommandText kCalCheck{
    "cal-check", "print what the instrument measures on its calibrated channels (password)",
    "Prints the instrument's readings of its calibrated channels until it ends them, or after\n"
    "60 s of silence (exit 1). CHECK is se, diff, wd, or vout-zero, vout-fs, iout-zero,\n"
    "iout-fs, which first drive all four analog outputs to that level. The password is asked\n"
    "as for calibrate.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli cal-check vout-fs --password-file ~/.vrn-cal\n"};

struct CalibrateArgs {
    std::string step;
    std::optional<std::string> ref;  // millivolts, 0000.00 to 9999.99
    std::optional<std::string> passwordFile;
};

struct CalCheckArgs {
    std::string check;
    std::optional<std::string> passwordFile;
};

constexpr size_t kPasswordFileMax = 256;
constexpr const char* kNoCalDataText = "the instrument sent no calibration data";

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

int runCalData(Session& s) {
    if (!s.openLink()) return kExitFailed;
    s.host.messagesAreTheResult();
    const LogMark mark = markOf(s.result.log);
    const Outcome got = service::getCalData(*s.exchange);
    // The header line first, then the instrument's rows as it sent them.
    const std::vector<std::string> lines = s.host.resultLines();
    if (!lines.empty()) {
        s.result.data["header"] = QString::fromStdString(lines.front());
        s.result.data["rows"] = jsonTexts({lines.begin() + 1, lines.end()});
    }
    if (got.ok()) return kExitOk;
    if (lines.empty()) s.host.error(kNoCalDataText);
    const std::string said = reasonSince(s.result.log, mark);
    return exitStatusOf(toldBy(got, said.empty() ? kNoCalDataText : said), s.result);
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
    const Outcome calibrated =
        service::runCalibrationStep(*s.exchange, step->step, true, a.ref.value_or("5000.00"));
    return exitStatusOf(toldBy(calibrated, reasonSince(s.result.log, mark)), s.result);
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

}  // namespace

void addCalibrationCommands(CLI::App& app, CommandRunner& chosen) {
    runs(addCommand(app, kCalData), chosen, runCalData);

    CLI::App& calibrate = addCommand(app, kCalibrate);
    CalibrateArgs& cal = runs(calibrate, chosen, runCalibrate);
    positional(calibrate, "STEP", cal.step).check(oneOf(cliNamesOf(service::calSteps())));
    calibrate.add_option("--ref", cal.ref)->type_name("MV")->check(millivolts());
    calibrate.add_option("--password-file", cal.passwordFile)->type_name("FILE");

    CLI::App& calCheck = addCommand(app, kCalCheck);
    CalCheckArgs& checked = runs(calCheck, chosen, runCalCheck);
    positional(calCheck, "CHECK", checked.check).check(oneOf(cliNamesOf(service::calChecks())));
    calCheck.add_option("--password-file", checked.passwordFile)->type_name("FILE");
}

}  // namespace vrn::cli
