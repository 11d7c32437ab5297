#pragma once

#include <cstdint>
#include <string>

#include "core/link/outcome.h"
#include "core/workspace/group_actions.h"

namespace vrn {
class Clock;
class Exchange;
class FileStore;
}  // namespace vrn

namespace vrn::workspace {

// Where the backup before a firmware update goes: a group named for the moment, in the firmware
// file's folder, so it never replaces a group the user keeps.
std::string firmwareBackupPath(const std::string& firmwarePath, Clock& clock);

// Gets the Setup, Screens and Program from the instrument into models of the backup's own and
// saves them as the group at groupPath. What the user is editing, the current group's name and
// the page shown stay as they were: the backup is a copy of the instrument, not a Get. Done once
// the group and its setup, screen and program files are on disk; the get's failure (nothing
// written); NotWritten when the get succeeded but the group's files could not all be written.
Outcome backupInstrument(Exchange& ex, FileStore& files, const std::string& groupPath,
                         const PictureEncoder& encode);

}  // namespace vrn::workspace
