#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/clock.h"
#include "core/setup/setup_model.h"

namespace vrn::records {

// The field delimiter list's items, index for index, and the characters they stand for.
inline constexpr int kDelimiterCount = 3;
inline constexpr const char* kDelimiterItems[kDelimiterCount] = {"Space", "Comma", "Tab"};
inline constexpr int kDefaultDelimiterIndex = 1;
char delimiterOf(int index);

// Every value on the wire is a little-endian IEEE 754 single.
inline constexpr size_t kValueBytes = 4;

// Downloaded records cut into fields: N records of F values back to back, in arrival order.
class RecordBlock {
public:
    // fields: the record format, fields 1 to F; bytes: whole records only are used.
    RecordBlock(std::vector<setup::RecordField> fields, std::span<const uint8_t> bytes);

    size_t fieldCount() const { return fields_.size(); }
    size_t recordCount() const { return records_; }
    const setup::RecordField& field(size_t k) const { return fields_[k]; }
    // Value k of record r, both from 0.
    float value(size_t r, size_t k) const;

private:
    std::vector<setup::RecordField> fields_;
    std::span<const uint8_t> bytes_;
    size_t records_ = 0;
};

// The first F fields of the Setup model, the record format a download is cut with.
std::vector<setup::RecordField> recordFormat(const setup::SetupModel& model);

// The record text file's first three lines: "N RECORDS", the date and time of writing, the Labels
// (in the file's single-byte code page). Every line ends with CR LF.
std::string recordFileHeader(const RecordBlock& block, char delimiter, const LocalDateTime& now);

// Appends the file lines of records first .. first + count - 1: the values separated by the
// delimiter, no delimiter after the last, CR LF.
void appendRecordLines(std::string& out, const RecordBlock& block, size_t first, size_t count,
                       char delimiter);

// Appends the display text of those records: each one's number from 1 as seven digits and the
// delimiter, then its values as in the file.
void appendDisplayLines(std::string& out, const RecordBlock& block, size_t first, size_t count,
                        char delimiter);

// Appends the display text of up to count file lines (as appendRecordLines makes them), numbering
// them from firstNumber; returns the lines not taken. The file's text, made once, so gives the
// display text without formatting every value again.
std::string_view appendNumberedLines(std::string& out, std::string_view lines, size_t firstNumber,
                                     size_t count, char delimiter);

}  // namespace vrn::records
