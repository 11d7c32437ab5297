#include "core/records/station_health.h"

#include <gtest/gtest.h>

namespace vrn::records {
namespace {

constexpr int64_t kStep = 600;              // a record every ten minutes
constexpr int64_t kT0 = 1767225600;         // 2026-01-01 00:00:00 UTC
constexpr int64_t kCapacity = 2162675 / 7;  // records of seven fields the memory holds

int64_t at(int64_t record) {
    return kT0 + record * kStep;
}

// A collection of records `from` to `to` (record numbers), stored when the last of them was logged.
CollectionFacts collected(int64_t from, int64_t to, bool whole = false) {
    return {at(to) + 30, at(from), at(to), whole, 0, 7};
}

TEST(StationHealth, GapsLostRecordsAndTheMemoryHorizon) {
    struct Row {
        const char* name;
        std::vector<CollectionFacts> collections;
        int64_t nowRecord;  // the computer's clock, as a record number
        uint64_t lost;
        std::vector<std::pair<uint64_t, uint64_t>> gaps;  // missing, lost
        uint64_t uncollected;
    };
    const CollectionFacts emptied{at(1005) + 30, std::nullopt, std::nullopt, true, 0, 7};
    const Row rows[] = {
        {"nightly, nothing missing",
         {collected(0, 144, true), collected(100, 288), collected(250, 432)},
         440,
         0,
         {},
         8},
        {"a failed night filled by the next", {collected(0, 144, true), collected(130, 432)}, 432, 0, {}, 0},
        {"a gap the instrument still holds",
         {collected(0, 1000, true), collected(1500, 2000)},
         2000,
         0,
         {{499, 0}},
         0},
        {"that gap filled later",
         {collected(0, 1000, true), collected(1500, 2000), collected(900, 1600)},
         2000,
         0,
         {},
         0},
        {"the memory wrapped while not collected",
         {collected(0, 1000, true), collected(400000 - kCapacity + 1, 400000, true)},
         400000,
         400000 - kCapacity - 1000,
         {{400000 - kCapacity - 1000, 400000 - kCapacity - 1000}},
         0},
        {"an erase after a collection",
         {collected(0, 1000), collected(1010, 1100, true)},
         1100,
         9,
         {{9, 9}},
         0},
        {"two records erased: no gap by length, yet lost",
         {collected(0, 1000), collected(1003, 1100, true)},
         1100,
         2,
         {{2, 2}},
         0},
        {"the memory found empty after an erase", {collected(0, 1000), emptied}, 1008, 5, {}, 3},
        {"overwriting records not collected yet",
         {collected(0, 1000, true)},
         1000 + kCapacity + 10,
         10,
         {},
         kCapacity},
        {"a gap partly overwritten by now",
         {collected(0, 1000, true), collected(1500, 2000)},
         1010 + kCapacity,
         10,
         {{499, 10}},
         static_cast<uint64_t>(kCapacity) + 1010 - 2000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StationFacts facts;
        facts.interval = kStep;
        facts.collections = row.collections;
        const StationHealth h = stationHealth(facts, at(row.nowRecord) + 1, 36 * 3600);
        EXPECT_EQ(h.lost, row.lost);
        EXPECT_EQ(h.uncollected, row.uncollected);
        ASSERT_EQ(h.gaps.size(), row.gaps.size());
        for (size_t k = 0; k < h.gaps.size(); ++k) {
            EXPECT_EQ(h.gaps[k].missing, row.gaps[k].first);
            EXPECT_EQ(h.gaps[k].lost, row.gaps[k].second);
        }
        ASSERT_TRUE(h.memorySeconds && h.overwriteSeconds);
        EXPECT_EQ(*h.memorySeconds, kCapacity * kStep);
        EXPECT_GT(*h.overwriteSeconds, 0);
        // At most until the next record, not logged yet, goes.
        EXPECT_LE(*h.overwriteSeconds, *h.memorySeconds + kStep);
    }
}

TEST(StationHealth, StaleAndFailing) {
    struct Row {
        const char* name;
        bool collected;
        const char* lastOutcome;  // none when there was no attempt
        int64_t hoursSinceNewest;
        bool stale;
        bool failing;
    };
    const Row rows[] = {
        {"collected, last attempt ok", true, "ok", 2, false, false},
        {"collected long ago", true, "ok", 40, true, false},
        {"the last attempt failed", true, "portGone", 2, false, true},
        {"never collected", false, "failed", 0, true, true},
        {"an archive kept before attempts", true, nullptr, 2, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StationFacts facts;
        facts.interval = kStep;
        if (row.collected) facts.collections = {collected(0, 144, true)};
        if (row.lastOutcome) facts.lastAttempt = AttemptFacts{at(144), row.lastOutcome, ""};
        const StationHealth h = stationHealth(facts, at(144) + row.hoursSinceNewest * 3600, 36 * 3600);
        EXPECT_EQ(h.stale, row.stale);
        EXPECT_EQ(h.failing, row.failing);
        EXPECT_EQ(h.well(), !row.stale && !row.failing);
    }
}

}  // namespace
}  // namespace vrn::records
