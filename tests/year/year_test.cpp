// A network of ten simulated stations collected night after night on virtual time by the tool's own
// collect, with every kind of trouble the schedule has: every record the instruments logged is in the
// archive once, except those dropped before any collection could take them, and those are what
// status reports as lost.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <iostream>

#include "pg_cluster.h"
#include "station_network.h"
#include "store_restart.h"

namespace vrn::test {
namespace {

constexpr uint64_t kPerDay = 144;

std::string problems(const NetworkResult& r) {
    std::string text;
    for (const std::string& p : r.problems)
        text += p + "\n";
    return text;
}

void expectEveryRecordOnce(const NetworkResult& r) {
    EXPECT_TRUE(r.problems.empty()) << problems(r);
    EXPECT_EQ(r.missing, 0U);
    EXPECT_EQ(r.extra, 0U);
    EXPECT_EQ(r.archived + r.lost, r.logged);
    ASSERT_EQ(r.perStation.size(), static_cast<size_t>(r.stations));
}

TEST(SimulatedNetwork, AMonthIntoSqliteKeepsEveryRecordOnceButTheLost) {
    QTemporaryDir dir(QString::fromStdString(scratchFolder() + "/vrn-year-XXXXXX"));
    NetworkOptions options;
    options.archive = dir.filePath(QStringLiteral("network.db")).toStdString();
    const NetworkResult r = runNetwork(options);
    std::cout << networkTable(r, "SQLite");
    expectEveryRecordOnce(r);
    // Per station: the records lost and the attempts the archive keeps, by outcome.
    struct Row {
        Role role;
        uint64_t lost;
        std::map<std::string, int> attempts;
    };
    const Row rows[] = {
        {Role::Healthy, 0, {{"ok", 30}}},
        {Role::Silent, 0, {{"ok", 20}, {"failed", 10}}},
        {Role::PortLost, 0, {{"ok", 29}, {"cut", 1}}},
        {Role::Stalls, 0, {{"ok", 28}, {"cut", 2}}},
        {Role::SendsOldest, 0, {{"ok", 30}}},
        {Role::ClockForward, 0, {{"ok", 30}}},
        {Role::ClockBack, 0, {{"ok", 30}}},
        // Left alone for six nights, a memory of three days loses four days of records.
        {Role::MemoryFills, (kUncollectedNights + 1 - kSmallMemoryDays) * kPerDay, {{"ok", 24}}},
        // Erased four hours after its collection: the 24 records logged in between.
        {Role::Erased, 24, {{"ok", 30}}},
    };
    for (const StationFigures& f : r.perStation) {
        const auto row = std::ranges::find(rows, f.role, &Row::role);
        ASSERT_NE(row, std::end(rows));
        EXPECT_EQ(f.lost, row->lost) << f.name;
        EXPECT_EQ(f.lostReported, f.lost) << f.name;
        EXPECT_EQ(f.attempts, row->attempts) << f.name;
        EXPECT_EQ(f.archived + f.lost, f.logged) << f.name;
    }
}

TEST(SimulatedNetwork, TenNightsIntoPostgresWithARestartDuringAStore) {
    if (PgCluster::binDir().empty())
        GTEST_SKIP() << "PostgreSQL's server programs (initdb, pg_ctl) are not installed";
    PgCluster pg;
    ASSERT_TRUE(pg.running()) << pg.error();
    StoreRestart restart(pg);
    NetworkOptions options;
    options.nights = 10;
    options.archive = pg.url();
    options.interrupted = {{4, 9, &restart}};
    const NetworkResult r = runNetwork(options);
    std::cout << networkTable(r, "PostgreSQL");
    EXPECT_TRUE(r.interrupted);
    expectEveryRecordOnce(r);
    EXPECT_EQ(r.perStation[9].attempts, (std::map<std::string, int>{{"ok", 9}, {"archive", 1}}));
}

}  // namespace
}  // namespace vrn::test

int main(int argc, char** argv) {
    // Qt SQL loads its drivers as plugins, which wants an application object.
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
