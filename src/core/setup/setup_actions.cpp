#include "core/setup/setup_actions.h"

#include <string>

#include "core/io/file_store.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"
#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"

namespace vrn::setup {
namespace {

FileDialogSpec setupDialog(bool save) {
    FileDialogSpec spec;
    spec.filter = kSetupFileFilter;
    spec.defaultExt = kSetupFileExt;
    spec.mustExist = !save;
    spec.overwritePrompt = save;
    return spec;
}

}  // namespace

Outcome RxSetup(SetupTransfer& transfer, const std::function<void()>& showSetupPage) {
    Exchange& ex = transfer.exchange();
    if (!ex.port().isOpen()) {
        constexpr const char* kClosed = "Cannot Get Setup.\nUSB port is closed.";
        warn(ex.host(), kClosed);
        return Outcome::portGone(kClosed);
    }
    if (showSetupPage) showSetupPage();
    WaitCursor hourglass(ex.host());
    Outcome outcome = transfer.GetUserSettings();
    if (!outcome.ok()) MyCommError(ex.host());
    return outcome;
}

Outcome TxSetup(SetupTransfer& transfer, const std::function<void()>& showSetupPage) {
    Exchange& ex = transfer.exchange();
    if (!ex.port().isOpen()) {
        constexpr const char* kClosed = "Cannot Send Setup.\nUSB port is closed.";
        warn(ex.host(), kClosed);
        return Outcome::portGone(kClosed);
    }
    if (showSetupPage) showSetupPage();
    WaitCursor hourglass(ex.host());
    Outcome outcome = transfer.SendUserSettings();
    // A refusal has said why in its own box.
    if (!outcome.ok() && outcome.kind() != Outcome::Kind::Refused) MyCommError(ex.host());
    return outcome;
}

bool openSetupFileAt(Host& host, FileStore& files, SetupModel& model, const std::string& path) {
    std::string error;
    const auto bytes = files.readFile(path, kSetupFileSize, error);
    if (!bytes) {
        warn(host, "Cannot open file \"" + path + "\".\n" + error);
        return false;
    }
    readSetupFile(*bytes, model);
    host.appendLine("OPENED SETUP FILE " + path);
    return true;
}

std::optional<std::string> OpenSetupFile(Host& host, FileStore& files, SetupModel& model) {
    auto path = host.openFileName(setupDialog(false));
    if (!path || !openSetupFileAt(host, files, model, *path)) return std::nullopt;
    return path;
}

std::optional<std::string> SaveSetupFile(Host& host, FileStore& files, const SetupModel& model) {
    auto path = host.saveFileName(setupDialog(true));
    if (!path) return std::nullopt;
    std::string error;
    if (!files.writeFile(*path, writeSetupFile(model), error)) {
        warn(host, "Cannot create file \"" + *path + "\".\n" + error);
        return std::nullopt;
    }
    host.appendLine("SAVED SETUP FILE " + *path);
    return path;
}

}  // namespace vrn::setup
