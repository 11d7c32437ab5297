#pragma once
// Cases that every kind of record archive must pass alike (SQLite and PostgreSQL): each record is
// stored once, across clock offset changes and for records without a time.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/records/record_keys.h"
#include "store/record_archive.h"

namespace vrn::test {

// A record of a reading, DATE and TIME at a minute on the station's clock of a day; no time when
// the minute is negative.
struct LoggedMinute {
    float reading;
    int minute;
};

inline store::Collection loggedCollection(const std::string& station, float date, int offsetMinutes,
                                          const std::vector<LoggedMinute>& records, bool newOffset = false) {
    store::Collection c;
    c.station = station;
    c.utcOffsetMinutes = offsetMinutes;
    c.newUtcOffset = newOffset;
    c.collectedAt = 1767225600;
    c.format = {{"AIR TEMP", 0, 6, 1}, {"DATE", 1, 6, 0}, {"TIME", 2, 6, 0}};
    for (const LoggedMinute& r : records) {
        const float time = r.minute < 0 ? std::numeric_limits<float>::quiet_NaN()
                                        : static_cast<float>(r.minute / 60 * 10000 + r.minute % 60 * 100);
        for (float v : {r.reading, date, time}) {
            const auto bits = std::bit_cast<uint32_t>(v);
            for (int shift = 0; shift < 32; shift += 8)
                c.bytes.push_back(static_cast<uint8_t>(bits >> shift));
        }
    }
    return c;
}

// Minutes from..to-1 of the station's clock, each reading its minute.
inline std::vector<LoggedMinute> minutes(int from, int to) {
    std::vector<LoggedMinute> m;
    for (int k = from; k < to; ++k)
        m.push_back({static_cast<float>(k), k});
    return m;
}

inline std::vector<LoggedMinute> operator+(std::vector<LoggedMinute> a, const std::vector<LoggedMinute>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The clock set back an hour right after a collection: the hour it repeats passes the time of the
// newest record held, and every record of it is kept once, at its own UTC time.
inline void expectARepeatedHourKeptOnce(store::RecordArchive& archive, const std::string& station) {
    // 2026-10-25: summer time (+02:00) until the collection at 02:59, then winter time (+01:00)
    // from 02:00 on to 03:09: UTC 00:50 to 02:09, a record a minute.
    const auto summer = minutes(2 * 60 + 50, 3 * 60);
    const auto winter = minutes(2 * 60, 3 * 60 + 10);
    store::StoreSummary summary;
    std::string error;
    ASSERT_TRUE(archive.store(loggedCollection(station, 261025.0F, 120, summer), summary, error)) << error;
    ASSERT_TRUE(
        archive.store(loggedCollection(station, 261025.0F, 60, summer + winter, true), summary, error))
        << error;
    EXPECT_EQ(summary.added, winter.size());
    store::StoredRecords stored;
    ASSERT_TRUE(archive.read(station, 0, int64_t{1} << 40, stored, error)) << error;
    ASSERT_EQ(stored.utc.size(), summer.size() + winter.size());
    for (size_t r = 0; r < stored.utc.size(); ++r)
        EXPECT_EQ(stored.utc[r], 1792889400 + static_cast<int64_t>(r) * 60) << r;
}

// The clock set to another offset: ten records on the former one, ten after the change, and later
// collections that still download the records of before the change.
inline void expectEachRecordOnceAcrossAnOffsetChange(store::RecordArchive& archive,
                                                     const std::string& prefix) {
    struct Row {
        const char* name;
        float date;
        int former;
        int later;
        int formerFrom;  // the first minute of the records of before the change
        int laterFrom;   // and of after it
        int64_t firstUtc;
    };
    const Row rows[] = {
        // 2026-10-25: 03:00 summer time becomes 02:00; the times of 02:00..02:59 come twice.
        {"clock set back", 261025.0F, 120, 60, 2 * 60 + 50, 2 * 60, 1792889400},
        // 2026-03-29: 02:00 becomes 03:00.
        {"clock put forward", 260329.0F, 60, 120, 60 + 50, 3 * 60, 1774745400},
    };
    for (const Row& row : rows) {
        const std::string station = prefix + row.name;
        const auto before = minutes(row.formerFrom, row.formerFrom + 10);
        const auto after = minutes(row.laterFrom, row.laterFrom + 10);
        const auto later = minutes(row.laterFrom + 10, row.laterFrom + 15);
        struct Step {
            const char* name;
            store::Collection c;
            bool stored;
            size_t added;
        };
        const Step steps[] = {
            {"first", loggedCollection(station, row.date, row.former, before), true, 10},
            {"another offset is refused", loggedCollection(station, row.date, row.later, before + after),
             false, 0},
            {"the new offset", loggedCollection(station, row.date, row.later, before + after, true), true,
             10},
            {"then as usual", loggedCollection(station, row.date, row.later, before + after + later), true,
             5},
            {"a download after the change only",
             loggedCollection(station, row.date, row.later, after + later), true, 0},
        };
        for (const Step& step : steps) {
            store::StoreSummary summary;
            std::string error;
            EXPECT_EQ(archive.store(step.c, summary, error), step.stored)
                << row.name << ", " << step.name << error;
            EXPECT_EQ(summary.added, step.added) << row.name << ", " << step.name;
            if (!step.stored) {
                EXPECT_NE(error.find(records::utcOffsetText(row.former)), std::string::npos) << error;
                EXPECT_NE(error.find(records::utcOffsetText(row.later)), std::string::npos) << error;
            }
        }
        store::StoredRecords stored;
        std::string error;
        ASSERT_TRUE(archive.read(station, 0, row.firstUtc * 2, stored, error)) << error;
        ASSERT_EQ(stored.utc.size(), 25U) << row.name;
        // One record a minute of UTC, none twice.
        for (size_t r = 0; r < stored.utc.size(); ++r)
            EXPECT_EQ(stored.utc[r], row.firstUtc + static_cast<int64_t>(r) * 60) << row.name << " " << r;
        EXPECT_EQ(archive.station(station, error)->utcOffsetMinutes, row.later) << row.name;
    }
}

// Records without a time, downloaded again and again as the instrument's newest records move on:
// each is stored once, whether it is the download's first, inside it or its newest.
inline void expectEachUntimedRecordOnce(store::RecordArchive& archive, const std::string& station) {
    // Minutes 0..29, minutes 5, 12 and 23 without a time.
    std::vector<LoggedMinute> memory = minutes(0, 30);
    for (int untimed : {5, 12, 23})
        memory[static_cast<size_t>(untimed)].minute = -1;
    auto window = [&](int from, int to) {
        return loggedCollection(station, 260101.0F, 0,
                                std::vector<LoggedMinute>(memory.begin() + from, memory.begin() + to));
    };
    struct Step {
        const char* name;
        int from;
        int to;
        size_t untimedAdded;
    };
    const Step steps[] = {
        {"both inside", 0, 20, 2},           {"the same again", 0, 20, 0},
        {"again, and again", 0, 20, 0},      {"the older one first but one", 4, 22, 0},
        {"the first is untimed", 12, 22, 0}, {"the newest is untimed", 10, 24, 1},
        {"it is inside now", 15, 28, 0},     {"it is the first now", 23, 30, 0},
    };
    size_t added = 0;
    for (const Step& step : steps) {
        store::StoreSummary summary;
        std::string error;
        ASSERT_TRUE(archive.store(window(step.from, step.to), summary, error)) << step.name << error;
        EXPECT_EQ(summary.unkeyedAdded, step.untimedAdded) << step.name;
        added += summary.unkeyedAdded;
    }
    EXPECT_EQ(added, 3U);
}

}  // namespace vrn::test
