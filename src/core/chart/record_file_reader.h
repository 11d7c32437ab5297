#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/chart/record_table.h"

namespace vrn::chart {

// The largest record file read: the largest retrieval (86,507 records of 25 fields) written with
// the widest values takes well under this.
inline constexpr size_t kMaxRecordFileBytes = size_t{256} << 20;

struct RecordFileRead {
    std::optional<RecordTable> table;
    std::string error;  // why the text is not a record file, for a message box or an error line
};

// Reads a record text file as Get Records writes it: "N RECORDS", the date and time of writing,
// the Labels, then one line per record, fields separated by a blank, a comma or a tab. What a
// column holds tells its type: MM/DD/YYYY a Date, HH:MM:SS a Time, numbers a Number field, nothing
// a field without a type; "-99999" is a missing reading in any of them. The first Date and Time
// columns give each record's x when the file has both. A file with more fields, or more records,
// than one retrieval writes is refused.
RecordFileRead readRecordFile(std::string_view text);

}  // namespace vrn::chart
