// vrncomm-cli sync between a SQLite file and a real PostgreSQL server, both ways, and killed
// halfway through.
#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include "archive_cases.h"
#include "archive_contents.h"
#include "archive_fixture.h"
#include "cli_process.h"
#include "pg_cluster.h"

namespace vrn::test {
namespace {

// How long the server may take to show a waiting session, or to end one whose client is gone.
constexpr int kServerWaitMs = 20000;

std::unique_ptr<store::RecordArchive> openArchive(const std::string& where) {
    std::string error;
    auto archive = store::RecordArchive::open(where, error);
    EXPECT_TRUE(archive) << error;
    return archive;
}

// The server's count of sessions other than the asking one that match `where`, once it is `wanted`
// (or the time is up).
long long sessionsOnceThere(QSqlDatabase& db, const QString& where, long long wanted) {
    QElapsedTimer t;
    t.start();
    long long found = -1;
    do {
        QSqlQuery q(db);
        // Within a transaction the server shows what it showed first, unless told to look again.
        if (q.exec(QStringLiteral("SELECT pg_stat_clear_snapshot()")) &&
            q.exec(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid <> pg_backend_pid() AND "
                                  "backend_type = 'client backend' AND ") +
                   where) &&
            q.next())
            found = q.value(0).toLongLong();
        if (found != wanted) QThread::msleep(50);
    } while (found != wanted && t.elapsed() < kServerWaitMs);
    return found;
}

TEST(SyncEndToEnd, ASiteArchiveIntoPostgresAndBackHoldsTheSame) {
    if (PgCluster::binDir().empty()) GTEST_SKIP() << "PostgreSQL's server programs are not installed";
    PgCluster pg;
    ASSERT_TRUE(pg.running()) << pg.error();
    QTemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("site.db"));
    const QString back = dir.filePath(QStringLiteral("back.db"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(versionFourFile("archive.db")), site));
    QFile::setPermissions(site, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QString url = QString::fromStdString(pg.url());
    const struct Step {
        QString from, to;
        int exit;
        const char* says;
    } steps[] = {
        {site, url, 0, "STATIONS: 2 SYNCED, 0 LEFT OUT, NEW RECORDS: 139\n"},
        {site, url, 0, "STATIONS: 2 SYNCED, 0 LEFT OUT, NEW RECORDS: 0\n"},
        {url, back, 0, "STATIONS: 2 SYNCED, 0 LEFT OUT, NEW RECORDS: 139\n"},
        {url, url + QStringLiteral("&application_name=other"), 2, "are one archive"},
    };
    for (const Step& step : steps) {
        const CliRun r = runCli({QStringLiteral("sync"), step.from, step.to});
        EXPECT_EQ(r.exitCode, step.exit) << r.out << r.err;
        EXPECT_NE((step.exit == 0 ? r.out : r.err).find(step.says), std::string::npos) << r.out << r.err;
    }
    const auto server = openArchive(pg.url());
    const auto first = openArchive(site.toStdString());
    const auto last = openArchive(back.toStdString());
    ASSERT_TRUE(server && first && last);
    EXPECT_EQ(archiveContents(*server), archiveContents(*first));
    EXPECT_EQ(archiveContents(*last), archiveContents(*first));
    expectWhatVersionFourHeld(*server);
}

// The target's attempts are locked by another session: the run waits inside station b's
// transaction, after its records went in, and is killed there.
TEST(SyncEndToEnd, AKilledRunLeavesWholeStationsOnly) {
    if (PgCluster::binDir().empty()) GTEST_SKIP() << "PostgreSQL's server programs are not installed";
    PgCluster pg;
    ASSERT_TRUE(pg.running()) << pg.error();
    QTemporaryDir dir;
    const std::string site = dir.filePath(QStringLiteral("site.db")).toStdString();
    {
        const auto from = openArchive(site);
        ASSERT_TRUE(from);
        for (const char* station : {"a", "b", "c"}) {
            store::StoreSummary summary;
            std::string error;
            ASSERT_TRUE(
                from->store(loggedCollection(station, 260101.0F, 0, minutes(0, 600)), summary, error));
            if (std::string(station) != "a") {
                ASSERT_TRUE(from->addAttempt({station, 1, "ok", "", 600, 600, 1}, error));
            }
        }
    }
    ASSERT_TRUE(openArchive(pg.url()));
    const QString admin = QStringLiteral("sync-admin");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), admin);
        db.setHostName(
            QString::fromStdString(pg.url()).section(QStringLiteral("host="), 1).section('&', 0, 0));
        db.setUserName(QStringLiteral("vrn"));
        db.setDatabaseName(QStringLiteral("postgres"));
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(db.transaction());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral("LOCK TABLE vrn_attempts IN EXCLUSIVE MODE")));
        QProcess p;
        p.start(QStringLiteral(VRN_CLI_PROGRAM),
                {QStringLiteral("sync"), QString::fromStdString(site), QString::fromStdString(pg.url())});
        ASSERT_TRUE(p.waitForStarted(5000));
        EXPECT_EQ(sessionsOnceThere(db, QStringLiteral("wait_event_type = 'Lock'"), 1), 1);
        ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_TRUE(p.readAllStandardOutput().contains("STATION a: RECORDS 600 (600 NEW)"));
        ASSERT_TRUE(db.rollback());
        EXPECT_EQ(sessionsOnceThere(db, QStringLiteral("true"), 0), 0);
        QSqlQuery q(db);
        ASSERT_TRUE(
            q.exec(QStringLiteral("SELECT (SELECT string_agg(DISTINCT station, ',') FROM vrn_records), "
                                  "(SELECT count(*) FROM vrn_records), (SELECT string_agg(name, ',') FROM "
                                  "vrn_stations), (SELECT count(*) FROM vrn_collections)")) &&
            q.next());
        EXPECT_EQ(q.value(0).toString(), QStringLiteral("a"));
        EXPECT_EQ(q.value(1).toInt(), 600);
        EXPECT_EQ(q.value(2).toString(), QStringLiteral("a"));
        EXPECT_EQ(q.value(3).toInt(), 1);
    }
    QSqlDatabase::removeDatabase(admin);
    // The next run brings the rest.
    const CliRun r =
        runCli({QStringLiteral("sync"), QString::fromStdString(site), QString::fromStdString(pg.url())});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.out.ends_with("STATIONS: 3 SYNCED, 0 LEFT OUT, NEW RECORDS: 1200\n")) << r.out;
    const auto from = openArchive(site);
    const auto to = openArchive(pg.url());
    EXPECT_EQ(archiveContents(*to), archiveContents(*from));
}

}  // namespace
}  // namespace vrn::test
