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

void RxSetup(SetupTransfer& transfer, const std::function<void()>& showSetupPage) {
    Exchange& ex = transfer.exchange();
    if (!ex.port().isOpen()) {
        warn(ex.host(), "Cannot Get Setup.\nUSB port is closed.");
        return;
    }
    if (showSetupPage) showSetupPage();
    WaitCursor hourglass(ex.host());
    if (transfer.GetUserSettings()) MyCommError(ex.host());
}

void TxSetup(SetupTransfer& transfer, const std::function<void()>& showSetupPage) {
    Exchange& ex = transfer.exchange();
    if (!ex.port().isOpen()) {
        warn(ex.host(), "Cannot Send Setup.\nUSB port is closed.");
        return;
    }
    if (showSetupPage) showSetupPage();
    WaitCursor hourglass(ex.host());
    if (transfer.SendUserSettings() && !transfer.refusedBeforeSending()) MyCommError(ex.host());
}

void OpenSetupFile(Host& host, FileStore& files, SetupModel& model) {
    const auto path = host.openFileName(setupDialog(false));
    if (!path) return;
    std::string error;
    const auto bytes = files.readFile(*path, kSetupFileSize, error);
    if (!bytes) {
        warn(host, "Cannot open file \"" + *path + "\".\n" + error);
        return;
    }
    readSetupFile(*bytes, model);
    host.appendLine("OPENED SETUP FILE " + *path);
}

void SaveSetupFile(Host& host, FileStore& files, const SetupModel& model) {
    const auto path = host.saveFileName(setupDialog(true));
    if (!path) return;
    std::string error;
    if (!files.writeFile(*path, writeSetupFile(model), error)) {
        warn(host, "Cannot create file \"" + *path + "\".\n" + error);
        return;
    }
    host.appendLine("SAVED SETUP FILE " + *path);
}

}  // namespace vrn::setup
