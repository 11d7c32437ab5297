#include "core/records/record_keys.h"

#include <charconv>
#include <chrono>
#include <cstdio>

#include "core/chart/record_table.h"
#include "core/link/virtual_clock.h"
#include "core/records/record_text.h"
#include "core/setup/send_check.h"

namespace vrn::records {
namespace {

constexpr int kMaxOffsetMinutes = 14 * 60;

// Exactly `digits` decimal digits at text[at], as a number.
std::optional<int> digitsAt(std::string_view text, size_t at, size_t digits) {
    if (at + digits > text.size()) return std::nullopt;
    int value = 0;
    for (size_t i = at; i < at + digits; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

std::optional<TimeFields> timeFieldsOf(const std::vector<setup::RecordField>& fields) {
    std::optional<size_t> date;
    std::optional<size_t> time;
    for (size_t k = 0; k < fields.size(); ++k) {
        if (fields[k].type == static_cast<int32_t>(setup::FieldType::Date) && !date) date = k;
        if (fields[k].type == static_cast<int32_t>(setup::FieldType::Time) && !time) time = k;
    }
    if (!date || !time) return std::nullopt;
    return TimeFields{*date, *time};
}

std::optional<int64_t> recordSeconds(const RecordBlock& block, size_t r, TimeFields where) {
    const auto day = chart::dayOfRecordDate(block.value(r, where.date));
    const auto second = chart::secondOfRecordTime(block.value(r, where.time));
    if (!day || !second) return std::nullopt;
    return *day + *second;
}

std::optional<int64_t> clockSeconds(const setup::SetupModel& model) {
    const auto date = setup::parseDateText(model.date());
    const auto time = setup::parseTimeText(model.time());
    if (!date || !time) return std::nullopt;
    using namespace std::chrono;
    const sys_days day{year{static_cast<int>(date->year)} / month{date->month} / std::chrono::day{date->day}};
    return day.time_since_epoch().count() * int64_t{86400} + int64_t{time->hour} * 3600 +
           int64_t{time->minute} * 60 + time->second;
}

std::optional<int> parseUtcOffset(std::string_view text) {
    if (text == "Z") return 0;
    if (text.size() != 3 && text.size() != 6) return std::nullopt;
    if (text[0] != '+' && text[0] != '-') return std::nullopt;
    const auto hours = digitsAt(text, 1, 2);
    std::optional<int> minutes = 0;
    if (text.size() == 6) minutes = text[3] == ':' ? digitsAt(text, 4, 2) : std::nullopt;
    if (!hours || !minutes || *minutes >= 60) return std::nullopt;
    const int total = *hours * 60 + *minutes;
    if (total > kMaxOffsetMinutes) return std::nullopt;
    return text[0] == '-' ? -total : total;
}

std::string utcOffsetText(int minutes) {
    const int a = minutes < 0 ? -minutes : minutes;
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", minutes < 0 ? '-' : '+', a / 60 % 100, a % 60);
    return text;
}

std::optional<int64_t> parseUtcTime(std::string_view text, bool endOfDay) {
    if (!text.empty() && text.back() == 'Z') text.remove_suffix(1);
    const auto year = digitsAt(text, 0, 4);
    const auto month = digitsAt(text, 5, 2);
    const auto day = digitsAt(text, 8, 2);
    if (!year || !month || !day || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto midnight = chart::dateSeconds(*year, *month, *day);
    if (!midnight) return std::nullopt;
    if (text.size() == 10) return *midnight + (endOfDay ? 86399 : 0);
    if (text.size() != 16 && text.size() != 19) return std::nullopt;
    if (text[10] != ' ' && text[10] != 'T') return std::nullopt;
    const auto hour = digitsAt(text, 11, 2);
    const auto minute = digitsAt(text, 14, 2);
    std::optional<int> second = 0;
    if (text.size() == 19) second = text[16] == ':' ? digitsAt(text, 17, 2) : std::nullopt;
    if (!hour || !minute || !second || text[13] != ':') return std::nullopt;
    const auto inDay = chart::timeSeconds(*hour, *minute, *second);
    if (!inDay) return std::nullopt;
    return *midnight + *inDay;
}

std::string utcTimeText(int64_t seconds) {
    const LocalDateTime t = civilFromEpochSeconds(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

}  // namespace vrn::records
