#include "cli/configuration/setup_commands.h"

#include "cli/command_definition.h"
#include "cli/configuration/compare_commands.h"
#include "cli/outcome_exit.h"
#include "cli/output_target.h"
#include "cli/session.h"
#include "core/io/file_store.h"
#include "core/link/clock.h"
#include "core/setup/pc_time.h"
#include "core/setup/send_check.h"
#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"

namespace vrn::cli {

bool warnAdjusted(Session& s, const std::string& path, const std::vector<setup::AdjustedValue>& adjusted) {
    for (const setup::AdjustedValue& a : adjusted)
        s.host.MyMessage(path + ": " + setup::adjustedValueText(a), MsgButtons::Ok, MsgKind::Warning);
    return !adjusted.empty();
}

bool adjustedSetupMayBeSent(Session& s) {
    return s.host.MyMessage("Send the Setup with the values taken as above?", MsgButtons::YesNo,
                            MsgKind::Confirmation) == MsgResult::Yes;
}

std::optional<LoadedSetup> loadSetupFile(Session& s, const std::string& path, setup::SetupModel& model) {
    std::string error;
    const auto bytes = s.env.files.readFile(path, setup::kSetupFileSize + 1, error);
    if (!bytes) {
        s.host.error("cannot read " + path + ": " + error);
        return std::nullopt;
    }
    // The window loads whatever a file holds; a script gets a refusal instead of half a Setup.
    if (bytes->size() != setup::kSetupFileSize && bytes->size() != setup::kSetupFileSizeWithoutCom1) {
        s.host.error(path + " is not a setup file: " + std::to_string(bytes->size()) +
                     " bytes, where a setup file has 982 or 990");
        return std::nullopt;
    }
    const bool adjusted = warnAdjusted(s, path, setup::readSetupFile(*bytes, model));
    return LoadedSetup{bytes->size() == setup::kSetupFileSize, adjusted};
}

namespace {

constexpr CommandText kGetSetup{
    "get-setup", "read the whole Setup from the instrument into a setup file",
    "Reads every Setup value from the instrument (its date and time too) into a setup file,\n"
    "printing the window's message lines and then \"INSTRUMENT TIME: MM-DD-YYYY HH:MM:SS\".\n"
    "The file is written only when the whole Setup was read, and replaces an old one only\n"
    "once it is complete.\n"
    "\n"
    "example, a nightly backup of a station's Setup:\n"
    "  vrncomm-cli get-setup station-12-$(date +%F).set\n"};

constexpr CommandText kSendSetup{
    "send-setup", "send a setup file's Setup, with the PC's date and time unless --time",
    "Sends the Setup held in a setup file to the instrument, and sets the instrument's clock\n"
    "to the PC's local date and time, or to the one given with --time. A date outside\n"
    "2000..2099 or an impossible date or time is refused before anything is sent.\n"
    "A value the file holds out of range (a baud code past the list, an interval over 99)\n"
    "is named in a warning with what it would be sent as, and the Setup is sent only\n"
    "with --yes.\n"
    "With --verify the Setup is read back afterwards and compared as diff-setup does; any\n"
    "difference is printed on stderr and the exit status is 3.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli --port /dev/ttyUSB0 send-setup station-12.set --time \"07-01-2026 00:00:00\"\n"};

struct SendSetupArgs {
    std::string file;
    std::optional<std::string> time;  // "MM-DD-YYYY HH:MM:SS"; the PC's time when not given
    bool verify = false;
};

int runGetSetup(Session& s, const Words& args) {
    if (!claimOutputFile(s, args[0])) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    setup::SetupModel model;
    // The instrument's own clock is read too, as the window does with "Use PC System Time" off.
    model.setUsePcTime(false);
    setup::SetupTransfer transfer(*s.exchange, model);
    if (const Outcome got = transfer.GetUserSettings(); !got.ok()) {
        MyCommError(s.host);
        return exitStatusOf(got, s.result);
    }
    s.host.info("INSTRUMENT TIME: " + model.date() + " " + model.time());
    s.result.data["instrumentTime"] = QString::fromStdString(model.date() + " " + model.time());
    std::string error;
    if (!s.env.files.writeFile(args[0], setup::writeSetupFile(model), error)) {
        s.host.error("cannot write " + args[0] + ": " + error);
        return kExitUsage;
    }
    return kExitOk;
}

int runSendSetup(Session& s, const SendSetupArgs& args) {
    const std::string& path = args.file;
    const std::optional<std::string>& when = args.time;
    const bool verify = args.verify;

    setup::SetupModel model;
    const auto loaded = loadSetupFile(s, path, model);
    if (!loaded || (loaded->adjusted && !adjustedSetupMayBeSent(s))) return kExitUsage;

    if (when) {
        const size_t blank = when->find(' ');
        model.setUsePcTime(false);
        model.setDate(when->substr(0, blank));
        model.setTime(blank == std::string::npos ? std::string() : when->substr(blank + 1));
    } else {
        setup::showPcTime(model, s.env.clock.localNow());
    }
    // Checked before the port is opened: a value the instrument cannot hold sends nothing.
    if (const auto refusal = setup::checkSetupForSend(model)) {
        s.host.error(*refusal);
        return kExitUsage;
    }

    if (!s.openLink()) return kExitFailed;
    setup::SetupTransfer transfer(*s.exchange, model);
    if (const Outcome sent = transfer.SendUserSettings(); !sent.ok()) {
        // A refusal has said why in its own box.
        if (sent.kind() != Outcome::Kind::Refused) MyCommError(s.host);
        return exitStatusOf(sent, s.result);
    }
    return verify ? verifySetup(s, model, path) : kExitOk;
}

}  // namespace

void addSetupCommands(CLI::App& app, CommandRunner& chosen) {
    runsWithWords(addCommand(app, kGetSetup), chosen, {"FILE.set"}, runGetSetup);
    CLI::App& sendSetup = addCommand(app, kSendSetup);
    SendSetupArgs& setup = runs(sendSetup, chosen, runSendSetup);
    positional(sendSetup, "FILE.set", setup.file);
    sendSetup.add_option("--time", setup.time)->type_name("'MM-DD-YYYY HH:MM:SS'");
    sendSetup.add_flag("--verify", setup.verify);
}

}  // namespace vrn::cli
