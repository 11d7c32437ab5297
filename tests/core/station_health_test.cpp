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

// Records `from` to `to` (record numbers), stored when the last of them was logged.
CollectionFacts collected(int64_t from, int64_t to, bool whole = false) {
    return {at(to) + 30, at(from), at(to), whole, 0, 7};
}

// What no collection saw: the memory found empty, records overwritten since the last collection.
// (Collections that saw the loss themselves are checked against the simulated instrument.)
TEST(StationHealth, LostRecordsNoDownloadShowed) {
    const CollectionFacts emptied{at(1005) + 30, std::nullopt, std::nullopt, true, 0, 7};
    const struct Row {
        const char* name;
        std::vector<CollectionFacts> collections;
        int64_t nowRecord;  // the computer's clock, as a record number
        uint64_t lost;
        std::vector<std::pair<uint64_t, uint64_t>> gaps;  // missing, lost
        uint64_t uncollected;
    } rows[] = {
        {"two records erased: too short for a gap, listed for its loss",
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
        {"a held gap partly overwritten by now",
         {collected(0, 1000, true), collected(1500, 2000)},
         1010 + kCapacity,
         10,
         {{499, 10}},
         kCapacity + 1010 - 2000},
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
        for (size_t k = 0; k < h.gaps.size(); ++k)
            EXPECT_EQ(std::make_pair(h.gaps[k].missing, h.gaps[k].lost), row.gaps[k]);
        EXPECT_EQ(h.memorySeconds, kCapacity * kStep);
        // The oldest record not collected goes a memory's span after it was logged: the next one,
        // not logged yet, at most an interval later than that.
        ASSERT_TRUE(h.overwriteSeconds);
        EXPECT_GT(*h.overwriteSeconds, 0);
        EXPECT_LE(*h.overwriteSeconds, kCapacity * kStep + kStep);
    }
}

}  // namespace
}  // namespace vrn::records
