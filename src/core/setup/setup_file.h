#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
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

// A value a file holds that the Setup cannot take as it is, and what it was brought to.
struct AdjustedValue {
    std::string name;  // as the Setup page and the diff name it: "COM2 BAUD", "FIELD 03 WIDTH"
    int64_t inFile = 0;
    std::string kept;  // as the page shows it: "115.2K", "99"

    bool operator==(const AdjustedValue&) const = default;
};

// Loads every value the bytes hold completely, in file order, through the model's setters (so
// spin values and list choices are brought into range); values past the end are left as they
// are. The COM1 values are read only from a file longer than 982 bytes. Returns the values that
// were brought into range, in file order.
std::vector<AdjustedValue> readSetupFile(std::span<const uint8_t> bytes, SetupModel& model);

// "COM2 BAUD 77 is out of range: taken as 230.4K".
std::string adjustedValueText(const AdjustedValue& value);

}  // namespace vrn::setup
