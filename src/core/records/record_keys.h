#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/setup/setup_model.h"

namespace vrn::records {

class RecordBlock;

// Where a record format keeps each record's date and time: its first Date and its first Time field.
struct TimeFields {
    size_t date = 0;
    size_t time = 0;
};

// None when the format lacks a Date or a Time field: its records cannot be told apart by time.
std::optional<TimeFields> timeFieldsOf(const std::vector<setup::RecordField>& fields);

// Record r's date and time on the instrument's clock, as seconds since 1970-01-01 00:00 (no time
// zone); none when its Date or Time value is missing or impossible (a 13th month, a 61st second).
std::optional<int64_t> recordSeconds(const RecordBlock& block, size_t r, TimeFields where);

// The instrument's clock as the Setup's date and time boxes hold it (after GetClock), in the same
// seconds; none when either box holds no real date or time.
std::optional<int64_t> clockSeconds(const setup::SetupModel& model);

// "+HH:MM", "-HH:MM", "+HH" or "Z": an offset from UTC in minutes, within -14:00..+14:00.
std::optional<int> parseUtcOffset(std::string_view text);
std::string utcOffsetText(int minutes);

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM" or "YYYY-MM-DD HH:MM:SS" (a "T" may stand for the blank, a "Z"
// may end it), as seconds since 1970 in UTC. A date alone is its midnight, or with endOfDay its
// last second, so that "--to 2026-03-31" takes in the whole day.
std::optional<int64_t> parseUtcTime(std::string_view text, bool endOfDay);
// "YYYY-MM-DD HH:MM:SS".
std::string utcTimeText(int64_t seconds);

}  // namespace vrn::records
