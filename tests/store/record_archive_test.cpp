#include "store/record_archive.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <bit>
#include <cmath>
#include <limits>

#include "archive_cases.h"
#include "archive_fixture.h"
#include "store/archive_tables.h"

namespace vrn::store {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr int64_t kJan1 = 1767225600;  // 2026-01-01 00:00:00

// A record: a reading, its YYMMDD and its HHMMSS.
struct Record {
    float reading;
    float date;
    float time;
};

std::vector<setup::RecordField> format(const std::string& label = "AIR TEMP", int width = 5) {
    return {{label, 0, width, 1}, {"DATE", 1, 6, 0}, {"TIME", 2, 6, 0}};
}

Collection collection(const std::vector<Record>& records, std::vector<setup::RecordField> fields = format()) {
    Collection c;
    c.station = "north";
    c.utcOffsetMinutes = 60;
    c.collectedAt = kJan1 + 86400;
    c.format = std::move(fields);
    for (const Record& r : records)
        for (float v : {r.reading, r.date, r.time}) {
            const auto bits = std::bit_cast<uint32_t>(v);
            for (int shift = 0; shift < 32; shift += 8)
                c.bytes.push_back(static_cast<uint8_t>(bits >> shift));
        }
    return c;
}

float valueOf(const StoredRecords& s, size_t r, size_t k) {
    const size_t at = (r * s.format.size() + k) * 4;
    const uint32_t bits = uint32_t{s.bytes[at]} | uint32_t{s.bytes[at + 1]} << 8 |
                          uint32_t{s.bytes[at + 2]} << 16 | uint32_t{s.bytes[at + 3]} << 24;
    return std::bit_cast<float>(bits);
}

struct ArchiveRig {
    QTemporaryDir dir;
    std::string path = dir.filePath(QStringLiteral("archive.db")).toStdString();
    std::unique_ptr<RecordArchive> archive;
    std::string error;

    ArchiveRig() {
        archive = RecordArchive::open(path, error);
        EXPECT_NE(archive, nullptr) << error;
    }
};

TEST(RecordArchive, StoresEachRecordOnceAndOnlyWhatIsNew) {
    ArchiveRig rig;
    ASSERT_TRUE(rig.archive);
    // 01:00 to 01:03 on the station's clock (UTC+1); one reading missing, one record without a date.
    const std::vector<Record> day = {
        {12.5F, 260101, 10000}, {kNaN, 260101, 10100}, {13.25F, kNaN, 10200}, {-1.5F, 260101, 10300}};
    std::vector<Record> later = day;
    later.push_back({0.1F, 260101, 10400});
    later.push_back({1e30F, 260101, 10500});
    struct Step {
        const char* name;
        std::vector<Record> records;
        size_t added;
        int64_t newest;
    };
    const Step steps[] = {
        {"first collection", day, 3, kJan1 + 180},
        {"the same again adds nothing", day, 0, kJan1 + 180},
        {"an overlap adds only the new", later, 2, kJan1 + 300},
    };
    for (const Step& step : steps) {
        StoreSummary summary;
        ASSERT_TRUE(rig.archive->store(collection(step.records), summary, rig.error))
            << step.name << rig.error;
        EXPECT_EQ(summary.records, step.records.size()) << step.name;
        EXPECT_EQ(summary.added, step.added) << step.name;
        EXPECT_EQ(summary.unkeyed, 1U) << step.name;
        EXPECT_EQ(summary.newest, step.newest) << step.name;
    }

    StoredRecords stored;
    ASSERT_TRUE(rig.archive->read("north", kJan1, kJan1 + 240, stored, rig.error)) << rig.error;
    ASSERT_EQ(stored.utc, (std::vector<int64_t>{kJan1, kJan1 + 60, kJan1 + 180, kJan1 + 240}));
    ASSERT_EQ(stored.format.size(), 3U);
    EXPECT_EQ(stored.format[0].label, "AIR TEMP");
    // Values come back exactly; a missing one is NULL in the row and NaN here.
    EXPECT_EQ(valueOf(stored, 0, 0), 12.5F);
    EXPECT_TRUE(std::isnan(valueOf(stored, 1, 0)));
    EXPECT_EQ(valueOf(stored, 2, 0), -1.5F);
    EXPECT_EQ(valueOf(stored, 3, 0), 0.1F);
    EXPECT_EQ(valueOf(stored, 3, 2), 10400.0F);
    // A range with nothing in it.
    ASSERT_TRUE(rig.archive->read("north", kJan1 + 3600, kJan1 + 7200, stored, rig.error));
    EXPECT_TRUE(stored.utc.empty());
    ASSERT_TRUE(rig.archive->read("south", 0, kJan1 * 2, stored, rig.error));
    EXPECT_TRUE(stored.utc.empty());
}

TEST(RecordArchive, RemembersStationsByTheirSerialNumber) {
    ArchiveRig rig;
    ASSERT_TRUE(rig.archive);
    Collection c = collection({{1, 260101, 0}});
    c.usbSerial = "FT5XK2QA";
    StoreSummary summary;
    ASSERT_TRUE(rig.archive->store(c, summary, rig.error)) << rig.error;
    auto found = rig.archive->stationWithSerial("FT5XK2QA", rig.error);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, "north");
    EXPECT_EQ(found->utcOffsetMinutes, 60);
    // A collection without a serial number keeps the one known.
    c.usbSerial.reset();
    c.utcOffsetMinutes = -300;
    c.newUtcOffset = true;
    ASSERT_TRUE(rig.archive->store(c, summary, rig.error)) << rig.error;
    found = rig.archive->station("north", rig.error);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->usbSerial, "FT5XK2QA");
    EXPECT_EQ(found->utcOffsetMinutes, -300);
    // The instrument moved to another station: the serial number goes with it.
    c.station = "south";
    c.usbSerial = "FT5XK2QA";
    ASSERT_TRUE(rig.archive->store(c, summary, rig.error)) << rig.error;
    EXPECT_EQ(rig.archive->stationWithSerial("FT5XK2QA", rig.error)->name, "south");
    EXPECT_FALSE(rig.archive->station("north", rig.error)->usbSerial);
    EXPECT_EQ(rig.archive->stationNames(rig.error), (std::vector<std::string>{"north", "south"}));
    EXPECT_FALSE(rig.archive->stationWithSerial("OTHER", rig.error));
    EXPECT_EQ(rig.error, "");
}

TEST(RecordArchive, AFormatChangeKeepsItsHistoryAndSplitsReading) {
    ArchiveRig rig;
    ASSERT_TRUE(rig.archive);
    StoreSummary summary;
    ASSERT_TRUE(rig.archive->store(collection({{1, 260101, 0}, {2, 260101, 100}}), summary, rig.error));
    // The Number field renamed and widened in the Setup.
    ASSERT_TRUE(rig.archive->store(collection({{3, 260101, 200}}, format("TEMP C", 7)), summary, rig.error));
    StoredRecords stored;
    EXPECT_FALSE(rig.archive->read("north", kJan1 - 3600, kJan1, stored, rig.error));
    EXPECT_EQ(stored.formatChangedAt, kJan1 - 3600 + 120);
    EXPECT_NE(rig.error.find("changed at 2025-12-31 23:02:00"), std::string::npos) << rig.error;
    ASSERT_TRUE(rig.archive->read("north", kJan1 - 3600 + 120, kJan1, stored, rig.error)) << rig.error;
    ASSERT_EQ(stored.utc.size(), 1U);
    EXPECT_EQ(stored.format[0].label, "TEMP C");
    EXPECT_EQ(stored.format[0].width, 7);
    ASSERT_TRUE(rig.archive->read("north", 0, kJan1 - 3600 + 60, stored, rig.error)) << rig.error;
    EXPECT_EQ(stored.format[0].label, "AIR TEMP");
    EXPECT_EQ(rig.archive->timeSpan("north", rig.error), std::make_pair(kJan1 - 3600, kJan1 - 3600 + 120));
}

TEST(RecordArchive, RefusesWhatItCannotKeepAndLeavesTheArchiveAsItWas) {
    ArchiveRig rig;
    ASSERT_TRUE(rig.archive);
    struct Row {
        const char* name;
        Collection c;
        const char* says;
    };
    std::vector<setup::RecordField> untimed = format();
    untimed[2].type = 0;
    const Row rows[] = {
        {"no Time field", collection({{1, 260101, 0}}, untimed), "no Date and Time fields"},
        {"no fields", collection({}, {}), "1 to 25 fields"},
    };
    for (const Row& row : rows) {
        StoreSummary summary;
        rig.error.clear();
        EXPECT_FALSE(rig.archive->store(row.c, summary, rig.error)) << row.name;
        EXPECT_NE(rig.error.find(row.says), std::string::npos) << row.name << ": " << rig.error;
        EXPECT_EQ(summary.records, 0U) << row.name;
    }
    EXPECT_TRUE(rig.archive->stationNames(rig.error).empty());

    // Not an archive, and not a database at all.
    const QString text = rig.dir.filePath(QStringLiteral("records.txt"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("2 RECORDS\r\n12-01-2026 10:00:00\r\nFIELD 01\r\n1\r\n2\r\n");
    f.close();
    std::string error;
    EXPECT_FALSE(RecordArchive::open(text.toStdString(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(RecordArchive::open(rig.dir.path().toStdString(), error));
    EXPECT_FALSE(RecordArchive::open("postgresql:///db?sslmode=require;x=1", error));
    EXPECT_NE(error.find("cannot be passed on"), std::string::npos) << error;
}

TEST(RecordArchive, EachRecordOnceAcrossAnOffsetChange) {
    ArchiveRig rig;
    ASSERT_TRUE(rig.archive);
    test::expectEachRecordOnceAcrossAnOffsetChange(*rig.archive, "");
    test::expectARepeatedHourKeptOnce(*rig.archive, "repeated hour");
}

TEST(RecordArchive, EachRecordWithoutATimeOnce) {
    ArchiveRig rig;
    ASSERT_TRUE(rig.archive);
    test::expectEachUntimedRecordOnce(*rig.archive, "north");
}

// An archive made before the tables had a version: its untimed records are kept and tied to their
// station, and it takes new collections.
TEST(RecordArchive, AnArchiveOfTheFirstVersionIsBroughtUpToDate) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.db"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QString values;
        for (int k = 1; k <= RecordArchive::kMaxFields; ++k)
            values += QStringLiteral(", v%1 REAL").arg(k);
        QSqlQuery q(db);
        for (const QString& sql :
             {QStringLiteral("CREATE TABLE vrn_stations (name TEXT PRIMARY KEY, usb_serial TEXT, "
                             "utc_offset_minutes INTEGER NOT NULL)"),
              QStringLiteral(
                  "CREATE TABLE vrn_collections (id INTEGER PRIMARY KEY, station TEXT NOT NULL, "
                  "collected_at BIGINT NOT NULL, field_count INTEGER NOT NULL, records INTEGER NOT "
                  "NULL, new_records INTEGER NOT NULL, unkeyed INTEGER NOT NULL)"),
              QStringLiteral("CREATE TABLE vrn_unkeyed (collection_id BIGINT NOT NULL, position INTEGER NOT "
                             "NULL%1, PRIMARY KEY (collection_id, position))")
                  .arg(values),
              QStringLiteral("INSERT INTO vrn_stations VALUES ('north', NULL, 0)"),
              QStringLiteral("INSERT INTO vrn_collections VALUES (1, 'north', 0, 3, 1, 0, 1)"),
              QStringLiteral("INSERT INTO vrn_unkeyed (collection_id, position, v1) VALUES (1, 1, 7)")})
            ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
    std::string error;
    {
        auto archive = RecordArchive::open(path.toStdString(), error);
        ASSERT_TRUE(archive) << error;
        test::expectEachUntimedRecordOnce(*archive, "north");
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
    db.setDatabaseName(path);
    ASSERT_TRUE(db.open());
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT (SELECT version FROM vrn_schema), (SELECT count(*) FROM "
                                      "vrn_unkeyed WHERE station = 'north')")) &&
                q.next());
    EXPECT_EQ(q.value(0).toInt(), RecordArchive::kSchemaVersion);
    EXPECT_EQ(q.value(1).toInt(), 4);
    q.finish();
    db.close();
}

// An archive of the second version (no sends_oldest column) keeps its stations, reads them as
// sending their newest records, and remembers one that sends its oldest.
TEST(RecordArchive, AnArchiveOfTheSecondVersionLearnsWhichStationsSendTheirOldest) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("v2.db")).toStdString();
    std::string error;
    {
        auto archive = RecordArchive::open(path, error);
        ASSERT_TRUE(archive) << error;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v2"));
        db.setDatabaseName(QString::fromStdString(path));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const QString& sql :
             {QStringLiteral("ALTER TABLE vrn_stations DROP COLUMN sends_oldest"),
              QStringLiteral("DROP TABLE vrn_attempts"), QStringLiteral("DROP INDEX vrn_collections_station"),
              QStringLiteral("ALTER TABLE vrn_collections DROP COLUMN oldest_utc"),
              QStringLiteral("ALTER TABLE vrn_collections DROP COLUMN newest_utc"),
              QStringLiteral("ALTER TABLE vrn_collections DROP COLUMN whole_memory"),
              QStringLiteral("ALTER TABLE vrn_collections DROP COLUMN clock_ahead"),
              QStringLiteral("UPDATE vrn_schema SET version = 2"),
              QStringLiteral("INSERT INTO vrn_stations VALUES ('north', 'S1', 60)")})
            ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("v2"));
    auto archive = RecordArchive::open(path, error);
    ASSERT_TRUE(archive) << error;
    auto north = archive->station("north", error);
    ASSERT_TRUE(north) << error;
    EXPECT_EQ(north->utcOffsetMinutes, 60);
    EXPECT_FALSE(north->sendsOldest);
    ASSERT_TRUE(archive->setSendsOldest("north", error)) << error;
    north = archive->stationWithSerial("S1", error);
    ASSERT_TRUE(north) << error;
    EXPECT_TRUE(north->sendsOldest);
}

// The SQLite archive that version 4 of the tables made: opened, brought up to date, read back.
TEST(RecordArchive, AnArchiveOfVersionFourReadsBackExactly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v4.db"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(test::versionFourFile("archive.db")), path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    std::string error;
    auto archive = RecordArchive::open(path.toStdString(), error);
    ASSERT_TRUE(archive) << error;
    test::expectWhatVersionFourHeld(*archive);
    QSqlQuery q(databaseOf(*archive));
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT version FROM vrn_schema")) && q.next());
    EXPECT_EQ(q.value(0).toInt(), RecordArchive::kSchemaVersion);
}

}  // namespace
}  // namespace vrn::store
