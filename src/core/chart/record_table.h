#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrn::records {
class RecordBlock;
}

namespace vrn::chart {

// Records as a chart draws them: one x per record and one series of values per Number field.
struct RecordTable {
    // True when x is each record's date and time, as seconds since 1970-01-01 00:00 of the
    // instrument's clock (no time zone); false when x is the record's number from 1.
    bool dated = false;
    // True when a dated x is UTC (records of an archive) instead of the instrument's clock.
    bool utc = false;
    // NaN for a dated record whose date or time is missing or impossible.
    std::vector<double> x;
    // The Number fields' labels (UTF-8) and values, one entry per field, one value per record;
    // a missing reading is NaN.
    std::vector<std::string> labels;
    std::vector<std::vector<float>> values;

    size_t recordCount() const { return x.size(); }
    size_t seriesCount() const { return labels.size(); }
};

// Seconds since 1970-01-01 of a civil date and time, no time zone.
int64_t epochSeconds(int year, int month, int day, int hour, int minute, int second);

// A date's midnight and a time's second of the day; none for an impossible one (a 13th month, a
// 30th of February, a 61st second).
std::optional<int64_t> dateSeconds(int64_t year, int64_t month, int64_t day);
std::optional<int64_t> timeSeconds(int64_t hour, int64_t minute, int64_t second);

// A Date field's YYMMDD and a Time field's HHMMSS, read as the record file shows them; none when
// missing or impossible (a 13th month, a 61st second).
std::optional<int64_t> dayOfRecordDate(float value);
std::optional<int64_t> secondOfRecordTime(float value);

// The retrieved records: Date and Time fields give x when the format has both, Number fields a series.
RecordTable tableFromBlock(const records::RecordBlock& block);

// Records of an archive: x is the UTC time each record is kept under, one per record.
RecordTable tableFromArchive(const records::RecordBlock& block, const std::vector<int64_t>& utc);

// The index of the series with this label; none when no Number field has it.
std::optional<size_t> findSeries(const RecordTable& table, std::string_view label);

// The smallest and largest finite x; none when no record has one.
struct Range {
    double lo = 0;
    double hi = 0;
};
std::optional<Range> xRange(const RecordTable& table);

}  // namespace vrn::chart
