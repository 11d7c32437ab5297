#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vrn::service {

// A record must fit the loader's 400-byte buffer with its line end.
inline constexpr size_t kMaxRecordLength = 398;

// What is wrong with one S-record ("S", a type digit, the byte count, then that many bytes in
// hexadecimal, the last of them the checksum), in the order it is looked for.
enum class SRecordFault : uint8_t { None, NotSRecord, NotHex, WrongCount, WrongChecksum };
SRecordFault srecordFault(std::string_view record);

// True when the text is one well-formed S-record whose checksum is right.
inline bool srecordValid(std::string_view record) {
    return srecordFault(record) == SRecordFault::None;
}

// The records of a firmware file up to and including its first S9 record, in file order.
struct FirmwareImage {
    std::vector<std::string> records;
    std::vector<size_t> endOffsets;  // where each record ends in the file
    size_t fileLength = 0;
};

enum class FirmwareFileProblem : uint8_t { None, NotS0, TooLong, BadRecord, NoEnd };

struct FirmwareFileCheck {
    FirmwareFileProblem problem = FirmwareFileProblem::None;
    size_t line = 0;                          // 1-based line of the refused record
    SRecordFault fault = SRecordFault::None;  // what is wrong with a BadRecord
};

// Splits the file into records (separated by blanks, tabs and line ends) and checks the whole of
// it before anything is sent: S0 first, every record short enough and with a right checksum, and
// an S9 record at the end.
FirmwareFileCheck readFirmwareFile(std::span<const uint8_t> bytes, FirmwareImage& image);

// The box text for a refused file.
std::string firmwareFileMessage(const FirmwareFileCheck& check);

// The share of the file up to `offset`, in whole percent rounded to nearest.
int firmwareProgress(size_t offset, size_t fileLength);

}  // namespace vrn::service
