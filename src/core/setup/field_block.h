#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/setup/setup_model.h"

namespace vrn::setup {

// The wire form of one record field: label (Windows-1252) and its zero in bytes 0..27, type at
// 28, width at 29, precision at 30; the rest is zero.
inline constexpr size_t kFieldBlockSize = 32;
inline constexpr size_t kRecordFormatsSize = kFieldBlockSize * kFieldCount;  // 800

using FieldBlock = std::array<uint8_t, kFieldBlockSize>;

// A type index outside 0..2 has no byte to send; callers check hasValidType() before sending.
FieldBlock encodeFieldBlock(const RecordField& field);

struct DecodedField {
    enum class Status : uint8_t {
        Ok,
        TooShort,       // fewer than 32 bytes
        LabelTooLong,   // more than 25 characters before the zero (nothing of the row is usable)
        ValueTooLarge,  // type above 2, width above 9 or precision above 7 (the label is usable)
    };
    Status status = Status::Ok;
    std::string label;  // UTF-8
    uint8_t type = 0;
    uint8_t width = 0;
    uint8_t precision = 0;
};

// Decodes the block at the start of bytes. The accepted ranges are the instrument's: a
// precision of 7 passes here and is brought to 6 by the row's spin box.
DecodedField decodeFieldBlock(std::span<const uint8_t> bytes);

struct DecodedFormats {
    bool ok = false;
    // Blocks decoded in order, up to and including the first that failed.
    std::vector<DecodedField> rows;
};

// Decodes the 25 blocks of the record format (800 bytes); fails on a short buffer or at the
// first bad block.
DecodedFormats decodeRecordFormats(std::span<const uint8_t> bytes);

}  // namespace vrn::setup
