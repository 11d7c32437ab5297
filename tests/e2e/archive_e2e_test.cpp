// The record archive against a real PostgreSQL server and a SQLite file, collected by vrncomm-cli
// from vrncomm-sim stations on ptys, in real time.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>

#include "cli_process.h"
#include "pg_cluster.h"
#include "sim/records_commands.h"
#include "sim/sim_state.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

// The simulated station's record format: five readings, then DATE and TIME.
constexpr int kFields = 7;
constexpr int kDateField = 5;
constexpr int kTimeField = 6;

// A station's record memory, written where vrncomm-sim --state reads it.
struct Station {
    uint32_t logged;
    int64_t first;
    uint32_t interval;

    sim::SimRecords records() const { return {logged, first, interval}; }
    sim::SimSetup setup() const {
        sim::SimSetup s;
        s.fieldsPerRecord = kFields;
        s.fields[kDateField].type = 1;
        s.fields[kTimeField].type = 2;
        return s;
    }
    float value(uint32_t r, int k) const { return sim::loggedValue(setup(), records(), r, k); }
    bool keyed(uint32_t r) const {
        return !std::isnan(value(r, kDateField)) && !std::isnan(value(r, kTimeField));
    }

    // What the newest `count` records hold: keyed ones, unkeyed ones, keyed ones missing field k.
    struct Expected {
        int keyed = 0;
        int unkeyed = 0;
        int missingFirst = 0;
    };
    Expected expect(uint32_t from, uint32_t to) const {
        Expected e;
        for (uint32_t r = from; r < to; ++r) {
            if (!keyed(r)) {
                ++e.unkeyed;
                continue;
            }
            ++e.keyed;
            if (std::isnan(value(r, 0))) ++e.missingFirst;
        }
        return e;
    }

    std::vector<std::string> simOptions(const QTemporaryDir& dir, const QString& name,
                                        std::vector<std::string> more = {}) const {
        const QString state = dir.filePath(name);
        QDir().mkpath(state);
        QFile f(state + QStringLiteral("/records.txt"));
        if (f.open(QIODevice::WriteOnly))
            f.write(QStringLiteral("logged %1\nfirst %2\ninterval %3\n")
                        .arg(logged)
                        .arg(first)
                        .arg(interval)
                        .toUtf8());
        more.insert(more.begin(), {"--state", state.toStdString()});
        return more;
    }
};

std::string summary(int records, int added, int unkeyed) {
    return "RECORDS: " + std::to_string(records) + ", NEW: " + std::to_string(added) +
           ", WITHOUT DATE OR TIME: " + std::to_string(unkeyed) + "\n";
}

// One number from the archive, or -1 with the reason printed.
class ArchiveQuery {
public:
    ArchiveQuery(const QString& driver, const QString& name, const std::string& where) : name_(name) {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        if (driver == QLatin1String("QPSQL")) {
            const QString url = QString::fromStdString(where);
            db.setHostName(url.section(QStringLiteral("host="), 1).section(QLatin1Char('&'), 0, 0));
            db.setUserName(QStringLiteral("vrn"));
            db.setDatabaseName(QStringLiteral("postgres"));
        } else {
            db.setDatabaseName(QString::fromStdString(where));
        }
        db.open();
    }
    ~ArchiveQuery() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    ArchiveQuery(const ArchiveQuery&) = delete;
    ArchiveQuery& operator=(const ArchiveQuery&) = delete;

    long long number(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(name_, false));
        if (!q.exec(sql) || !q.next()) {
            ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
            return -1;
        }
        return q.value(0).toLongLong();
    }

private:
    QString name_;
};

TEST(ArchiveEndToEnd, TwoStationsIntoPostgresAndOneIntoSqlite) {
    if (PgCluster::binDir().empty())
        GTEST_SKIP() << "PostgreSQL's server programs (initdb, pg_ctl) are not installed";
    PgCluster pg;
    ASSERT_TRUE(pg.running()) << pg.error();
    QTemporaryDir dir;
    // 5,000 records a download: each field of the simulated memory misses one reading in 4,999.
    const Station north{6000, 1767225600, 60};   // 2026-01-01, every minute
    const Station south{5200, 1767312000, 600};  // 2026-01-02, every ten minutes
    SimProcess simNorth(north.simOptions(dir, QStringLiteral("north")));
    SimProcess simSouth(south.simOptions(dir, QStringLiteral("south")));
    ASSERT_FALSE(simNorth.path().empty()) << simNorth.errorText();
    ASSERT_FALSE(simSouth.path().empty()) << simSouth.errorText();
    const std::string url = pg.url();
    const QString archive = QString::fromStdString(url);

    // The newest 4,900 of north's records, then 5,000 of them: the overlap adds only the 100 older ones.
    const auto first = north.expect(1100, 6000);
    CliRun r = runCliOn(simNorth.path(), {"collect", archive, "--station", "north", "--count", "4900",
                                          "--utc-offset", "+01:00"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find(summary(4900, first.keyed, first.unkeyed)), std::string::npos) << r.out;
    // The newest record is 2026-01-05 03:59 on the station's clock, 02:59 UTC.
    EXPECT_NE(r.out.find("NEWEST: 2026-01-05 02:59:00 UTC\n"), std::string::npos) << r.out;
    const auto older = north.expect(1000, 1100);
    r = runCliOn(simNorth.path(), {"collect", archive, "--station", "north", "--count", "5000"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find(summary(5000, older.keyed, first.unkeyed + older.unkeyed)), std::string::npos)
        << r.out;
    // Collecting the same records again adds nothing; the offset was remembered.
    r = runCliOn(simNorth.path(), {"collect", archive, "--station", "north", "--count", "5000"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find(summary(5000, 0, first.unkeyed + older.unkeyed)), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("NEWEST: 2026-01-05 02:59:00 UTC\n"), std::string::npos) << r.out;

    const auto southAll = south.expect(200, 5200);
    r = runCliOn(simSouth.path(), {"collect", archive, "--station", "south", "--count", "5000"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find(summary(5000, southAll.keyed, southAll.unkeyed)), std::string::npos) << r.out;

    {
        ArchiveQuery db(QStringLiteral("QPSQL"), QStringLiteral("e2e-pg"), url);
        const auto northAll = north.expect(1000, 6000);
        EXPECT_EQ(db.number("SELECT count(*) FROM vrn_records WHERE station = 'north'"), northAll.keyed);
        EXPECT_EQ(db.number("SELECT count(*) FROM vrn_records WHERE station = 'south'"), southAll.keyed);
        // Keys: the station's clock minus its offset.
        uint32_t oldest = 1000;
        while (!north.keyed(oldest))
            ++oldest;
        uint32_t newest = 5199;
        while (!south.keyed(newest))
            --newest;
        EXPECT_EQ(db.number("SELECT min(utc) FROM vrn_records WHERE station = 'north'"),
                  north.first + oldest * 60 - 3600);
        EXPECT_EQ(db.number("SELECT max(utc) FROM vrn_records WHERE station = 'south'"),
                  south.first + newest * 600);
        EXPECT_EQ(db.number("SELECT count(*) FROM vrn_records WHERE station = 'north' AND v1 IS NULL"),
                  northAll.missingFirst);
        EXPECT_GT(northAll.missingFirst + northAll.unkeyed, 0) << "the memory has no missing value to check";
        // Each record without a time is kept once, however many collections brought it; every
        // collection keeps its format.
        EXPECT_EQ(db.number("SELECT count(*) FROM vrn_unkeyed"),
                  first.unkeyed + older.unkeyed + southAll.unkeyed);
        EXPECT_EQ(db.number("SELECT count(*) FROM vrn_collections"), 4);
        EXPECT_EQ(db.number("SELECT count(*) FROM vrn_fields WHERE label = 'TIME' AND type = 2"), 4);
        EXPECT_EQ(db.number("SELECT utc_offset_minutes FROM vrn_stations WHERE name = 'north'"), 60);
    }

    // One station into a SQLite file, and back out as the record text file get-records writes.
    const QString file = dir.filePath(QStringLiteral("south.db"));
    r = runCliOn(simSouth.path(), {"collect", file, "--station", "south", "--count", "300"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const auto last = south.expect(4900, 5200);
    EXPECT_NE(r.out.find(summary(300, last.keyed, last.unkeyed)), std::string::npos) << r.out;
    {
        ArchiveQuery db(QStringLiteral("QSQLITE"), QStringLiteral("e2e-sqlite"), file.toStdString());
        EXPECT_EQ(db.number("SELECT count(*) FROM vrn_records"), last.keyed);
    }
    const QString got = dir.filePath(QStringLiteral("got.txt"));
    const QString exported = dir.filePath(QStringLiteral("exported.txt"));
    ASSERT_EQ(runCliOn(simSouth.path(), {"get-records", "300", got, "--delimiter", "tab"}).exitCode, 0);
    r = runCli({"export", file, "--station", "south", "--delimiter", "tab", exported});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    QList<QByteArray> gotLines = readAll(got).split('\n');
    QList<QByteArray> exportedLines = readAll(exported).split('\n');
    ASSERT_GT(gotLines.size(), 3);
    ASSERT_GT(exportedLines.size(), 3);
    EXPECT_EQ(exportedLines[0], QByteArray::number(last.keyed) + " RECORDS\r");
    EXPECT_EQ(exportedLines[2], gotLines[2]);
    gotLines = gotLines.mid(3);
    gotLines.removeIf([](const QByteArray& line) {
        const QList<QByteArray> cells = line.split('\t');
        return cells.size() == kFields && (cells[kDateField] == "-99999" || cells[kTimeField] == "-99999\r");
    });
    EXPECT_EQ(exportedLines.mid(3), gotLines);

    // The chart of the archived records, and of a range with none.
    const QString png = dir.filePath(QStringLiteral("south.png"));
    r = runCli({"plot", file, png, "--station", "south", "--from", "2026-02-01", "--to", "2026-02-07"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(readAll(png).startsWith("\x89PNG"));
    r = runCli({"plot", file, png, "--station", "south", "--to", "2026-01-01"});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_NE(r.err.find("has no records"), std::string::npos) << r.err;
}

TEST(ArchiveEndToEnd, FailedOrInterruptedCollectionLeavesTheArchiveAsItWas) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("archive.db"));
    const Station station{3000, 1767225600, 60};
    {
        SimProcess sim(station.simOptions(dir, QStringLiteral("whole")));
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        const CliRun r = runCliOn(sim.path(), {"collect", file, "--station", "st", "--count", "100"});
        ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    }
    {
        // The download stops short: the 35 whole records that came are stored, and the exit status
        // says it was cut short.
        SimProcess sim(station.simOptions(dir, QStringLiteral("short"), {"--records-stop-after", "1000"}));
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        const CliRun r = runCliOn(sim.path(), {"collect", file, "--station", "st", "--count", "500"});
        EXPECT_EQ(r.exitCode, 4) << r.out << r.err;
        EXPECT_NE(r.out.find(summary(35, 35, 0)), std::string::npos) << r.out;
        EXPECT_NE(r.err.find("the 35 whole records that came were stored"), std::string::npos) << r.err;
    }
    const QByteArray before = readAll(file);
    ASSERT_FALSE(before.isEmpty());
    {
        // The tool is killed while the download pauses.
        SimProcess sim(station.simOptions(dir, QStringLiteral("stall"), {"--records-stall", "1000:20000"}));
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        QProcess p;
        p.start(QStringLiteral(VRN_CLI_PROGRAM),
                {QStringLiteral("--port"), QString::fromStdString(sim.path()), QStringLiteral("collect"),
                 file, QStringLiteral("--station"), QStringLiteral("st"), QStringLiteral("--count"),
                 QStringLiteral("500")});
        ASSERT_TRUE(p.waitForStarted(5000));
        QElapsedTimer t;
        t.start();
        while (!p.readAllStandardOutput().contains("DOWNLOADING") && t.elapsed() < 10000 &&
               p.state() == QProcess::Running)
            p.waitForReadyRead(200);
        QThread::msleep(300);
        ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        ASSERT_TRUE(p.waitForFinished(5000));
    }
    EXPECT_EQ(readAll(file), before);
    ArchiveQuery db(QStringLiteral("QSQLITE"), QStringLiteral("e2e-kept"), file.toStdString());
    // The whole collection and the one cut short; the killed run stored nothing.
    EXPECT_EQ(db.number("SELECT count(*) FROM vrn_collections"), 2);
}

TEST(ArchiveEndToEnd, ServerRestartedDuringTheDownloadStillGetsTheCollection) {
    if (PgCluster::binDir().empty())
        GTEST_SKIP() << "PostgreSQL's server programs (initdb, pg_ctl) are not installed";
    PgCluster pg;
    ASSERT_TRUE(pg.running()) << pg.error();
    QTemporaryDir dir;
    const Station station{2000, 1767225600, 60};
    // The download pauses 2 s after 500 records, well inside the silence that ends it.
    SimProcess sim(station.simOptions(dir, QStringLiteral("st"),
                                      {"--records-stall", std::to_string(500 * kFields * 4) + ":2000"}));
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    // The server ignores the password (trust); it must show nowhere all the same.
    const std::string url = pg.url() + "&password=s3cret";
    QProcess p;
    p.start(QStringLiteral(VRN_CLI_PROGRAM),
            {QStringLiteral("--port"), QString::fromStdString(sim.path()), QStringLiteral("collect"),
             QString::fromStdString(url), QStringLiteral("--station"), QStringLiteral("st"),
             QStringLiteral("--count"), QStringLiteral("1000")});
    ASSERT_TRUE(p.waitForStarted(5000));
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (!out.contains("DOWNLOADING") && t.elapsed() < 10000 && p.state() == QProcess::Running) {
        p.waitForReadyRead(100);
        out += p.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("DOWNLOADING")) << out.toStdString();
    ASSERT_TRUE(pg.restart()) << pg.error();
    ASSERT_TRUE(p.waitForFinished(kCliRunLimitMs));
    out += p.readAllStandardOutput();
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_EQ(p.exitCode(), 0) << out.toStdString() << err;
    const auto expected = station.expect(1000, 2000);
    EXPECT_TRUE(out.contains(QByteArray::fromStdString(summary(1000, expected.keyed, expected.unkeyed))))
        << out.toStdString();
    // What the lost connection made libpq or Qt say reaches stderr only as a prefixed line.
    for (const QString& line : QString::fromStdString(err).split('\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith(QStringLiteral("warning: ")) ||
                    line.startsWith(QStringLiteral("error: ")))
            << line.toStdString();
    EXPECT_FALSE(out.contains("s3cret") || err.find("s3cret") != std::string::npos)
        << out.toStdString() << err;
    EXPECT_TRUE(out.contains("STORING RECORDS IN postgresql:///postgres?host=")) << out.toStdString();
    EXPECT_TRUE(out.contains("&password=***...\n")) << out.toStdString();
    ArchiveQuery db(QStringLiteral("QPSQL"), QStringLiteral("e2e-restart"), pg.url());
    EXPECT_EQ(db.number("SELECT count(*) FROM vrn_records"), expected.keyed);
}

TEST(ArchiveEndToEnd, FormatWithoutDateAndTimeIsRefusedBeforeDownloading) {
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("state"));
    QDir().mkpath(state);
    QFile setup(state + QStringLiteral("/setup.txt"));
    ASSERT_TRUE(setup.open(QIODevice::WriteOnly));
    setup.write("fields-per-record 5\n");
    setup.close();
    SimProcess sim({"--state", state.toStdString()});
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    const QString file = dir.filePath(QStringLiteral("archive.db"));
    const CliRun r = runCliOn(sim.path(), {"collect", file, "--station", "st"});
    EXPECT_EQ(r.exitCode, 2) << r.out << r.err;
    EXPECT_NE(r.err.find("no Date field and Time field"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("DOWNLOADING"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace vrn::test
