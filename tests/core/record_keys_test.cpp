#include "core/records/record_keys.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>

#include "core/records/record_text.h"

namespace vrn::records {
namespace {

constexpr int64_t kJan1 = 1767225600;  // 2026-01-01 00:00:00

TEST(RecordKeys, UtcOffsetsAndTimesAsTyped) {
    struct Offset {
        const char* text;
        std::optional<int> minutes;
    };
    const Offset offsets[] = {
        {"+01:00", 60}, {"-05:30", -330}, {"+14:00", 840}, {"Z", 0},       {"+02", 120},
        {"+14:01", {}}, {"01:00", {}},    {"+1:00", {}},   {"+01:60", {}}, {"", {}},
    };
    for (const Offset& o : offsets) {
        EXPECT_EQ(parseUtcOffset(o.text), o.minutes) << o.text;
        if (o.minutes && std::string_view(o.text).size() == 6) {
            EXPECT_EQ(utcOffsetText(*o.minutes), o.text);
        }
    }
    struct Time {
        const char* text;
        bool endOfDay;
        std::optional<int64_t> seconds;
    };
    const Time times[] = {
        {"2026-01-01", false, kJan1},
        {"2026-01-01", true, kJan1 + 86399},
        {"2026-01-01 10:30", true, kJan1 + 37800},
        {"2026-01-01T10:30:15Z", false, kJan1 + 37815},
        {"2026-02-29", false, {}},
        {"2026-01-01 24:00", false, {}},
        {"2026-1-01", false, {}},
        {"2026-01-01 10:30:1", false, {}},
        {"yesterday", false, {}},
    };
    for (const Time& t : times)
        EXPECT_EQ(parseUtcTime(t.text, t.endOfDay), t.seconds) << t.text;
    EXPECT_EQ(utcTimeText(kJan1 + 37815), "2026-01-01 10:30:15");
}

TEST(RecordKeys, EachRecordIsKeyedByItsFirstDateAndTimeFields) {
    const std::vector<setup::RecordField> fields = {
        {"T", 0, 5, 1}, {"TIME", 2, 6, 0}, {"DATE", 1, 6, 0}, {"DATE 2", 1, 6, 0}};
    const auto where = timeFieldsOf(fields);
    ASSERT_TRUE(where);
    EXPECT_EQ(where->date, 2U);
    EXPECT_EQ(where->time, 1U);
    EXPECT_FALSE(timeFieldsOf({{"T", 0, 5, 1}, {"DATE", 1, 6, 0}}));
    EXPECT_FALSE(timeFieldsOf({}));

    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {1, 103000, 260101, 0,   // 2026-01-01 10:30:00
                            1, kNaN,   260101, 0,   // no time
                            1, 103000, 261301, 0,   // a 13th month
                            1, 235959, 260228, 0};  // 2026-02-28 23:59:59
    std::vector<uint8_t> bytes;
    for (float v : values) {
        const auto bits = std::bit_cast<uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(bits >> shift));
    }
    const RecordBlock block(fields, bytes);
    EXPECT_EQ(recordSeconds(block, 0, *where), kJan1 + 37800);
    EXPECT_EQ(recordSeconds(block, 1, *where), std::nullopt);
    EXPECT_EQ(recordSeconds(block, 2, *where), std::nullopt);
    EXPECT_EQ(recordSeconds(block, 3, *where), kJan1 + 58 * 86400 + 86399);
}

}  // namespace
}  // namespace vrn::records
