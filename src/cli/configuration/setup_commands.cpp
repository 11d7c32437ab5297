#include "cli/configuration/setup_commands.h"

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

}  // namespace vrn::cli
