#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/setup/baud_codes.h"
#include "core/setup/field_block.h"
#include "core/setup/send_check.h"
#include "core/setup/setup_model.h"
#include "core/text/cp1252.h"
#include "core/text/utf8.h"

namespace vrn {
namespace {

using namespace setup;

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::vector<uint8_t> all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<uint8_t>(b));
    const std::string utf8 = text::cp1252ToUtf8(all);
    const std::string back = text::utf8ToCp1252(utf8);
    EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.end()), all);
}

TEST(Cp1252, ConvertsTheCharactersOfTheCodePage) {
    struct Row {
        const char* name;
        std::string utf8;
        std::string bytes;
    } rows[] = {
        {"ASCII", "FIELD 01", "FIELD 01"},
        {"degree sign", "\u00B0C",
         "\xB0"
         "C"},
        {"euro and quotes", "\u20AC\u201C\u201D", "\x80\x93\x94"},
        {"outside the code page", "\u4E2D", "?"},
        {"malformed UTF-8", "\xC3", "?"},
        {"overlong encoding", "\xC0\xAF", "??"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(text::utf8ToCp1252(r.utf8), r.bytes) << r.name;
    }
    EXPECT_EQ(text::cp1252ToUtf8(std::string("\xB0\x80")), "\u00B0\u20AC");
}

TEST(Utf8, CountsAndCutsByCharacter) {
    EXPECT_EQ(text::utf8Length("\u00B0\u20AC"
                               "ab"),
              4u);
    EXPECT_EQ(text::utf8Left("\u00B0\u20AC"
                             "ab",
                             2),
              "\u00B0\u20AC");
    EXPECT_EQ(text::utf8Left("abc", 5), "abc");
}

TEST(BaudCodes, TableBothWays) {
    const int codes[] = {12, 24, 48, 96, 19, 38, 115, 230};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(baudCodeOfIndex(i), codes[i]);
        EXPECT_EQ(baudIndexOfCode(codes[i]), i);
    }
    EXPECT_EQ(baudCodeOfIndex(-1), 0);
    EXPECT_EQ(baudCodeOfIndex(8), 0);
    EXPECT_FALSE(baudIndexOfCode(0).has_value());
    EXPECT_FALSE(baudIndexOfCode(-96).has_value());
}

TEST(FieldBlock, EncodesTheTableLayout) {
    RecordField f;
    f.label = "Wind \u00B0";
    f.type = 2;
    f.width = 9;
    f.precision = 6;
    const FieldBlock b = encodeFieldBlock(f);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 7), std::string("Wind \xB0") + '\0');
    for (size_t i = 6; i < 28; ++i)
        EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(b[28], 2);
    EXPECT_EQ(b[29], 9);
    EXPECT_EQ(b[30], 6);
    EXPECT_EQ(b[31], 0);

    f.label = std::string(25, 'X');
    const FieldBlock full = encodeFieldBlock(f);
    EXPECT_EQ(full[24], 'X');
    EXPECT_EQ(full[25], 0);
}

TEST(FieldBlock, DecodesAndRejects) {
    auto block = [](std::string label, uint8_t type, uint8_t width, uint8_t precision) {
        std::vector<uint8_t> b(32, 0);
        std::copy(label.begin(), label.end(), b.begin());
        b[28] = type;
        b[29] = width;
        b[30] = precision;
        return b;
    };
    using S = DecodedField::Status;
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        S status;
        std::string label;
    } rows[] = {
        {"plain", block("T1", 1, 5, 2), S::Ok, "T1"},
        {"Windows-1252 label",
         block("\xB0"
               "C",
               0, 5, 2),
         S::Ok, "\u00B0C"},
        {"bytes after the zero are ignored", block(std::string("AB\0junk", 7), 0, 5, 2), S::Ok, "AB"},
        {"25 characters", block(std::string(25, 'a'), 0, 5, 7), S::Ok, std::string(25, 'a')},
        {"26 characters", block(std::string(26, 'a'), 0, 5, 2), S::LabelTooLong, ""},
        {"type 3", block("x", 3, 5, 2), S::ValueTooLarge, "x"},
        {"width 10", block("x", 0, 10, 2), S::ValueTooLarge, "x"},
        {"precision 8", block("x", 0, 5, 8), S::ValueTooLarge, "x"},
        {"31 bytes", std::vector<uint8_t>(31, 'a'), S::TooShort, ""},
    };
    for (const Row& r : rows) {
        const DecodedField d = decodeFieldBlock(r.bytes);
        EXPECT_EQ(d.status, r.status) << r.name;
        EXPECT_EQ(d.label, r.label) << r.name;
    }
}

TEST(FieldBlock, RecordFormatsStopAtTheFirstBadBlock) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < kFieldCount; ++i) {
        RecordField f;
        f.label = defaultFieldLabel(i);
        const FieldBlock b = encodeFieldBlock(f);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    DecodedFormats all = decodeRecordFormats(bytes);
    EXPECT_TRUE(all.ok);
    ASSERT_EQ(all.rows.size(), 25u);
    EXPECT_EQ(all.rows[24].label, "FIELD 25");

    bytes[5 * 32 + 29] = 200;
    DecodedFormats bad = decodeRecordFormats(bytes);
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.rows.size(), 6u);

    bytes.resize(799);
    bytes[5 * 32 + 29] = 1;
    DecodedFormats cut = decodeRecordFormats(bytes);
    EXPECT_FALSE(cut.ok);
    EXPECT_EQ(cut.rows.back().status, DecodedField::Status::TooShort);
}

TEST(SetupModel, DefaultsAndControlRanges) {
    SetupModel m;
    EXPECT_EQ(m.com1Type(), 0);
    EXPECT_EQ(m.com1Baud(), 3);
    EXPECT_EQ(m.com2Baud(), 3);
    EXPECT_EQ(m.interval(), 1);
    EXPECT_EQ(m.fieldsPerRecord(), 1);
    EXPECT_EQ(m.scrollPause(), 1);
    EXPECT_EQ(m.scrollEnd(), 8);
    EXPECT_TRUE(m.usePcTime());
    EXPECT_EQ(m.field(0).label, "FIELD 01");
    EXPECT_EQ(m.field(24).label, "FIELD 25");
    EXPECT_EQ(m.field(7).width, 7);
    EXPECT_EQ(m.field(7).precision, 1);

    m.setInterval(-4);
    EXPECT_EQ(m.interval(), 0);
    m.setFieldsPerRecord(26);
    EXPECT_EQ(m.fieldsPerRecord(), 25);
    m.setScrollEnd(4000000000LL);
    EXPECT_EQ(m.scrollEnd(), 8);
    m.setWidth(3, 0);
    EXPECT_EQ(m.field(3).width, 1);
    m.setPrecision(3, 7);
    EXPECT_EQ(m.field(3).precision, 6);
    m.setCom2Baud(-7);
    EXPECT_EQ(m.com2Baud(), -1);
    m.setLabel(0, std::string(30, '\xB0'));
    m.setLabel(0, "\u00B0" + std::string(30, 'x'));
    EXPECT_EQ(text::utf8Length(m.field(0).label), 25u);
}

TEST(SendCheck, DateAndTimeTexts) {
    struct Row {
        const char* text;
        bool date;
        bool ok;
    } rows[] = {
        {"01-01-2000", true, true},  {"12-31-2099", true, true},  {"02-29-2028", true, true},
        {"02-29-2100", true, false}, {"12-31-1999", true, false}, {"00-10-2026", true, false},
        {"04-31-2026", true, false}, {"4-30-2026", true, false},  {"04/30/2026", true, false},
        {"", true, false},           {"00:00:00", false, true},   {"23:59:59", false, true},
        {"23:60:00", false, false},  {"-1:00:00", false, false},  {"12:00", false, false},
    };
    for (const Row& r : rows) {
        const bool ok = r.date ? parseDateText(r.text).has_value() : parseTimeText(r.text).has_value();
        EXPECT_EQ(ok, r.ok) << r.text;
    }
}

TEST(SendCheck, EmptyListsAndTypesAreRefused) {
    SetupModel m;
    m.setDate("06-15-2026");
    m.setTime("10:00:00");
    EXPECT_FALSE(checkSetupForSend(m).has_value());
    m.setType(4, 3);
    EXPECT_EQ(checkSetupForSend(m),
              "Cannot Send Setup.\nField 05 has no type.\nChoose Number, Date or Time.");
    m.setType(4, 0);
    m.setCom2Baud(-1);
    EXPECT_EQ(checkSetupForSend(m), "Cannot Send Setup.\nNo COM2 baud rate is selected.");
}

}  // namespace
}  // namespace vrn
