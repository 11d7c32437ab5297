#pragma once

#include <string>

#include "core/workspace/group_actions.h"
#include "core/workspace/whole_transfer.h"

namespace vrn {
class Clock;
}

namespace vrn::workspace {

// Where the backup before a firmware update goes: a group named for the moment, in the firmware
// file's folder, so it never replaces a group the user keeps.
std::string firmwareBackupPath(const std::string& firmwarePath, Clock& clock);

// Gets the Setup, Screens and Program from the instrument and saves them as the group at
// groupPath. True only when the get succeeded and the group and its three configuration files
// were written.
bool backupInstrument(Transfers& t, const PageControl& pages, FileStore& files, Workspace& ws,
                      const std::string& groupPath, const PictureEncoder& encode);

}  // namespace vrn::workspace
