// Ten simulated stations whose clocks pass a night in a few seconds, collected every night by the
// packaged collection script (as each station's timer runs it) into a PostgreSQL archive, one
// station's port gone for a night: in the end the archive holds every record each one logged.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <iterator>
#include <limits>
#include <memory>

#include "pg_cluster.h"
#include "sim/record_memory.h"
#include "sim/records_file.h"
#include "sim_process.h"
#include "store/record_archive.h"

namespace vrn::test {
namespace {

constexpr int kStations = 10;
constexpr int kNights = 7;
// A night of the stations' clocks passes in this long; a record every ten minutes, 144 a night.
constexpr int kNightMs = 8000;
constexpr int64_t kSpeed = int64_t{86400} * 1000 / kNightMs;
constexpr int64_t kInterval = 600;
constexpr int kHeldAtStart = 288;
// The fourth station's port is gone on the fourth night.
constexpr int kUnplugged = 3;
constexpr int kUnpluggedNight = 4;
// Two instruments answer a count with their oldest records; two stations are set to download all
// every night, each download then ended by the instrument's silence.
constexpr int kSendsOldest[] = {7, 9};
constexpr int kCountAll[] = {8, 9};
// Bound of one night's collections (the first downloads all and ends in the instrument's silence).
constexpr int kNightLimitMs = 60000;
// The stations' timers fire this far apart (their randomized delay), so that ten programs starting
// at once do not keep the simulators from answering within the protocol's read time-out.
constexpr int kStaggerMs = 400;

struct Station {
    QString name;
    QString state;
    QString link;
    QString conf;
    bool sendsOldest = false;
    std::unique_ptr<SimProcess> sim;

    void start() {
        std::vector<std::string> options{"--state",          state.toStdString(), "--link",
                                         link.toStdString(), "--speed",           std::to_string(kSpeed)};
        if (sendsOldest) options.emplace_back("--sends-oldest");
        sim = std::make_unique<SimProcess>(options);
    }
};

// The PC's local time in seconds, as the simulator's clock starts from it.
int64_t localNowSeconds() {
    const QDateTime now = QDateTime::currentDateTime();
    return QDateTime(now.date(), now.time(), Qt::UTC).toSecsSinceEpoch();
}

bool writeFile(const QString& path, const QString& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) == text.toUtf8().size();
}

// The station's settings in the environment, as systemd's EnvironmentFile= puts them there.
void addSettings(QProcessEnvironment& env, const QString& conf) {
    QFile f(conf);
    if (!f.open(QIODevice::ReadOnly)) return;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || !line.contains(QLatin1Char('='))) continue;
        env.insert(line.section(QLatin1Char('='), 0, 0).trimmed(),
                   line.section(QLatin1Char('='), 1).trimmed());
    }
}

struct Collection {
    int status = -1;  // -1: killed at the night's bound
    QString err;
};

// Every station's collection, as their timers fire: the service's script from the source tree, the
// built vrncomm-cli first on PATH, the settings from a folder of the test's own.
std::vector<Collection> collectAll(const std::vector<Station>& stations, const QString& confDir) {
    std::vector<std::unique_ptr<QProcess>> running;
    for (const Station& st : stations) {
        if (!running.empty()) QThread::msleep(kStaggerMs);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), QFileInfo(QStringLiteral(VRN_CLI_PROGRAM)).absolutePath() +
                                               QLatin1Char(':') + env.value(QStringLiteral("PATH")));
        env.insert(QStringLiteral("VRNCOMM_COLLECT_DIR"), confDir);
        addSettings(env, st.conf);
        running.push_back(std::make_unique<QProcess>());
        running.back()->setProcessEnvironment(env);
        running.back()->start(QStringLiteral("sh"), {QStringLiteral(VRN_COLLECT_SCRIPT), st.name});
    }
    QElapsedTimer since;
    since.start();
    std::vector<Collection> runs;
    for (auto& p : running) {
        Collection r;
        if (p->waitForFinished(static_cast<int>(std::max<qint64>(kNightLimitMs - since.elapsed(), 1))) &&
            p->exitStatus() == QProcess::NormalExit)
            r.status = p->exitCode();
        p->kill();
        p->waitForFinished();
        r.err = QString::fromUtf8(p->readAllStandardError());
        runs.push_back(r);
    }
    return runs;
}

// Stops the instrument's clock as its state keeps it, so that nothing more is logged.
bool stopClock(const QString& state) {
    QFile f(state + QStringLiteral("/setup.txt"));
    if (!f.open(QIODevice::ReadOnly)) return false;
    QString text = QString::fromUtf8(f.readAll());
    f.close();
    const qsizetype at = text.indexOf(QStringLiteral(" running\n"), text.indexOf(QStringLiteral("\nclock ")));
    if (at < 0) return false;
    text.replace(at, 8, QStringLiteral(" stopped"));
    return writeFile(f.fileName(), text);
}

// The times of the records the simulator holds (from its oldest), as its state keeps them.
std::vector<int64_t> loggedTimes(const QString& state, sim::SimRecords& memory) {
    QFile f(state + QStringLiteral("/records.bin"));
    std::string error;
    if (!f.open(QIODevice::ReadOnly) || !sim::readRecordsFile(f.readAll().toStdString(), memory, error)) {
        ADD_FAILURE() << state.toStdString() << ": " << error;
        return {};
    }
    std::vector<int64_t> times;
    for (uint32_t r = 0; r < memory.logged; ++r)
        times.push_back(sim::recordSeconds(memory, r));
    return times;
}

TEST(NightsEndToEnd, TenStationsSevenNightsEveryRecordLoggedIsArchived) {
    if (PgCluster::binDir().empty())
        GTEST_SKIP() << "PostgreSQL's server programs (initdb, pg_ctl) are not installed";
    PgCluster pg;
    ASSERT_TRUE(pg.running()) << pg.error();
    QTemporaryDir dir;
    const QString confDir = dir.filePath(QStringLiteral("collect"));
    ASSERT_TRUE(QDir().mkpath(confDir));
    // Two days held before the first collection, up to the clock.
    const int64_t firstHeld = localNowSeconds() - kHeldAtStart * kInterval;
    std::vector<Station> stations(kStations);
    for (int s = 0; s < kStations; ++s) {
        Station& st = stations[static_cast<size_t>(s)];
        st.name = QStringLiteral("st%1").arg(s + 1, 2, 10, QLatin1Char('0'));
        st.state = dir.filePath(st.name);
        st.link = dir.filePath(st.name + QStringLiteral(".tty"));
        st.conf = confDir + QLatin1Char('/') + st.name + QStringLiteral(".conf");
        ASSERT_TRUE(QDir().mkpath(st.state));
        ASSERT_TRUE(writeFile(st.state + QStringLiteral("/records.txt"),
                              QStringLiteral("logged %1\nfirst %2\ninterval %3\n")
                                  .arg(kHeldAtStart)
                                  .arg(firstHeld)
                                  .arg(kInterval)));
        const bool all = std::ranges::find(kCountAll, s) != std::end(kCountAll);
        ASSERT_TRUE(writeFile(st.conf, QStringLiteral("# %1\nPORT=%2\nARCHIVE = %3\nUTC_OFFSET=+00:00\n"
                                                      "SCHEDULE=daily\n%4")
                                           .arg(st.name, st.link, QString::fromStdString(pg.url()),
                                                all ? QStringLiteral("COUNT=all\n") : QString())));
        st.sendsOldest = std::ranges::find(kSendsOldest, s) != std::end(kSendsOldest);
        st.start();
        ASSERT_FALSE(st.sim->path().empty()) << st.sim->errorText();
    }

    QElapsedTimer clock;
    clock.start();
    std::vector<std::vector<Collection>> nights;
    for (int night = 1; night <= kNights; ++night) {
        QThread::msleep(static_cast<unsigned long>(std::max<qint64>(night * kNightMs - clock.elapsed(), 0)));
        Station& unplugged = stations[kUnplugged];
        if (night == kUnpluggedNight) {
            ASSERT_TRUE(QFile::remove(unplugged.link));
        }
        nights.push_back(collectAll(stations, confDir));
        if (night == kUnpluggedNight) {
            ASSERT_TRUE(QFile::link(QString::fromStdString(unplugged.sim->path()), unplugged.link));
        }
    }
    // The morning after, the clocks stopped: the last collections take what the last night left.
    for (Station& st : stations) {
        EXPECT_EQ(st.sim->stop(), 0) << st.name.toStdString();
        ASSERT_TRUE(stopClock(st.state)) << st.name.toStdString();
        st.start();
        ASSERT_FALSE(st.sim->path().empty()) << st.sim->errorText();
    }
    nights.push_back(collectAll(stations, confDir));
    for (Station& st : stations)
        EXPECT_EQ(st.sim->stop(), 0) << st.name.toStdString();

    std::string error;
    const auto archive = store::RecordArchive::open(pg.url(), error);
    ASSERT_TRUE(archive) << error;
    for (int s = 0; s < kStations; ++s) {
        const std::string name = stations[static_cast<size_t>(s)].name.toStdString();
        for (size_t n = 0; n < nights.size(); ++n) {
            const bool gone = s == kUnplugged && n + 1 == kUnpluggedNight;
            const Collection& run = nights[n][static_cast<size_t>(s)];
            EXPECT_EQ(run.status == 0, !gone) << name << " night " << n + 1 << ": " << run.err.toStdString();
        }
        EXPECT_EQ(archive->attempts(name, error).size(), nights.size()) << name << error;
        sim::SimRecords memory;
        const std::vector<int64_t> logged = loggedTimes(stations[static_cast<size_t>(s)].state, memory);
        EXPECT_EQ(memory.dropped, 0u) << name;
        // Every night's records were logged: the fewest a station can have, the unplugged one too.
        EXPECT_GE(logged.size(), size_t{kHeldAtStart + (kNights - 1) * 144}) << name;
        store::StoredRecords stored;
        ASSERT_TRUE(archive->read(name, 0, std::numeric_limits<int64_t>::max(), stored, error)) << error;
        EXPECT_EQ(stored.utc, logged)
            << name << ": " << stored.utc.size() << " archived, " << logged.size() << " logged";
    }
}

}  // namespace
}  // namespace vrn::test
