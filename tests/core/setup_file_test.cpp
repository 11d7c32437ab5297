#include "core/setup/setup_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/setup/setup_model.h"

namespace vrn::setup {
namespace {

int32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<int32_t>(uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
                                uint32_t{b[at + 3]} << 24);
}

void putLe32(std::vector<uint8_t>& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

SetupModel distinctModel() {
    SetupModel m;
    m.setCom1Type(1);
    m.setCom1Baud(7);
    m.setCom2Baud(2);
    m.setStopOnError(true);
    m.setKeyLock(true);
    m.setInterval(55);
    m.setFieldsPerRecord(2);
    m.setAutoScroll(true);
    m.setScrollPause(33);
    m.setScrollEnd(6);
    for (int i = 0; i < kFieldCount; ++i) {
        m.setLabel(i, std::string("L").append(std::to_string(i * 7)));
        m.setType(i, i % 3);
        m.setWidth(i, 1 + i % 9);
        m.setPrecision(i, i % 7);
    }
    m.setLabel(0, "ABCDEFGHIJKLMNOPQRSTUVWXY");
    m.setLabel(1, "");
    m.setLabel(2, "Temp \u00B0C \u20AC");
    return m;
}

void expectSameFileValues(const SetupModel& a, const SetupModel& b) {
    EXPECT_EQ(a.com1Type(), b.com1Type());
    EXPECT_EQ(a.com1Baud(), b.com1Baud());
    EXPECT_EQ(a.com2Baud(), b.com2Baud());
    EXPECT_EQ(a.stopOnError(), b.stopOnError());
    EXPECT_EQ(a.keyLock(), b.keyLock());
    EXPECT_EQ(a.interval(), b.interval());
    EXPECT_EQ(a.fieldsPerRecord(), b.fieldsPerRecord());
    EXPECT_EQ(a.autoScroll(), b.autoScroll());
    EXPECT_EQ(a.scrollPause(), b.scrollPause());
    EXPECT_EQ(a.scrollEnd(), b.scrollEnd());
    for (int i = 0; i < kFieldCount; ++i) {
        EXPECT_EQ(a.field(i).label, b.field(i).label) << i;
        EXPECT_EQ(a.field(i).type, b.field(i).type) << i;
        EXPECT_EQ(a.field(i).width, b.field(i).width) << i;
        EXPECT_EQ(a.field(i).precision, b.field(i).precision) << i;
    }
}

TEST(SetupFile, SaveAndOpenRestoresEveryValueButDateTimeAndPcTime) {
    const SetupModel saved = distinctModel();
    const std::vector<uint8_t> bytes = writeSetupFile(saved);
    ASSERT_EQ(bytes.size(), kSetupFileSize);
    SetupModel opened;
    opened.setUsePcTime(false);
    opened.setDate("03-04-2025");
    opened.setTime("01:02:03");
    readSetupFile(bytes, opened);
    expectSameFileValues(saved, opened);
    EXPECT_FALSE(opened.usePcTime());
    EXPECT_EQ(opened.date(), "03-04-2025");
    EXPECT_EQ(opened.time(), "01:02:03");
    // Fields per record 2: two rows in use, all 25 loaded.
    EXPECT_TRUE(opened.rowEnabled(1));
    EXPECT_FALSE(opened.rowEnabled(2));
    EXPECT_EQ(opened.field(24).label, "L168");
}

TEST(SetupFile, ByteLayoutFollowsTheTable) {
    const SetupModel m = distinctModel();
    const std::vector<uint8_t> b = writeSetupFile(m);
    struct Row {
        const char* name;
        size_t offset;
        int32_t value;
    } rows[] = {
        {"COM2 index", 0, 2},
        {"stop on error", 4, 1},
        {"keypad lock", 8, 1},
        {"interval", 12, 55},
        {"fields per record", 16, 2},
        {"auto scroll", 20, 1},
        {"scroll pause", 24, 33},
        {"scroll end", 28, 6},
        {"field 1 type", 32 + 26, 0},
        {"field 1 width", 32 + 30, 1},
        {"field 1 precision", 32 + 34, 0},
        {"field 25 type", 32 + 38 * 24 + 26, 0},
        {"field 25 width", 32 + 38 * 24 + 30, 7},
        {"field 25 precision", 32 + 38 * 24 + 34, 3},
        {"COM1 index", 982, 7},
        {"COM1 type", 986, 1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(le32(b, r.offset), r.value) << r.name;
    // Little-endian byte by byte, not just by value.
    EXPECT_EQ(b[12], 55);
    EXPECT_EQ(b[13], 0);
    EXPECT_EQ(b[982], 7);

    // A 25-character label is followed by one zero; an empty one is 26 zeros.
    const std::string first(b.begin() + 32, b.begin() + 32 + 26);
    EXPECT_EQ(first, std::string("ABCDEFGHIJKLMNOPQRSTUVWXY") + '\0');
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 70, b.begin() + 70 + 26), std::vector<uint8_t>(26, 0));
    // Labels are Windows-1252 on disk: the degree sign is 0xB0, the euro sign 0x80.
    const std::vector<uint8_t> third(b.begin() + 108, b.begin() + 108 + 11);
    EXPECT_EQ(third, (std::vector<uint8_t>{'T', 'e', 'm', 'p', ' ', 0xB0, 'C', ' ', 0x80, 0, 0}));
}

TEST(SetupFile, A982ByteFileLeavesCom1AsItWas) {
    std::vector<uint8_t> bytes = writeSetupFile(distinctModel());
    bytes.resize(kSetupFileSizeWithoutCom1);
    SetupModel m;
    m.setCom1Type(0);
    m.setCom1Baud(1);
    readSetupFile(bytes, m);
    EXPECT_EQ(m.com1Type(), 0);
    EXPECT_EQ(m.com1Baud(), 1);
    EXPECT_EQ(m.field(24).label, "L168");
    EXPECT_EQ(m.interval(), 55);
}

TEST(SetupFile, ShortFilesLoadWhatTheyHold) {
    const std::vector<uint8_t> full = writeSetupFile(distinctModel());
    struct Row {
        const char* name;
        size_t size;
        int interval;        // default 1
        int fields;          // default 1
        std::string label0;  // default "FIELD 01"
        int width0;          // default 7
        std::string label24;
        int com1Baud;  // default 3
    } rows[] = {
        {"empty", 0, 1, 1, "FIELD 01", 7, "FIELD 25", 3},
        {"half an integer", 14, 1, 1, "FIELD 01", 7, "FIELD 25", 3},
        {"up to the interval", 16, 55, 1, "FIELD 01", 7, "FIELD 25", 3},
        {"header only", 32, 55, 2, "FIELD 01", 7, "FIELD 25", 3},
        {"first label only", 58, 55, 2, "ABCDEFGHIJKLMNOPQRSTUVWXY", 7, "FIELD 25", 3},
        {"first field and the type of the second", 32 + 38 + 30, 55, 2, "ABCDEFGHIJKLMNOPQRSTUVWXY", 1,
         "FIELD 25", 3},
        {"COM1 index without its type", 986, 55, 2, "ABCDEFGHIJKLMNOPQRSTUVWXY", 1, "L168", 7},
        {"longer than a setup file", 2000, 55, 2, "ABCDEFGHIJKLMNOPQRSTUVWXY", 1, "L168", 7},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<uint8_t> bytes = full;
        bytes.resize(r.size, 0xEE);
        SetupModel m;
        readSetupFile(bytes, m);
        EXPECT_EQ(m.interval(), r.interval);
        EXPECT_EQ(m.fieldsPerRecord(), r.fields);
        EXPECT_EQ(m.field(0).label, r.label0);
        EXPECT_EQ(m.field(0).width, r.width0);
        EXPECT_EQ(m.field(24).label, r.label24);
        EXPECT_EQ(m.com1Baud(), r.com1Baud);
        EXPECT_EQ(m.com1Type(), r.size >= 990 ? 1 : 0);
    }
}

TEST(SetupFile, OutOfDomainValuesAreHandedToTheControls) {
    std::vector<uint8_t> b = writeSetupFile(SetupModel{});
    putLe32(b, 0, 12);               // COM2 index past the list: the last item
    putLe32(b, 4, -3);               // stop on error: any non-zero checks it
    putLe32(b, 12, 1000);            // interval 0..99
    putLe32(b, 16, 0);               // fields per record 1..25
    putLe32(b, 28, -5);              // scroll end 1..8
    putLe32(b, 32 + 26, 7);          // type: kept as read
    putLe32(b, 32 + 30, 0);          // width 1..9
    putLe32(b, 32 + 34, 7);          // precision 0..6
    putLe32(b, 32 + 38 + 26, -1);    // no type
    putLe32(b, 982, -9);             // COM1 index: nothing selected
    for (size_t i = 0; i < 26; ++i)  // a label without its zero
        b[32 + 38 * 2 + i] = 'Z';
    SetupModel m;
    // Each value the controls changed is reported with what it became; a flag or a type is not
    // changed, so not reported.
    EXPECT_EQ(readSetupFile(b, m), (std::vector<AdjustedValue>{{"COM2 BAUD", 12, "230.4K"},
                                                               {"INTERVAL", 1000, "99"},
                                                               {"FIELDS PER RECORD", 0, "1"},
                                                               {"SCROLL END SCREEN", -5, "1"},
                                                               {"FIELD 01 WIDTH", 0, "1"},
                                                               {"FIELD 01 PRECISION", 7, "6"},
                                                               {"COM1 BAUD", -9, "(none)"}}));
    EXPECT_EQ(adjustedValueText({"COM2 BAUD", 12, "230.4K"}),
              "COM2 BAUD 12 is out of range: taken as 230.4K");
    EXPECT_TRUE(readSetupFile(writeSetupFile(m), m).empty()) << "a file saved from the model is in range";
    EXPECT_EQ(m.com2Baud(), 7);
    EXPECT_TRUE(m.stopOnError());
    EXPECT_EQ(m.interval(), 99);
    EXPECT_EQ(m.fieldsPerRecord(), 1);
    EXPECT_EQ(m.scrollEnd(), 1);
    EXPECT_EQ(m.field(0).type, 7);
    EXPECT_FALSE(m.field(0).hasValidType());
    EXPECT_EQ(m.field(0).width, 1);
    EXPECT_EQ(m.field(0).precision, 6);
    EXPECT_EQ(m.field(1).type, -1);
    EXPECT_EQ(m.com1Baud(), -1);
    EXPECT_EQ(m.field(2).label, std::string(25, 'Z'));

    // What was read is saved again as it stands.
    const std::vector<uint8_t> again = writeSetupFile(m);
    EXPECT_EQ(le32(again, 32 + 26), 7);
    EXPECT_EQ(le32(again, 32 + 38 + 26), -1);
    EXPECT_EQ(le32(again, 982), -1);
}

TEST(SetupFile, ReadingReportsEveryChangeSoRowsFollowFieldsPerRecord) {
    SetupModel m;
    std::vector<int> seen;
    m.onChanged = [&] { seen.push_back(m.fieldsPerRecord()); };
    readSetupFile(writeSetupFile(distinctModel()), m);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 2);
}

}  // namespace
}  // namespace vrn::setup
