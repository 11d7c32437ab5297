#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/link/outcome.h"

namespace vrn {
class FileStore;
class Host;
}  // namespace vrn

namespace vrn::setup {

class SetupModel;
class SetupTransfer;

// The Setup menu items. Get and Send refuse with a box when the port is closed, show the Setup
// page, run under the hourglass and report a failed transfer with the communication-error box.
// A closed port is PortGone, with the box's text as its reason.
Outcome RxSetup(SetupTransfer& transfer, const std::function<void()>& showSetupPage);
Outcome TxSetup(SetupTransfer& transfer, const std::function<void()>& showSetupPage);

// File, Individual Open/Save Files: the setup file through the open and save dialogs. The path
// opened or saved; nothing when the user cancelled or the file could not be read or written.
std::optional<std::string> OpenSetupFile(Host& host, FileStore& files, SetupModel& model);
std::optional<std::string> SaveSetupFile(Host& host, FileStore& files, const SetupModel& model);

// Loads the setup file at path, as Open Setup File does once a file is chosen; false, after its
// box, when the file cannot be read.
bool openSetupFileAt(Host& host, FileStore& files, SetupModel& model, const std::string& path);

// The dialogs' filter and default extension.
inline constexpr const char* kSetupFileFilter = "Setup Files (*.set)|*.set|All Files (*.*)|*.*";
inline constexpr const char* kSetupFileExt = "set";

}  // namespace vrn::setup
