#include "core/records/collect_plan.h"

#include <gtest/gtest.h>

#include <vector>

namespace vrn::records {
namespace {

constexpr int64_t kNewest = 1767225600;  // the archive's newest record, 2026-01-01 00:00:00
constexpr int64_t kDay = 86400;
constexpr uint32_t kAll = 86506;  // the most a retrieval of 25 fields asks for

// A collection without a count, night by night: the first count, then how what came is judged.
TEST(CollectPlan, NightsAsAskedAndJudged) {
    struct Night {
        const char* what;
        std::optional<int64_t> newestHeld;
        int64_t now;
        uint32_t firstAsk;
        RecordsCame came;
        CollectStep step;
    };
    const Night nights[] = {
        {"first run: all",
         std::nullopt,
         kNewest,
         kAll,
         {500, kNewest - 499 * 60, kNewest},
         CollectStep::Done},
        {"normal night",
         kNewest,
         kNewest + kDay,
         1440 + kCollectMargin,
         {1456, kNewest - 15 * 60, kNewest + kDay},
         CollectStep::Done},
        // A station not collected for a week whose clock was set forward in the meantime: the
        // records that came do not reach back to the archive.
        {"missed week, clock later than its records",
         kNewest,
         kNewest + kDay,
         1456,
         {1456, kNewest + 6 * kDay, kNewest + 7 * kDay},
         CollectStep::Widen},
        {"oldest first",
         kNewest,
         kNewest + kDay,
         1456,
         {1456, kNewest - 30 * kDay, kNewest - 29 * kDay},
         CollectStep::OldestFirst},
        {"oldest first, a small memory",
         kNewest,
         kNewest + kDay,
         1456,
         {1456, kNewest - 999 * 60, kNewest + 456 * 60},
         CollectStep::OldestFirst},
        {"logging stopped since the last run",
         kNewest,
         kNewest + kDay,
         1456,
         {1456, kNewest - 1455 * 60, kNewest},
         CollectStep::Done},
        {"erase since the last run",
         kNewest,
         kNewest + kDay,
         1456,
         {100, kNewest + kDay - 99 * 60, kNewest + kDay},
         CollectStep::Done},
        {"clock behind the newest held",
         kNewest,
         kNewest - kDay,
         kCollectMargin,
         {16, kNewest - kDay - 15 * 60, kNewest - kDay},
         CollectStep::Done},
        {"empty memory", kNewest, kNewest + kDay, 1456, {0, std::nullopt, std::nullopt}, CollectStep::Done},
    };
    for (const Night& n : nights) {
        const uint32_t asked = newRecordsToAsk(n.newestHeld, n.now, 60, kAll);
        EXPECT_EQ(asked, n.firstAsk) << n.what;
        EXPECT_EQ(judgeNewRecords(n.newestHeld, n.now, 60, asked, kAll, n.came), n.step) << n.what;
    }
}

TEST(CollectPlan, WideningDoublesUpToAllThenStops) {
    const RecordsCame noOverlap{0, kNewest + 60 * kDay, kNewest + 61 * kDay};
    uint32_t asked = newRecordsToAsk(kNewest, kNewest + 61 * kDay, 60, kAll);
    int rounds = 0;
    while (true) {
        RecordsCame came = noOverlap;
        came.records = asked;
        if (judgeNewRecords(kNewest, kNewest + 61 * kDay, 60, asked, kAll, came) == CollectStep::Done) break;
        const uint32_t next = widenedCount(asked, kAll);
        ASSERT_GT(next, asked);
        asked = next;
        ASSERT_LT(++rounds, 10);
    }
    EXPECT_EQ(asked, kAll);
}

TEST(CollectPlan, AWholeDownloadReachesTheClock) {
    EXPECT_TRUE(reachesClock({10, kNewest - kDay, kNewest - 60}, kNewest, 60));
    EXPECT_FALSE(reachesClock({10, kNewest - kDay, kNewest - 3600}, kNewest, 60));
    EXPECT_FALSE(reachesClock({0, std::nullopt, std::nullopt}, kNewest, 60));
}

TEST(CollectPlan, IntervalIsTheCommonSpacing) {
    const std::vector<int64_t> minutes = {600, 0, 60, 120, 180, 240, 4000, 4060};
    EXPECT_EQ(recordInterval(minutes), 60);
    const std::vector<int64_t> one = {kNewest};
    EXPECT_EQ(recordInterval(one), kDefaultIntervalSeconds);
    EXPECT_EQ(recordInterval({}), kDefaultIntervalSeconds);
}

}  // namespace
}  // namespace vrn::records
