#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "core/records/record_text.h"
#include "core/records/value_format.h"

namespace vrn::records {
namespace {

using setup::RecordField;

RecordField field(int type, int width = 7, int precision = 1, std::string label = {}) {
    RecordField f;
    f.label = std::move(label);
    f.type = type;
    f.width = width;
    f.precision = precision;
    return f;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(RecordValueFormat, EachTypeAsTheFileAndDisplayShowIt) {
    struct Row {
        const char* name;
        float value;
        RecordField field;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {"number padded to width", 12.3f, field(0, 6, 1), "0012.3"},
        {"number wider than width is never cut", 12.345f, field(0, 4, 2), "12.35"},
        {"negative number padded after the sign", -1.5f, field(0, 6, 1), "-001.5"},
        {"negative zero keeps its sign", -0.04f, field(0, 5, 1), "-00.0"},
        {"precision 0 has no point", 7.5f, field(0, 3, 0), "008"},
        {"date from YYMMDD", 110315.0f, field(1), "03/15/2011"},
        {"date truncated toward zero", 110315.9f, field(1), "03/15/2011"},
        {"time from HHMMSS", 93005.0f, field(2), "09:30:05"},
        {"NaN in a date field is missing", kNaN, field(1), "-99999"},
        {"infinity in a number field is missing", -kInf, field(0, 6, 1), "-99999"},
        {"NaN in a time field is missing", kNaN, field(2), "-99999"},
        {"negative date wraps as unsigned", -1.0f, field(1), "72/95/431496"},
        {"date beyond 32 bits takes the indefinite integer", 3.0e9f, field(1), "36/48/216748"},
        {"time beyond 32 bits takes the indefinite integer", -3.0e9f, field(2), "214748:36:48"},
        {"field without a type writes nothing", 12.3f, field(3), ""},
        {"negative type writes nothing", 12.3f, field(-1), ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(formatValue(row.value, row.field), row.expected) << row.name;
}

// The numbers must come out exactly as "%0*.*f" prints them, rounding included.
TEST(RecordValueFormat, NumbersMatchPrintfOverWidthsPrecisionsAndMagnitudes) {
    const std::vector<float> values = {0.0f,    0.05f,    0.5f,     1.0f / 3.0f, 2.675f,     -2.675f,
                                       99.995f, 1013.25f, -40.125f, 1.0e-7f,     123456.79f, 16777217.0f,
                                       3.4e38f, -3.4e38f, 1.0e-38f, 0.125f,      -0.5f};
    for (float v : values)
        for (int width = 1; width <= 9; ++width)
            for (int precision = 0; precision <= 6; ++precision) {
                char expected[96];
                std::snprintf(expected, sizeof expected, "%0*.*f", width, precision, static_cast<double>(v));
                ASSERT_EQ(formatValue(v, field(0, width, precision)), expected)
                    << v << " width " << width << " precision " << precision;
            }
}

std::vector<uint8_t> le(const std::vector<float>& values) {
    std::vector<uint8_t> out;
    for (float v : values) {
        const auto bits = std::bit_cast<uint32_t>(v);
        for (int s = 0; s < 32; s += 8)
            out.push_back(static_cast<uint8_t>(bits >> s));
    }
    return out;
}

TEST(RecordText, FileBytesForThreeFieldsAndTwoRecordsWithEachDelimiter) {
    const std::vector<RecordField> fields = {field(0, 6, 1, "FIELD 01"), field(1, 7, 1, "FIELD 02"),
                                             field(2, 7, 1, "FIELD 03")};
    const auto bytes = le({12.3f, 110315.0f, 93005.0f, -1.5f, kNaN, 235959.0f});
    const RecordBlock block(fields, bytes);
    const LocalDateTime when{2026, 3, 7, 8, 9, 10};
    struct Row {
        int index;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {0,
         "2 RECORDS\r\n03-07-2026 08:09:10\r\nFIELD 01 FIELD 02 FIELD 03\r\n"
         "0012.3 03/15/2011 09:30:05\r\n-001.5 -99999 23:59:59\r\n"},
        {1,
         "2 RECORDS\r\n03-07-2026 08:09:10\r\nFIELD 01,FIELD 02,FIELD 03\r\n"
         "0012.3,03/15/2011,09:30:05\r\n-001.5,-99999,23:59:59\r\n"},
        {2,
         "2 RECORDS\r\n03-07-2026 08:09:10\r\nFIELD 01\tFIELD 02\tFIELD 03\r\n"
         "0012.3\t03/15/2011\t09:30:05\r\n-001.5\t-99999\t23:59:59\r\n"},
    };
    for (const Row& row : rows) {
        const char d = delimiterOf(row.index);
        std::string text = recordFileHeader(block, d, when);
        appendRecordLines(text, block, 0, 2, d);
        EXPECT_EQ(text, row.expected) << kDelimiterItems[row.index];
    }
}

TEST(RecordText, DisplayNumbersRecordsAndKeepsRangesInsideTheBlock) {
    const std::vector<RecordField> fields = {field(0, 6, 1), field(5)};
    // Two whole records and the start of a third, which is not used.
    const auto bytes = le({1.0f, 2.0f, -3.0f, 4.0f, 9.0f});
    const RecordBlock block(fields, bytes);
    ASSERT_EQ(block.recordCount(), 2u);
    std::string text;
    appendDisplayLines(text, block, 0, 1, ',');
    EXPECT_EQ(text, "0000001,0001.0,\r\n");
    text.clear();
    appendDisplayLines(text, block, 1, static_cast<size_t>(-1), '\t');
    EXPECT_EQ(text, "0000002\t-003.0\t\r\n");
    text.clear();
    appendRecordLines(text, block, 5, 3, ',');
    EXPECT_EQ(text, "");
    // Numbering the file's lines a step at a time: each step leaves the rest for the next.
    text.clear();
    const std::string_view rest = appendNumberedLines(text, "a\r\nb\r\nc\r\n", 9999999, 2, ' ');
    EXPECT_EQ(text, "9999999 a\r\n10000000 b\r\n");
    EXPECT_EQ(rest, "c\r\n");
}

TEST(RecordText, LabelsGoToTheFileInItsSingleByteCodePage) {
    const RecordBlock block({field(0, 6, 1,
                                   "TEMP \xC2\xB0"
                                   "C")},
                            {});
    EXPECT_EQ(recordFileHeader(block, ',', {}),
              "0 RECORDS\r\n01-01-2000 00:00:00\r\nTEMP \xB0"
              "C\r\n");
}

}  // namespace
}  // namespace vrn::records
