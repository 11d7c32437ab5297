// status over a real SQLite archive that collect filled from the simulated instrument on virtual
// time: the records it reports lost are exactly those the instrument dropped before any collection
// took them.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <csignal>
#include <set>

#include "cli/stop_signal.h"
#include "sim/record_memory.h"
#include "sim/station.h"
#include "station_rig.h"
#include "store/record_archive.h"

namespace vrn::cli::test {
namespace {

constexpr uint32_t kHeld = 1000;      // records logged before the first collection
constexpr uint32_t kCapacity = 3000;  // a small memory, so that it fills within days
constexpr int kFields = 7;

enum class Step { Collect, CollectFails, CollectHundred, Erase };

struct StatusRig : StationRig {
    explicit StatusRig(bool sendsOldest) : StationRig(kHeld, sendsOldest) {
        instrument.state.records.capacityValues = kCapacity * kFields;
    }
    int step(Step s) {
        instrumentPresent = s != Step::CollectFails;
        if (s == Step::Erase) return run({"--simulate", "--yes", "erase-records"});
        std::vector<std::string> args = {"--simulate", "collect", archive, "--station", "north"};
        if (s == Step::CollectHundred) args.insert(args.end(), {"--count", "100"});
        return run(args);
    }
    // Of the records logged since the archive's oldest and not in the archive: those the instrument
    // no longer holds, and those it holds that are older than the archive's newest.
    std::pair<uint64_t, uint64_t> truth() {
        std::string error;
        auto a = store::RecordArchive::open(archive, error);
        store::StoredRecords stored;
        EXPECT_TRUE(a && a->read("north", 0, int64_t{1} << 40, stored, error)) << error;
        if (stored.utc.empty()) return {0, 0};
        std::set<int64_t> kept(stored.utc.begin(), stored.utc.end());
        uint64_t heldInGaps = 0;
        const sim::SimRecords& m = instrument.state.records;
        for (uint32_t r = 0; r < m.logged; ++r) {
            const int64_t t = sim::recordSeconds(m, r);
            if (kept.insert(t).second && t < stored.utc.back()) ++heldInGaps;
        }
        const int64_t logged = (*kept.rbegin() - *kept.begin()) / 60 + 1;
        return {static_cast<uint64_t>(logged) - kept.size(), heldInGaps};
    }
};

QJsonObject firstStation(const std::string& out) {
    const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(out)).object();
    return doc.value("result").toObject().value("stations").toArray().at(0).toObject();
}

TEST(StatusCommand, ReportsExactlyTheRecordsLostBeforeAnyCollection) {
    struct Row {
        const char* name;
        std::vector<std::pair<int, Step>> steps;  // minutes passed, then the step
        int exit;
        size_t gaps;
        bool lostSome;
    };
    const Row rows[] = {
        {"the memory wraps while not collected",
         {{0, Step::Collect}, {5000, Step::Collect}},
         kExitOk,
         1,
         true},
        {"an erase after a collection",
         {{0, Step::Collect}, {30, Step::Erase}, {60, Step::Collect}},
         kExitOk,
         1,
         true},
        {"a failed night", {{0, Step::Collect}, {1440, Step::CollectFails}}, kExitStationUnwell, 0, false},
        {"a failed night later filled",
         {{0, Step::Collect}, {1440, Step::CollectFails}, {1440, Step::Collect}},
         kExitOk,
         0,
         false},
        {"a gap the instrument still holds",
         {{0, Step::Collect}, {1000, Step::CollectHundred}},
         kExitOk,
         1,
         false},
    };
    for (const bool oldestFirst : {false, true}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (oldestFirst ? ", sends its oldest" : ", sends its newest"));
            StatusRig rig(oldestFirst);
            for (const auto& [minutes, step] : row.steps) {
                rig.clock.advanceUs(int64_t{minutes} * 60 * 1000000);
                rig.step(step);
            }
            const auto [lost, heldInGaps] = rig.truth();
            EXPECT_EQ(lost > 0, row.lostSome) << lost;
            ASSERT_EQ(rig.run({"--json", "status", rig.archive}), row.exit) << rig.err.str();
            const QJsonObject station = firstStation(rig.out.str());
            EXPECT_EQ(station.value("lost").toInteger(), static_cast<qint64>(lost));
            // A count answered with the oldest records leaves no gap: they are held already.
            const bool oldestAnswer = oldestFirst && row.steps.back().second == Step::CollectHundred;
            EXPECT_EQ(station.value("gaps").toArray().size(),
                      static_cast<qsizetype>(oldestAnswer ? 0 : row.gaps));
            qint64 held = 0;
            for (const QJsonValue& gap : station.value("gaps").toArray())
                held += gap.toObject().value("held").toInteger();
            EXPECT_EQ(held, static_cast<qint64>(heldInGaps));
        }
    }
}

// A run stopped by a signal writes no figures, and ends with the signal's status.
TEST(StatusCommand, AStopSignalWritesNothing) {
    StatusRig rig(false);
    ASSERT_EQ(rig.step(Step::Collect), kExitOk) << rig.err.str();
    const std::vector<std::string> status = {"status", rig.archive, "--prometheus", "/out/vrncomm.prom"};
    setStopSignal(SIGTERM);
    const int stopped = rig.run(status);
    setStopSignal(0);
    EXPECT_EQ(stopped, kExitTerminated);
    EXPECT_EQ(rig.files.files.count("/out/vrncomm.prom"), 0U);
    EXPECT_EQ(rig.run(status), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.files.files.count("/out/vrncomm.prom"), 1U);
}

}  // namespace
}  // namespace vrn::cli::test
