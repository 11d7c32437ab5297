#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/setup/setup_model.h"

namespace vrn::setup {

// The setup file (".set"): 32-bit little-endian integers and 26-byte Windows-1252 labels.
inline constexpr size_t kSetupFileSize = 990;
// Older files end before the two COM1 values.
inline constexpr size_t kSetupFileSizeWithoutCom1 = 982;
inline constexpr size_t kFieldRecordSize = 38;
inline constexpr size_t kFileLabelSize = 26;
inline constexpr size_t kFieldRecordsAt = 32;

// The 990 bytes of the Setup (date, time and "Use PC System Time" are not in the file).
std::vector<uint8_t> writeSetupFile(const SetupModel& model);

// Loads every value the bytes hold completely, in file order, through the model's setters (so
// spin values are brought into range); values past the end are left as they are. The COM1
// values are read only from a file longer than 982 bytes.
void readSetupFile(std::span<const uint8_t> bytes, SetupModel& model);

}  // namespace vrn::setup
