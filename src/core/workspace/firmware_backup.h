#pragma once

#include <cstdint>
#include <string>

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

enum class BackupOutcome : uint8_t {
    Written,     // the group and its setup, screen and program files are on disk
    GetFailed,   // the instrument did not give its whole configuration; nothing was written
    NotWritten,  // the get succeeded but the group's files could not all be written
};

// Gets the Setup, Screens and Program from the instrument into models of the backup's own and
// saves them as the group at groupPath. What the user is editing, the current group's name and
// the page shown stay as they were: the backup is a copy of the instrument, not a Get.
BackupOutcome backupInstrument(Exchange& ex, FileStore& files, const std::string& groupPath,
                               const PictureEncoder& encode);

}  // namespace vrn::workspace
