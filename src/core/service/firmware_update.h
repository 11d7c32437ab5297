#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/link/outcome.h"

namespace vrn {
class Exchange;
class FileStore;
}  // namespace vrn

namespace vrn::service {

inline constexpr int kWakeSeconds = 4;
inline constexpr int64_t kLoaderSeconds = 5;
inline constexpr int64_t kProgramSeconds = 90;
inline constexpr int64_t kEraseMs = 250;
inline constexpr int64_t kFinalPauseMs = 250;
inline constexpr size_t kFinalRead = 400;
inline constexpr int kLoaderStars = 3;
// Larger than any firmware the instrument's flash can hold.
inline constexpr size_t kMaxFirmwareFileBytes = size_t{16} * 1024 * 1024;

inline constexpr const char* kFirmwareFilter = "Global S19 File (*.glo)|*.glo|All Files (*.*)|*.*";
inline constexpr const char* kFirmwareExt = "glo";
inline constexpr const char* kBackupBoxText = "Back up Setup, Screens and Program first";

inline constexpr const char* kFwPortClosedText = "USB port closed.\nFlash Update cancelled.";
inline constexpr const char* kFwCannotOpenText = "Cannot open file.\nFlash Update cancelled.";
inline constexpr const char* kFwNoWakeText =
    "Cannot communicate with 41700.\nFlash Update cancelled.\nCheck USB connection.";
inline constexpr const char* kFwConfirmText =
    "IMPORTANT!\nPROCEED WITH CAUTION.\nTHIS OPERATION REPLACES\nTHE 41700 FIRMWARE.\n\nCONTINUE?";
inline constexpr const char* kFwNoLoaderText = "No response from 41700.\nFlash Update cancelled.";
inline constexpr const char* kFwTimeoutText = "Timeout error.\nFlash Update cancelled.";
// Message-area lines of ours: where the backup went, and an update answered No.
inline constexpr const char* kFwBackupLine = "BACKUP WRITTEN TO ";
inline constexpr const char* kFwCancelledLine = "FLASH UPDATE CANCELLED.";
inline constexpr const char* kFwBackupFailedText =
    "Setup, Screens and Program could not be backed up.\nFlash Update cancelled.";

// The backup before an update: gets Setup, Screens and Program into a group file, given the
// firmware file's path, and yields the group file's path. Unset, a chosen backup cannot be made
// and the update stops before anything is sent.
using FirmwareBackup = std::function<Result<std::string>(const std::string& firmwarePath)>;

struct FirmwareRequest {
    std::string path;
    bool backupFirst = false;
    std::string statusText;  // the status bar while the update runs (the current group's name)
};

// The update from an already chosen file: the file is checked whole first, then the backup if
// asked for, the wake, the confirmation, the loader, the erase and the records. Refused, with its
// box, for a file that cannot be read or is not a whole firmware file and for a No; the backup's
// own failure; the wait's failure with the box that said it (Aborted with a line of its own).
Outcome updateFirmware(Exchange& ex, FileStore& files, const FirmwareRequest& request,
                       const FirmwareBackup& backup = {});

// File, Firmware Update...: the open dialog with the backup box (checked at first), then the update.
// PortGone after its box while the port is closed; Refused when the dialog was cancelled.
Outcome FirmwareUpdate1(Exchange& ex, FileStore& files, const FirmwareBackup& backup, std::string statusText);

}  // namespace vrn::service
