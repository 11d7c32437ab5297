// Stations copied from one SQLite archive into another: all of them, only what the target lacks,
// and none whose history the two disagree about.
#include "store/archive_sync.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "archive_cases.h"
#include "archive_contents.h"

namespace vrn::store {
namespace {

using test::loggedCollection;
using test::minutes;

struct TwoArchives {
    QTemporaryDir dir;
    std::string error;
    std::unique_ptr<RecordArchive> from = RecordArchive::open(dir.filePath("from.db").toStdString(), error);
    std::unique_ptr<RecordArchive> to = RecordArchive::open(dir.filePath("to.db").toStdString(), error);

    void store(RecordArchive& archive, const Collection& c) {
        StoreSummary summary;
        EXPECT_TRUE(archive.store(c, summary, error)) << error;
    }
    // Every station copied; the records each added.
    std::vector<size_t> copyAll() {
        std::vector<size_t> added;
        for (const std::string& station : stationsToCopy(*from, error)) {
            StationCopy copy;
            EXPECT_EQ(copyStation(*from, *to, station, copy, error), CopyOutcome::Copied) << station << error;
            added.push_back(copy.addedRecords + copy.addedUnkeyed + copy.addedCollections +
                            copy.addedAttempts);
        }
        return added;
    }
};

TEST(ArchiveSync, CopiesEverythingOnceAndThenOnlyWhatIsNew) {
    TwoArchives a;
    ASSERT_TRUE(a.from && a.to) << a.error;
    // Stations with clock offset changes, with records without a time, with a format change, and
    // one known only by its attempts.
    test::expectEachRecordOnceAcrossAnOffsetChange(*a.from, "");
    test::expectEachUntimedRecordOnce(*a.from, "north");
    Collection renamed = loggedCollection("north", 260102.0F, 0, minutes(0, 5));
    renamed.format[0].label = "TEMP C";
    a.store(*a.from, renamed);
    ASSERT_TRUE(a.from->addAttempt({"north", 100, "ok", "", 5, 5, 0.125}, a.error));
    ASSERT_TRUE(a.from->addAttempt({"west", 200, "portGone", "the port is gone", 0, 0, 1.5}, a.error));
    ASSERT_TRUE(a.from->setSendsOldest("north", a.error));

    EXPECT_EQ(a.copyAll().size(), 4U);
    EXPECT_EQ(test::archiveContents(*a.to), test::archiveContents(*a.from));
    EXPECT_EQ(a.copyAll(), (std::vector<size_t>{0, 0, 0, 0})) << "a second copy adds nothing";

    // A collection and an attempt more in the source: only they, and its new records, go over.
    a.store(*a.from, loggedCollection("north", 260102.0F, 0, minutes(3, 9)));
    ASSERT_TRUE(a.from->addAttempt({"north", 300, "ok", "", 6, 4, 0.25}, a.error));
    EXPECT_EQ(a.copyAll(), (std::vector<size_t>{0, 0, 4 + 1 + 1, 0}));
    EXPECT_EQ(test::archiveContents(*a.to), test::archiveContents(*a.from));
}

TEST(ArchiveSync, AStationTheArchivesDisagreeAboutIsLeftAsItWas) {
    const auto day = minutes(0, 20);
    struct Row {
        const char* name;
        std::vector<Collection> from;
        std::vector<Collection> to;
        CopyOutcome outcome;
        const char* says;
    };
    Collection renamed = loggedCollection("st", 260101.0F, 60, minutes(10, 30));
    renamed.format[0].label = "TEMP C";
    const Row rows[] = {
        {"the offset changed at other times",
         {loggedCollection("st", 260101.0F, 60, day), loggedCollection("st", 260101.0F, 120, day, true)},
         {loggedCollection("st", 260101.0F, 60, minutes(0, 10)),
          loggedCollection("st", 260101.0F, 120, minutes(0, 10), true)},
         CopyOutcome::Conflict,
         "the source has +01:00 up to 2025-12-31 23:19:00 UTC, then +02:00, the target +01:00 up to "
         "2025-12-31 23:09:00 UTC, then +02:00"},
        {"the target keyed records after the source's change with the former offset",
         {loggedCollection("st", 260101.0F, 60, minutes(0, 10)),
          loggedCollection("st", 260101.0F, 120, minutes(0, 10), true)},
         {loggedCollection("st", 260101.0F, 60, day)},
         CopyOutcome::Conflict,
         "clock offsets disagree"},
        {"another offset and no change",
         {loggedCollection("st", 260101.0F, 120, day)},
         {loggedCollection("st", 260101.0F, 60, day)},
         CopyOutcome::Conflict,
         "the target +01:00"},
        {"a time held with another format",
         {loggedCollection("st", 260101.0F, 60, day)},
         {renamed},
         CopyOutcome::Conflict,
         "record of 2025-12-31 23:10:00 UTC was collected with another record format"},
        {"the target went on from the source's history",
         {loggedCollection("st", 260101.0F, 60, minutes(0, 10))},
         {loggedCollection("st", 260101.0F, 60, minutes(0, 10)),
          loggedCollection("st", 260101.0F, 120, minutes(0, 10), true)},
         CopyOutcome::Copied,
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TwoArchives a;
        for (const Collection& c : row.from)
            a.store(*a.from, c);
        for (const Collection& c : row.to)
            a.store(*a.to, c);
        const QStringList before = test::archiveContents(*a.to);
        StationCopy copy;
        EXPECT_EQ(copyStation(*a.from, *a.to, "st", copy, a.error), row.outcome) << a.error;
        EXPECT_NE(a.error.find(row.says), std::string::npos) << a.error;
        if (row.outcome == CopyOutcome::Conflict) {
            EXPECT_EQ(test::archiveContents(*a.to), before);
        }
        EXPECT_EQ(a.to->station("st", a.error)->utcOffsetMinutes, row.to.back().utcOffsetMinutes);
    }
}

}  // namespace
}  // namespace vrn::store
