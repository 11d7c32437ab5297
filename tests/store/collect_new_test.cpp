// collect without --count takes what is new: three nights of a station logging on virtual time.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>

#include "sim/station.h"
#include "station_rig.h"
#include "store/record_archive.h"

namespace vrn::cli::test {
namespace {

constexpr int64_t kDayUs = 86400LL * 1000000;
constexpr uint32_t kHeld = 1000;        // records held before the first night
constexpr uint32_t kPerNight = 1440;    // a record a minute
constexpr size_t kRecordBytes = 7 * 4;  // the station's seven fields

// A station whose clock runs with the virtual clock, logging a record a minute, kHeld of them
// logged before it.
struct NightsRig : StationRig {
    explicit NightsRig(bool sendsOldest) : StationRig(kHeld, sendsOldest) {}
    size_t held() {
        std::string error;
        auto a = store::RecordArchive::open(archive, error);
        store::StoredRecords stored;
        EXPECT_TRUE(a && a->read("north", 0, int64_t{1} << 40, stored, error)) << error;
        return stored.utc.size();
    }
};

std::string newLine(uint32_t added) {
    return ", NEW: " + std::to_string(added) + ",";
}

TEST(CollectNew, EachNightTakesOnlyWhatIsNewAndEveryRecordOnce) {
    for (const bool oldestFirst : {false, true}) {
        SCOPED_TRACE(oldestFirst ? "sends its oldest for a count" : "sends its newest for a count");
        NightsRig rig(oldestFirst);
        ASSERT_EQ(rig.run({"--simulate", "collect", rig.archive, "--station", "north"}), kExitOk)
            << rig.err.str();
        EXPECT_NE(rig.out.str().find(newLine(kHeld)), std::string::npos) << rig.out.str();
        for (int night = 1; night <= 3; ++night) {
            rig.clock.advanceUs(kDayUs);
            const uint64_t sentBefore = rig.instrument.bytesSent();
            ASSERT_EQ(rig.run({"--simulate", "collect", rig.archive, "--station", "north"}), kExitOk)
                << "night " << night << ": " << rig.err.str() << rig.out.str();
            EXPECT_NE(rig.out.str().find(newLine(kPerNight)), std::string::npos) << rig.out.str();
            EXPECT_EQ(rig.err.str(), "") << "night " << night;
            const uint64_t sent = rig.instrument.bytesSent() - sentBefore;
            const size_t memory = (kHeld + night * kPerNight) * kRecordBytes;
            if (!oldestFirst) {
                // The new records, the margin and the completeness probe, not the whole memory.
                EXPECT_LT(sent, (kPerNight + 64) * kRecordBytes + 2000) << "night " << night;
            } else {
                EXPECT_GE(sent, memory) << "night " << night;
            }
            // The oldest-first instrument is found once and remembered.
            const bool found = rig.out.str().find("SENDS ITS OLDEST") != std::string::npos;
            EXPECT_EQ(found, oldestFirst && night == 1) << "night " << night;
        }
        EXPECT_EQ(rig.held(), kHeld + 3 * kPerNight);
    }
}

// More records asked for than the instrument holds after an erase is no cut download: the records
// that came are stored and the collection succeeds, night after night.
TEST(CollectNew, AnEraseSinceTheLastCollectionIsNoCutDownload) {
    NightsRig rig(false);
    ASSERT_EQ(rig.run({"--simulate", "collect", rig.archive, "--station", "north"}), kExitOk)
        << rig.err.str();
    ASSERT_EQ(rig.run({"--simulate", "--yes", "erase-records"}), kExitOk) << rig.err.str();
    for (int night = 1; night <= 2; ++night) {
        rig.clock.advanceUs(kDayUs / 24);  // an hour: 60 records held
        ASSERT_EQ(rig.run({"--simulate", "collect", rig.archive, "--station", "north"}), kExitOk)
            << "night " << night << ": " << rig.err.str();
        EXPECT_NE(rig.out.str().find(newLine(60)), std::string::npos) << rig.out.str();
        EXPECT_EQ(rig.err.str(), "");
    }
    EXPECT_EQ(rig.held(), kHeld + 120);
}

std::vector<store::Attempt> attemptsOf(const std::string& archive) {
    std::string error;
    auto a = store::RecordArchive::open(archive, error);
    EXPECT_TRUE(a) << error;
    return a ? a->attempts("north", error) : std::vector<store::Attempt>{};
}

// Every collection leaves an attempt, the failed ones with how and why they failed.
TEST(CollectAttempts, EachCollectionLeavesItsAttempt) {
    NightsRig rig(false);
    struct Row {
        const char* what;
        std::function<void()> before;
        std::vector<std::string> extra;
        int exit;
        const char* outcome;
        const char* reasonHas;
    };
    const std::vector<Row> rows = {
        {"whole", [] {}, {}, kExitOk, "ok", ""},
        {"refused offset",
         [] {},
         {"--utc-offset", "+05:00"},
         kExitUsage,
         "refused",
         "held with the UTC offset"},
        {"cut download",
         [&] { rig.instrument.faults.records.stopAfterBytes = 40 * kRecordBytes; },
         {"--count", "500"},
         kExitShortDownload,
         "cut",
         "40 of 500"},
        {"no date field",
         [&] {
             rig.instrument.faults.records = {};
             rig.instrument.state.setup.fields[5].type = 0;
         },
         {},
         kExitUsage,
         "refused",
         "no Date field"},
        {"no instrument", [&] { rig.instrumentPresent = false; }, {}, kExitFailed, "", ""},
    };
    for (size_t k = 0; k < rows.size(); ++k) {
        const Row& row = rows[k];
        row.before();
        rig.clock.advanceUs(kDayUs / 24);
        std::vector<std::string> args = {"--simulate", "collect", rig.archive, "--station", "north"};
        args.insert(args.end(), row.extra.begin(), row.extra.end());
        EXPECT_EQ(rig.run(args), row.exit) << row.what << ": " << rig.err.str();
        const std::vector<store::Attempt> attempts = attemptsOf(rig.archive);
        ASSERT_EQ(attempts.size(), k + 1) << row.what;
        const store::Attempt& a = attempts.back();
        if (*row.outcome)
            EXPECT_EQ(a.outcome, row.outcome) << row.what;
        else
            EXPECT_NE(a.outcome, "ok") << row.what;
        EXPECT_NE(a.reason.find(row.reasonHas), std::string::npos) << row.what << ": " << a.reason;
        EXPECT_EQ(a.attemptedAt, rig.clock.wallSeconds()) << row.what;
        if (k == 0) {
            EXPECT_EQ(a.records, kHeld);
            EXPECT_EQ(a.added, kHeld);
            EXPECT_GT(a.wireSeconds, 1.0);
        }
        if (k == 2) {
            EXPECT_EQ(a.records, 40U);
        }
    }
}

}  // namespace
}  // namespace vrn::cli::test
