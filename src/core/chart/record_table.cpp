#include "core/chart/record_table.h"

#include <cmath>
#include <limits>

#include "core/records/record_text.h"

namespace vrn::chart {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

bool isLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

// The value as the record file's formatting reads it: truncated toward zero, taken as unsigned 32 bits.
std::optional<uint32_t> wholeOf(float value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double t = std::trunc(static_cast<double>(value));
    if (t < -2147483648.0 || t > 4294967295.0) return std::nullopt;
    return static_cast<uint32_t>(static_cast<int64_t>(t));
}

}  // namespace

int64_t epochSeconds(int year, int month, int day, int hour, int minute, int second) {
    // Days from civil (proleptic Gregorian), the inverse of the clock's conversion.
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t days = int64_t{era} * 146097 + doe - 719468;
    return days * kSecondsPerDay + int64_t{hour} * 3600 + int64_t{minute} * 60 + second;
}

std::optional<int64_t> dateSeconds(int64_t year, int64_t month, int64_t day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12) return std::nullopt;
    const auto y = static_cast<int>(year);
    const auto m = static_cast<int>(month);
    if (day < 1 || day > daysInMonth(y, m)) return std::nullopt;
    return epochSeconds(y, m, static_cast<int>(day), 0, 0, 0);
}

std::optional<int64_t> timeSeconds(int64_t hour, int64_t minute, int64_t second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
    return hour * 3600 + minute * 60 + second;
}

std::optional<int64_t> dayOfRecordDate(float value) {
    const auto v = wholeOf(value);
    if (!v) return std::nullopt;
    return dateSeconds(*v / 10000 + 2000, *v % 10000 / 100, *v % 100);
}

std::optional<int64_t> secondOfRecordTime(float value) {
    const auto v = wholeOf(value);
    if (!v) return std::nullopt;
    return timeSeconds(*v / 10000, *v % 10000 / 100, *v % 100);
}

RecordTable tableFromBlock(const records::RecordBlock& block) {
    RecordTable table;
    std::optional<size_t> dateField;
    std::optional<size_t> timeField;
    std::vector<size_t> numberFields;
    for (size_t k = 0; k < block.fieldCount(); ++k) {
        switch (block.field(k).type) {
        case 0:
            numberFields.push_back(k);
            table.labels.push_back(block.field(k).label);
            break;
        case 1:
            if (!dateField) dateField = k;
            break;
        case 2:
            if (!timeField) timeField = k;
            break;
        default:
            break;
        }
    }
    const size_t n = block.recordCount();
    table.dated = dateField && timeField;
    table.x.resize(n);
    for (size_t r = 0; r < n; ++r) {
        if (!table.dated) {
            table.x[r] = static_cast<double>(r + 1);
            continue;
        }
        const auto day = dayOfRecordDate(block.value(r, *dateField));
        const auto second = secondOfRecordTime(block.value(r, *timeField));
        table.x[r] =
            day && second ? static_cast<double>(*day + *second) : std::numeric_limits<double>::quiet_NaN();
    }
    table.values.resize(numberFields.size());
    for (size_t s = 0; s < numberFields.size(); ++s) {
        std::vector<float>& series = table.values[s];
        series.resize(n);
        for (size_t r = 0; r < n; ++r) {
            const float v = block.value(r, numberFields[s]);
            series[r] = std::isfinite(v) ? v : std::numeric_limits<float>::quiet_NaN();
        }
    }
    return table;
}

RecordTable tableFromArchive(const records::RecordBlock& block, const std::vector<int64_t>& utc) {
    RecordTable table = tableFromBlock(block);
    if (utc.size() != table.recordCount()) return table;
    table.dated = true;
    table.utc = true;
    for (size_t r = 0; r < utc.size(); ++r)
        table.x[r] = static_cast<double>(utc[r]);
    return table;
}

std::optional<size_t> findSeries(const RecordTable& table, std::string_view label) {
    for (size_t s = 0; s < table.labels.size(); ++s)
        if (table.labels[s] == label) return s;
    return std::nullopt;
}

std::optional<Range> xRange(const RecordTable& table) {
    std::optional<Range> range;
    for (const double x : table.x) {
        if (!std::isfinite(x)) continue;
        if (!range) {
            range = Range{x, x};
        } else {
            range->lo = std::min(range->lo, x);
            range->hi = std::max(range->hi, x);
        }
    }
    return range;
}

}  // namespace vrn::chart
