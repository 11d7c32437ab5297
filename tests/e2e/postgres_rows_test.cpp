// Records stored into a real PostgreSQL server through the archive: every value back exactly, and
// only what is new added, whichever way the rows go in, into a new archive and into one made when
// every record's collection was checked by a foreign key.
#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <bit>
#include <cmath>
#include <limits>

#include "archive_cases.h"
#include "pg_cluster.h"
#include "store/record_archive.h"

namespace vrn::test {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr int64_t kJan1 = 1767225600;  // 2026-01-01 00:00:00

// A reading at a minute of 2026-01-01 on the station's clock (UTC).
struct Reading {
    float value;
    int minute;
};

store::Collection collection(const std::string& station, const std::vector<Reading>& readings) {
    store::Collection c;
    c.station = station;
    c.collectedAt = kJan1 + 86400;
    c.format = {{"AIR TEMP", 0, 8, 2}, {"DATE", 1, 6, 0}, {"TIME", 2, 6, 0}};
    for (const Reading& r : readings)
        for (float v :
             {r.value, 260101.0F, static_cast<float>(r.minute / 60 * 10000 + r.minute % 60 * 100)}) {
            const auto bits = std::bit_cast<uint32_t>(v);
            for (int shift = 0; shift < 32; shift += 8)
                c.bytes.push_back(static_cast<uint8_t>(bits >> shift));
        }
    return c;
}

float readingOf(const store::StoredRecords& s, size_t r) {
    const size_t at = r * s.format.size() * 4;
    return std::bit_cast<float>(uint32_t{s.bytes[at]} | uint32_t{s.bytes[at + 1]} << 8 |
                                uint32_t{s.bytes[at + 2]} << 16 | uint32_t{s.bytes[at + 3]} << 24);
}

TEST(PostgresRows, EveryValueBackExactlyAndOnlyTheNewAdded) {
    if (PgCluster::binDir().empty())
        GTEST_SKIP() << "PostgreSQL's server programs (initdb, pg_ctl) are not installed";
    PgCluster pg;
    ASSERT_TRUE(pg.running()) << pg.error();
    std::string error;
    const auto archive = store::RecordArchive::open(pg.url(), error);
    ASSERT_TRUE(archive) << error;

    struct Step {
        const char* name;
        std::vector<Reading> readings;
        size_t added;
    };
    const Step steps[] = {
        {"first collection, one record twice",
         {{12.5F, 60}, {kNaN, 61}, {-1.5F, 62}, {-1.5F, 62}, {0.1F, 63}},
         4},
        {"the same again adds nothing", {{12.5F, 60}, {kNaN, 61}, {-1.5F, 62}, {0.1F, 63}}, 0},
        {"an overlap adds only the new", {{0.1F, 63}, {1e30F, 64}, {kInfinity, 65}}, 2},
        {"after the held span, all new", {{-1e-30F, 70}, {65535.5F, 71}}, 2},
        {"inside a gap of the held span", {{3.25F, 67}, {-40.0F, 68}}, 2},
        {"before the held span", {{99.0F, 0}}, 1},
    };
    const std::vector<int64_t> minutes = {0, 60, 61, 62, 63, 64, 65, 67, 68, 70, 71};
    // Missing and non-finite readings are NULL, read back as NaN; the others bit for bit.
    const std::vector<float> values = {99.0F, 12.5F, kNaN,   -1.5F,   0.1F,    1e30F,
                                       kNaN,  3.25F, -40.0F, -1e-30F, 65535.5F};

    const QString admin = QStringLiteral("postgres-rows-admin");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), admin);
        db.setHostName(
            QString::fromStdString(pg.url()).section(QStringLiteral("host="), 1).section('&', 0, 0));
        db.setUserName(QStringLiteral("vrn"));
        db.setDatabaseName(QStringLiteral("postgres"));
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
    }
    auto exec = [&](const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(admin, false));
        EXPECT_TRUE(q.exec(sql) && (!q.isSelect() || q.next())) << q.lastError().text().toStdString();
        return q.isSelect() ? q.value(0).toLongLong() : -1;
    };
    const QString checks = QStringLiteral(
        "SELECT count(*) FROM pg_constraint WHERE contype = 'f' AND conrelid = "
        "'vrn_records'::regclass");
    for (const char* station : {"new", "made-before"}) {
        if (std::string(station) == "made-before") {
            EXPECT_EQ(exec(checks), 0) << "a new archive checks no record's collection row by row";
            exec(
                QStringLiteral("ALTER TABLE vrn_records ADD CONSTRAINT vrn_records_collection_id_fkey "
                               "FOREIGN KEY (collection_id) REFERENCES vrn_collections(id)"));
            EXPECT_EQ(exec(checks), 1);
        }
        for (const Step& step : steps) {
            store::StoreSummary summary;
            ASSERT_TRUE(archive->store(collection(station, step.readings), summary, error))
                << station << ": " << step.name << error;
            EXPECT_EQ(summary.added, step.added) << station << ": " << step.name;
        }
        store::StoredRecords stored;
        ASSERT_TRUE(archive->read(station, kJan1, kJan1 + 86400, stored, error)) << station << error;
        ASSERT_EQ(stored.utc.size(), minutes.size()) << station;
        for (size_t r = 0; r < minutes.size(); ++r) {
            EXPECT_EQ(stored.utc[r], kJan1 + minutes[r] * 60) << station << r;
            if (std::isnan(values[r]))
                EXPECT_TRUE(std::isnan(readingOf(stored, r))) << station << r;
            else
                EXPECT_EQ(std::bit_cast<uint32_t>(readingOf(stored, r)), std::bit_cast<uint32_t>(values[r]))
                    << station << r;
        }
    }
    QSqlDatabase::database(admin, false).close();
    QSqlDatabase::removeDatabase(admin);
}

TEST(PostgresRows, EachRecordOnceAcrossOffsetChangesAndWithoutATime) {
    if (PgCluster::binDir().empty())
        GTEST_SKIP() << "PostgreSQL's server programs (initdb, pg_ctl) are not installed";
    PgCluster pg;
    ASSERT_TRUE(pg.running()) << pg.error();
    std::string error;
    const auto archive = store::RecordArchive::open(pg.url(), error);
    ASSERT_TRUE(archive) << error;
    expectEachRecordOnceAcrossAnOffsetChange(*archive, "");
    expectARepeatedHourKeptOnce(*archive, "repeated hour");
    expectEachUntimedRecordOnce(*archive, "north");
}

}  // namespace
}  // namespace vrn::test
