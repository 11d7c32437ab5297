#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/chart/decimation.h"
#include "core/chart/record_file_reader.h"
#include "core/chart/record_table.h"
#include "core/records/record_text.h"

namespace vrn::chart {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

setup::RecordField field(const char* label, int type, int width = 6, int precision = 1) {
    return {label, type, width, precision};
}

std::vector<uint8_t> bytesOf(const std::vector<float>& values) {
    std::vector<uint8_t> bytes;
    for (const float v : values) {
        const auto bits = std::bit_cast<uint32_t>(v);
        for (int b = 0; b < 4; ++b)
            bytes.push_back(static_cast<uint8_t>(bits >> (8 * b)));
    }
    return bytes;
}

// The record text file Get Records writes for these records.
std::string recordFile(const records::RecordBlock& block, char delimiter) {
    std::string file = records::recordFileHeader(block, delimiter, {2026, 7, 1, 12, 0, 0});
    records::appendRecordLines(file, block, 0, block.recordCount(), delimiter);
    return file;
}

bool sameValue(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

// A file read back gives what the records themselves give: the same x, labels and readings.
TEST(ChartRecordFile, ReadsBackWhatGetRecordsWrote) {
    struct Row {
        const char* name;
        std::vector<setup::RecordField> fields;
        std::vector<float> values;
        char delimiter;
        bool dated;
    };
    const std::vector<Row> rows = {
        {"date and time give x, comma",
         {field("WIND SPEED", 0), field("DATE", 1), field("TIME", 2), field("AIR TEMP", 0, 5, 2)},
         {3.5f, 260701.0f, 120000.0f, -1.25f, kNaN, 260701.0f, 120015.0f, 2.0f, 4.0f, 260701.0f, 120030.0f,
          kNaN},
         ',',
         true},
        {"default labels hold blanks, blank delimiter",
         {field("FIELD 01", 0), field("FIELD 02", 1), field("FIELD 03", 2)},
         {1.0f, 110315.0f, 93005.0f, 2.0f, 110315.0f, 93010.0f},
         ' ',
         true},
        {"missing time leaves the record without x, tab",
         {field("RH", 0), field("DATE", 1), field("TIME", 2)},
         {50.0f, 260701.0f, kNaN, 51.0f, 260701.0f, 235959.0f},
         '\t',
         true},
        {"impossible date leaves the record without x",
         {field("RH", 0), field("DATE", 1), field("TIME", 2)},
         {50.0f, 110230.0f, 10000.0f, 51.0f, -1.0f, 10000.0f},
         ',',
         true},
        {"without a time field x is the record number",
         {field("BARO", 0, 6, 1), field("DATE", 1)},
         {1013.2f, 260701.0f, 1012.8f, 260702.0f},
         ',',
         false},
        {"a field without a type is no series",
         {field("A", 0), field("NONE", 3), field("B", 0)},
         {1.0f, 0.0f, 2.0f, 3.0f, 0.0f, 4.0f},
         ',',
         false},
    };
    for (const Row& row : rows) {
        const auto bytes = bytesOf(row.values);
        const records::RecordBlock block(row.fields, bytes);
        const RecordTable expected = tableFromBlock(block);
        const RecordFileRead read = readRecordFile(recordFile(block, row.delimiter));
        ASSERT_TRUE(read.table) << row.name << ": " << read.error;
        const RecordTable& got = *read.table;
        EXPECT_EQ(got.dated, row.dated) << row.name;
        EXPECT_EQ(got.dated, expected.dated) << row.name;
        EXPECT_EQ(got.labels, expected.labels) << row.name;
        ASSERT_EQ(got.recordCount(), expected.recordCount()) << row.name;
        for (size_t r = 0; r < got.recordCount(); ++r)
            EXPECT_TRUE(sameValue(got.x[r], expected.x[r])) << row.name << " x of record " << r;
        ASSERT_EQ(got.seriesCount(), expected.seriesCount()) << row.name;
        for (size_t s = 0; s < got.seriesCount(); ++s)
            for (size_t r = 0; r < got.recordCount(); ++r) {
                const float g = got.values[s][r];
                const float e = expected.values[s][r];
                EXPECT_EQ(std::isnan(g), std::isnan(e))
                    << row.name << " gap of series " << s << " record " << r;
                if (!std::isnan(e)) {
                    EXPECT_NEAR(g, e, 0.06) << row.name << " series " << s << " record " << r;
                }
            }
    }
}

TEST(ChartRecordFile, XIsTheClockWithoutTimeZone) {
    EXPECT_EQ(epochSeconds(1970, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(epochSeconds(2011, 3, 15, 9, 30, 5), 1300181405);
    const RecordFileRead read =
        readRecordFile("1 RECORDS\r\n07-01-2026 12:00:00\r\nT,D,H\r\n0012.5,03/15/2011,09:30:05\r\n");
    ASSERT_TRUE(read.table) << read.error;
    EXPECT_TRUE(read.table->dated);
    EXPECT_EQ(read.table->x.at(0), 1300181405.0);
    EXPECT_EQ(read.table->values.at(0).at(0), 12.5f);
    EXPECT_EQ(read.table->labels, std::vector<std::string>{"T"});
}

// An archive's records are drawn at the UTC times they are kept under, not at their instrument's
// clock, so the chart agrees with the range asked for.
TEST(ChartRecordFile, ArchiveRecordsAreDrawnOnUtc) {
    const std::vector<setup::RecordField> format{field("DATE", 1), field("TIME", 2), field("T", 0)};
    // The instrument's clock runs two hours ahead of UTC.
    const std::vector<uint8_t> bytes = bytesOf({110315, 93005, 12.5F, 110315, 94005, 13.5F});
    const records::RecordBlock block(format, bytes);
    const int64_t utc = epochSeconds(2011, 3, 15, 7, 30, 5);
    const RecordTable onClock = tableFromBlock(block);
    EXPECT_FALSE(onClock.utc);
    EXPECT_EQ(onClock.x, (std::vector<double>{utc + 7200.0, utc + 7800.0}));
    const RecordTable archived = tableFromArchive(block, {utc, utc + 600});
    EXPECT_TRUE(archived.dated);
    EXPECT_TRUE(archived.utc);
    EXPECT_EQ(archived.x, (std::vector<double>{static_cast<double>(utc), utc + 600.0}));
    EXPECT_EQ(archived.values, onClock.values);
}

std::string repeated(const std::string& line, size_t times) {
    std::string out;
    out.reserve(line.size() * times);
    for (size_t k = 0; k < times; ++k)
        out += line;
    return out;
}

TEST(ChartRecordFile, RefusesWhatIsNotARecordFile) {
    struct Row {
        const char* name;
        std::string text;
        const char* error;  // part of the reason given
    };
    const std::string head = "2 RECORDS\r\n07-01-2026 12:00:00\r\nA,B\r\n";
    const std::vector<Row> rows = {
        {"empty", "", "N RECORDS"},
        {"a setup file's bytes", std::string("\x01\x00\x03", 3), "N RECORDS"},
        {"count not a number", "X RECORDS\r\n\r\nA\r\n1\r\n", "N RECORDS"},
        {"header only", "0 RECORDS\r\n07-01-2026 12:00:00\r\nA\r\n", "no records"},
        {"a record with a field more", head + "1,2\r\n1,2,3\r\n", "line 5 has 3 fields"},
        {"letters in a number", head + "1,2\r\n1,2x\r\n", "line 5, field 2"},
        {"a date among numbers", head + "1,2\r\n1,03/15/2011\r\n", "does not match"},
        {"an exponent", head + "1e5,2\r\n", "not a number"},
        {"nan is no number", head + "nan,2\r\n", "not a number"},
        {"a reading in a field without a type", head + "1,\r\n1,-99999\r\n", "without a type"},
        // No more than a retrieval writes, whatever the file claims: its memory is reserved by them.
        {"26 fields", head + std::string(25, ',') + "\r\n", "the first record has 26 fields"},
        {"a million fields", head + std::string(1000000, ',') + "\r\n",
         "the first record has 1000001 fields"},
        {"one record more than 25 fields allow",
         head + repeated("1,2,3,4,5,6,7,8,9,1,2,3,4,5,6,7,8,9,1,2,3,4,5,6,7\r\n", 86508),
         "line 86511: more than the 86507 records"},
    };
    for (const Row& row : rows) {
        const RecordFileRead read = readRecordFile(row.text);
        EXPECT_FALSE(read.table) << row.name;
        EXPECT_NE(read.error.find(row.error), std::string::npos) << row.name << ": " << read.error;
    }
}

TEST(ChartRecordFile, LabelsThatDoNotDivideGetDefaultNames) {
    const RecordFileRead read = readRecordFile("1 RECORDS\r\n\r\nWIND SPEED AIR\r\n1.0 2.0\r\n");
    ASSERT_TRUE(read.table) << read.error;
    EXPECT_EQ(read.table->labels, (std::vector<std::string>{"FIELD 01", "FIELD 02"}));
}

size_t pointCount(const std::vector<LineRun>& runs) {
    size_t n = 0;
    for (const LineRun& run : runs)
        n += run.size();
    return n;
}

// Every drawn point is a reading at its own x, and no run crosses a gap wider than a bucket.
void expectFaithful(const std::vector<LineRun>& runs, const std::vector<double>& x,
                    const std::vector<float>& y, double bucketWidth, const char* name) {
    for (const LineRun& run : runs) {
        EXPECT_FALSE(run.empty()) << name;
        for (size_t p = 0; p < run.size(); ++p) {
            const auto i = static_cast<size_t>(std::find(x.begin(), x.end(), run[p].x) - x.begin());
            ASSERT_LT(i, x.size()) << name;
            EXPECT_EQ(run[p].y, static_cast<double>(y[i])) << name;
            if (p == 0) continue;
            const auto prev = static_cast<size_t>(std::find(x.begin(), x.end(), run[p - 1].x) - x.begin());
            bool gap = false;
            for (size_t k = prev + 1; k < i; ++k)
                gap = gap || std::isnan(y[k]);
            EXPECT_FALSE(gap && x[i] - x[prev] > bucketWidth)
                << name << ": the line crosses the gap before " << i;
        }
    }
}

TEST(ChartDecimation, KeepsTheEnvelopeAndTheGaps) {
    struct Row {
        const char* name;
        std::vector<float> y;
        double lo, hi;
        size_t buckets;
        size_t runs;
        size_t maxPoints;
    };
    std::vector<float> wave(10000);
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = static_cast<float>(std::sin(static_cast<double>(i) / 50.0) * 10.0);
    std::vector<float> holed = wave;
    for (size_t i = 4000; i < 5000; ++i)
        holed[i] = kNaN;
    std::vector<float> pinholed = wave;
    for (size_t i = 4000; i < 4100; ++i)
        pinholed[i] = kNaN;
    std::vector<float> alternate(10000);
    for (size_t i = 0; i < alternate.size(); ++i)
        alternate[i] = i % 2 == 0 ? static_cast<float>(i) : kNaN;
    const std::vector<Row> rows = {
        {"fewer readings than buckets are all kept", {1, 5, 2, 8}, 0, 3, 100, 1, 4},
        {"a missing reading splits the line", {1, 5, kNaN, 2, 8}, 0, 4, 100, 2, 4},
        {"gaps at the ends make no empty runs", {kNaN, 1, 5, kNaN}, 0, 3, 100, 1, 2},
        {"a long wave is cut to its buckets", wave, 0, 9999, 50, 1, 50 * 4},
        {"a hole wider than a bucket stays a hole", holed, 0, 9999, 50, 2, 50 * 4},
        {"a hole narrower than a bucket is bridged", pinholed, 0, 9999, 50, 1, 50 * 4},
        {"zoomed in, the narrow hole shows", pinholed, 3900, 4199, 300, 2, 300 * 4},
        {"a zoom keeps only the range shown", wave, 1000, 1999, 10, 1, 10 * 4},
        {"every other reading missing, far out: one line", alternate, 0, 9999, 20, 1, 20 * 4},
        {"every other reading missing, close up: each point alone", alternate, 0, 9, 100, 5, 5},
        {"all missing draws nothing", {kNaN, kNaN}, 0, 1, 10, 0, 0},
    };
    for (const Row& row : rows) {
        std::vector<double> x(row.y.size());
        for (size_t i = 0; i < x.size(); ++i)
            x[i] = static_cast<double>(i);
        const std::vector<LineRun> runs = decimate(x, row.y, row.lo, row.hi, row.buckets);
        EXPECT_EQ(runs.size(), row.runs) << row.name;
        EXPECT_LE(pointCount(runs), row.maxPoints) << row.name;
        expectFaithful(runs, x, row.y, (row.hi - row.lo) / static_cast<double>(row.buckets), row.name);
        // The smallest and largest reading shown are those of the readings in range.
        double lo = INFINITY, hi = -INFINITY, drawnLo = INFINITY, drawnHi = -INFINITY;
        for (size_t i = 0; i < x.size(); ++i)
            if (x[i] >= row.lo && x[i] <= row.hi && !std::isnan(row.y[i])) {
                lo = std::min(lo, static_cast<double>(row.y[i]));
                hi = std::max(hi, static_cast<double>(row.y[i]));
            }
        for (const LineRun& run : runs)
            for (const ChartPoint& p : run) {
                EXPECT_GE(p.x, row.lo) << row.name;
                EXPECT_LE(p.x, row.hi) << row.name;
                drawnLo = std::min(drawnLo, p.y);
                drawnHi = std::max(drawnHi, p.y);
            }
        if (!std::isinf(lo)) {
            EXPECT_EQ(drawnLo, lo) << row.name;
            EXPECT_EQ(drawnHi, hi) << row.name;
        }
    }
}

TEST(ChartDecimation, RecordsWithoutXAreGaps) {
    const std::vector<double> x = {0, 1, std::nan(""), 3, 4};
    const std::vector<float> y = {1, 2, 3, 4, 5};
    const auto runs = decimate(x, y, 0, 4, 100);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].back().x, 1.0);
    EXPECT_EQ(runs[1].front().x, 3.0);
}

}  // namespace
}  // namespace vrn::chart
