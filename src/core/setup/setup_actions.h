#pragma once

#include <functional>

namespace vrn {
class FileStore;
class Host;
}  // namespace vrn

namespace vrn::setup {

class SetupModel;
class SetupTransfer;

// The Setup menu items. Get and Send refuse with a box when the port is closed, show the Setup
// page, run under the hourglass and report a failed transfer with the communication-error box.
void RxSetup(SetupTransfer& transfer, const std::function<void()>& showSetupPage);
void TxSetup(SetupTransfer& transfer, const std::function<void()>& showSetupPage);

// File, Individual Open/Save Files: the setup file through the open and save dialogs.
void OpenSetupFile(Host& host, FileStore& files, SetupModel& model);
void SaveSetupFile(Host& host, FileStore& files, const SetupModel& model);

// The dialogs' filter and default extension.
inline constexpr const char* kSetupFileFilter = "Setup Files (*.set)|*.set|All Files (*.*)|*.*";
inline constexpr const char* kSetupFileExt = "set";

}  // namespace vrn::setup
