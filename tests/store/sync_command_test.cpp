// sync of the command-line tool between real SQLite archives: what it prints, its document, and
// every refusal leaving the target as it was.
#include <gtest/gtest.h>
#include <signal.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "archive_cases.h"
#include "cli/stop_signal.h"
#include "cli_rig.h"
#include "store/archive_tables.h"

namespace vrn::cli::test {
namespace {

struct SyncRig : CliRig {
    QTemporaryDir dir;
    std::string from = path("from.db");
    std::string to = path("to.db");

    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    // FROM with stations a (10 records) and b (5), TO with b at another clock offset when asked.
    void fill(bool conflict) {
        std::string error;
        auto f = store::RecordArchive::open(from, error);
        store::StoreSummary summary;
        ASSERT_TRUE(f->store(vrn::test::loggedCollection("a", 260101.0F, 0, vrn::test::minutes(0, 10)),
                             summary, error));
        ASSERT_TRUE(f->store(vrn::test::loggedCollection("b", 260101.0F, 0, vrn::test::minutes(0, 5)),
                             summary, error));
        if (!conflict) return;
        auto t = store::RecordArchive::open(to, error);
        ASSERT_TRUE(t->store(vrn::test::loggedCollection("b", 260101.0F, 60, vrn::test::minutes(0, 5)),
                             summary, error));
    }
    QByteArray bytes(const std::string& file) const {
        QFile f(QString::fromStdString(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST(SyncCommand, CopiesEachStationAndSaysWhat) {
    for (const bool conflict : {false, true}) {
        SCOPED_TRACE(conflict ? "station b disagrees" : "a new target");
        SyncRig rig;
        rig.fill(conflict);
        EXPECT_EQ(rig.run({"--json", "sync", rig.from, rig.to}), conflict ? kExitUsage : kExitOk)
            << rig.err.str();
        const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(rig.out.str())).object();
        const QJsonObject result = doc["result"].toObject();
        const QJsonArray stations = result["stations"].toArray();
        ASSERT_EQ(stations.size(), 2);
        EXPECT_EQ(stations[0]["newRecords"].toInt(), 10);
        EXPECT_EQ(stations[1]["synced"].toBool(), !conflict);
        EXPECT_EQ(result["newRecords"].toInt(), conflict ? 10 : 15);
        EXPECT_EQ(result["leftOut"].toInt(), conflict ? 1 : 0);
        const QJsonArray messages = doc["messages"].toArray();
        EXPECT_EQ(messages[1].toString(),
                  QStringLiteral("STATION a: RECORDS 10 (10 NEW), WITHOUT DATE OR TIME 0 (0 "
                                 "NEW), COLLECTIONS 1 (1 NEW), ATTEMPTS 0 (0 NEW)"));
        EXPECT_EQ(messages.last().toString(), conflict ? "STATIONS: 1 SYNCED, 1 LEFT OUT, NEW RECORDS: 10"
                                                       : "STATIONS: 2 SYNCED, 0 LEFT OUT, NEW RECORDS: 15");
        EXPECT_EQ(rig.err.str().find("error: station b is left out: its clock offsets disagree") !=
                      std::string::npos,
                  conflict)
            << rig.err.str();
        ASSERT_EQ(rig.run({"--quiet", "sync", rig.from, rig.to}), conflict ? kExitUsage : kExitOk);
        EXPECT_EQ(rig.out.str(), "") << "--quiet keeps the lines out";
    }
}

TEST(SyncCommand, RefusalsLeaveTheTargetAsItWas) {
    struct Row {
        const char* name;
        std::vector<std::string> args;  // @from and @to: the rig's archives
        int exit;
        const char* says;
    };
    const std::vector<Row> rows = {
        {"FROM not there", {"sync", "@dir/none.db", "@dir/new.db"}, kExitArchive, "error: no archive at "},
        {"TO in a folder that is not there",
         {"sync", "@from", "@dir/no/to.db"},
         kExitArchive,
         "cannot open the archive"},
        {"TO not a database", {"sync", "@from", "@dir/text.db"}, kExitArchive, "cannot open the archive"},
        {"TO a server that is not there",
         {"sync", "@from", "postgresql:///w?host=/nonexistent&password=secret"},
         kExitArchive,
         "cannot open the archive postgresql:///w?host=/nonexistent&password=***"},
        {"one archive twice", {"sync", "@from", "@dir/./from.db"}, kExitUsage, "are one archive"},
        {"FROM of a newer version",
         {"sync", "@dir/newer.db", "@to"},
         kExitArchive,
         "its tables are of version 99, newer than this program's"},
        {"TO of a newer version",
         {"sync", "@from", "@dir/newer.db"},
         kExitArchive,
         "use a newer VRNComm for it"},
        {"stopped before the first station", {"sync", "@from", "@to"}, 128 + SIGTERM, ""},
        {"TO missing", {"sync", "@from"}, kExitUsage, "error: sync: TO is missing"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SyncRig rig;
        rig.fill(false);
        std::string error;
        ASSERT_TRUE(store::RecordArchive::open(rig.to, error));
        {
            auto newer = store::RecordArchive::open(rig.path("newer.db"), error);
            QSqlQuery q(store::databaseOf(*newer));
            ASSERT_TRUE(q.exec(QStringLiteral("UPDATE vrn_schema SET version = 99")));
        }
        QFile text(QString::fromStdString(rig.path("text.db")));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("1 RECORDS\r\n") > 0);
        text.close();
        const QByteArray before[] = {rig.bytes(rig.to), rig.bytes(rig.path("newer.db")),
                                     rig.bytes(rig.path("text.db"))};
        std::vector<std::string> args = row.args;
        for (std::string& a : args) {
            if (a == "@from") a = rig.from;
            if (a == "@to") a = rig.to;
            if (a.starts_with("@dir/")) a = rig.path(a.c_str() + 5);
        }
        if (row.exit == 128 + SIGTERM) setStopSignal(SIGTERM);
        EXPECT_EQ(rig.run(args), row.exit) << rig.err.str();
        setStopSignal(0);
        EXPECT_NE(rig.err.str().find(row.says), std::string::npos) << rig.err.str();
        EXPECT_EQ(rig.err.str().find("secret"), std::string::npos);
        const QByteArray after[] = {rig.bytes(rig.to), rig.bytes(rig.path("newer.db")),
                                    rig.bytes(rig.path("text.db"))};
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(after[k], before[k]) << k;
        for (const char* made : {"none.db", "new.db"})
            EXPECT_FALSE(QFile::exists(QString::fromStdString(rig.path(made)))) << made;
    }
}

}  // namespace
}  // namespace vrn::cli::test
