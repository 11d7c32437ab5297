// status as a user runs it: vrncomm-cli over a SQLite file and a real PostgreSQL server, its
// figures for Prometheus written whole, and nothing written where it cannot be.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <bit>
#include <set>

#include "cli_process.h"
#include "core/link/virtual_clock.h"
#include "pg_cluster.h"
#include "store/record_archive.h"

namespace vrn::test {
namespace {

constexpr int64_t kStep = 600;

// Records every ten minutes from `from` to `to` (UTC): a reading, DATE and TIME.
store::Collection tenMinutes(const std::string& station, int64_t from, int64_t to, bool whole) {
    store::Collection c;
    c.station = station;
    c.collectedAt = to + 30;
    c.wholeMemory = whole;
    c.format = {{"AIR TEMP", 0, 5, 1}, {"DATE", 1, 6, 0}, {"TIME", 2, 6, 0}};
    for (int64_t t = from; t <= to; t += kStep) {
        const LocalDateTime d = civilFromEpochSeconds(t);
        for (const float v : {12.5F, static_cast<float>((d.year - 2000) * 10000 + d.month * 100 + d.day),
                              static_cast<float>(d.hour * 10000 + d.minute * 100 + d.second)})
            for (int shift = 0; shift < 32; shift += 8)
                c.bytes.push_back(static_cast<uint8_t>(std::bit_cast<uint32_t>(v) >> shift));
    }
    return c;
}

// north: collected an hour ago, nine records erased before a collection took them; south: its
// last attempt failed and its newest record is a week old.
void fill(const std::string& where) {
    std::string error;
    const auto a = store::RecordArchive::open(where, error);
    ASSERT_TRUE(a) << error;
    const int64_t newest = QDateTime::currentSecsSinceEpoch() / kStep * kStep - 6 * kStep;
    store::StoreSummary summary;
    for (const store::Collection& c :
         {tenMinutes("north", newest - 1100 * kStep, newest - 100 * kStep, true),
          tenMinutes("north", newest - 90 * kStep, newest, true),
          tenMinutes("south", newest - 1108 * kStep, newest - 1008 * kStep, true)})
        ASSERT_TRUE(a->store(c, summary, error)) << error;
    ASSERT_TRUE(a->addAttempt({"north", newest + 30, "ok", "", 91, 91, 1.0}, error)) << error;
    ASSERT_TRUE(a->addAttempt({"south", newest, "portGone", "the port went away", 0, 0, 0.5}, error))
        << error;
}

void takeBackToTheFourthVersion(const std::string& where) {
    const QString name = QStringLiteral("fourth");
    {
        QSqlDatabase db;
        if (where.starts_with("postgresql:")) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(
                QString::fromStdString(where).section(QStringLiteral("host="), 1).section('&', 0, 0));
            db.setUserName(
                QString::fromStdString(where).section(QStringLiteral("user="), 1).section('&', 0, 0));
            db.setDatabaseName(QStringLiteral("postgres"));
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(QString::fromStdString(where));
        }
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery q(db);
        for (const char* sql :
             {"DROP INDEX vrn_collections_station", "ALTER TABLE vrn_collections DROP COLUMN oldest_utc",
              "ALTER TABLE vrn_collections DROP COLUMN newest_utc",
              "ALTER TABLE vrn_collections DROP COLUMN whole_memory",
              "ALTER TABLE vrn_collections DROP COLUMN clock_ahead", "UPDATE vrn_schema SET version = 4"})
            ASSERT_TRUE(q.exec(QString::fromLatin1(sql))) << sql << q.lastError().text().toStdString();
    }
    QSqlDatabase::removeDatabase(name);
}

// node_exporter's text format: each metric's HELP and TYPE once, then all its samples together.
void expectPrometheusFormat(const QString& text) {
    ASSERT_TRUE(text.endsWith('\n'));
    const QRegularExpression sample(
        QStringLiteral(R"(^([a-zA-Z_:][a-zA-Z0-9_:]*)(\{station="[^"\\]*"\})? -?\d+$)"));
    std::set<QString> seen;
    QString current;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
        const QStringList words = line.split(' ');
        if (line.startsWith(QStringLiteral("# HELP "))) {
            EXPECT_TRUE(seen.insert(words[2]).second) << line.toStdString();
            current = words[2];
        } else if (line.startsWith(QStringLiteral("# TYPE "))) {
            EXPECT_EQ(words[2], current);
            EXPECT_EQ(words[3], QStringLiteral("gauge"));
        } else {
            const QRegularExpressionMatch m = sample.match(line);
            EXPECT_TRUE(m.hasMatch()) << line.toStdString();
            EXPECT_EQ(m.captured(1), current) << line.toStdString();
        }
    }
}

TEST(StatusEndToEnd, EveryStationsHealthOnBothKindsOfArchive) {
    QTemporaryDir dir;
    std::vector<std::string> archives = {dir.filePath(QStringLiteral("archive.db")).toStdString()};
    std::unique_ptr<PgCluster> pg;
    if (!PgCluster::binDir().empty()) {
        pg = std::make_unique<PgCluster>();
        ASSERT_TRUE(pg->running()) << pg->error();
        archives.push_back(pg->url());
    }
    for (const std::string& where : archives) {
        SCOPED_TRACE(where);
        fill(where);
        const QString prom = dir.filePath(QStringLiteral("vrncomm.prom"));
        const CliRun all = runCli({"status", QString::fromStdString(where), "--json", "--prometheus", prom});
        ASSERT_EQ(all.exitCode, 8) << all.out << all.err;
        EXPECT_NE(all.err.find("station south is failing: its last collection attempt"), std::string::npos);
        EXPECT_NE(all.err.find("station south is stale"), std::string::npos) << all.err;
        const QJsonArray stations =
            QJsonDocument::fromJson(QByteArray::fromStdString(all.out))["result"]["stations"].toArray();
        ASSERT_EQ(stations.size(), 2);
        const QJsonObject north = stations.at(0).toObject();
        EXPECT_EQ(north.value("station"), "north");
        EXPECT_EQ(north.value("well"), true);
        EXPECT_EQ(north.value("lost"), 9);
        EXPECT_EQ(north.value("records"), 1001 + 91);
        EXPECT_EQ(stations.at(1).toObject().value("lastAttempt").toObject().value("outcome"), "portGone");
        const QString text = QString::fromUtf8(readAll(prom));
        expectPrometheusFormat(text);
        EXPECT_TRUE(text.contains(QStringLiteral("\nvrncomm_station_records_lost{station=\"north\"} 9\n")));
        EXPECT_TRUE(text.contains(QStringLiteral("\nvrncomm_station_well{station=\"south\"} 0\n")));

        // Taken back to the fourth version, the archive knows its collections' spans from their
        // records, though not that they took the whole memory: the gap shows, held.
        for (const bool fourth : {false, true}) {
            if (fourth) takeBackToTheFourthVersion(where);
            const CliRun one = runCli({"status", QString::fromStdString(where), "--station", "north"});
            EXPECT_EQ(one.exitCode, 0) << one.err;
            EXPECT_EQ(one.out.rfind("STATION north: WELL, LAST ATTEMPT ", 0), 0U) << one.out;
            const char* figures = fourth ? ", GAPS 1 (HELD 9), LOST 0, " : ", GAPS 1 (HELD 0), LOST 9, ";
            EXPECT_NE(one.out.find(figures), std::string::npos) << one.out;
        }
    }
}

// Nothing is written where the figures cannot go, nor when the archive cannot be read.
TEST(StatusEndToEnd, BadTargetsAndArchivesWriteNothing) {
    QTemporaryDir dir;
    const std::string archive = dir.filePath(QStringLiteral("archive.db")).toStdString();
    fill(archive);
    const QString kept = dir.filePath(QStringLiteral("kept.prom"));
    QFile old(kept);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("# the last good figures\n") > 0);
    old.close();
    const QString db = QString::fromStdString(archive);
    const struct Row {
        const char* name;
        QStringList args;
        int exit;
        const char* errHas;
    } rows[] = {
        {"a folder", {"status", db, "--prometheus", dir.path()}, 2, "cannot write"},
        {"a missing folder", {"status", db, "--prometheus", dir.filePath("none/x.prom")}, 2, "cannot write"},
        {"no archive there", {"status", dir.filePath("none.db"), "--prometheus", kept}, 7, "no archive at"},
        {"not an archive", {"status", kept, "--prometheus", kept}, 7, "cannot open the archive"},
        {"an unknown station",
         {"status", db, "--station", "east", "--prometheus", kept},
         2,
         "(it has: north, south)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CliRun r = runCli(row.args);
        EXPECT_EQ(r.exitCode, row.exit) << r.err;
        EXPECT_NE(r.err.find(row.errHas), std::string::npos) << r.err;
        EXPECT_EQ(readAll(kept), QByteArray("# the last good figures\n"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
}

}  // namespace
}  // namespace vrn::test
