// Record downloads cut short, through vrncomm-cli against vrncomm-sim on a pty, in real time: the
// simulator killed in the middle, stalled, or stopped. Nothing cut is ever taken for complete.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <optional>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

// Well into a download of the simulator's 100,000 records, which takes over 20 s on the line.
constexpr int kKillAfterMs = 1500;

// A simulator state folder whose record memory holds `logged` records.
std::string stateWith(const QTemporaryDir& dir, uint32_t logged) {
    const QString state = dir.filePath(QStringLiteral("state"));
    QDir().mkpath(state);
    QFile f(state + QStringLiteral("/records.txt"));
    if (f.open(QIODevice::WriteOnly))
        f.write(QStringLiteral("logged %1\nfirst 1767225600\ninterval 60\n").arg(logged).toUtf8());
    return state.toStdString();
}

// Starts vrncomm-cli --json on the simulator's pty; with killAfterMs the simulator is killed that long
// after the start.
CliRun runWhileKilling(SimProcess& sim, const QStringList& args, std::optional<int> killAfterMs) {
    QProcess p;
    QStringList all{QStringLiteral("--port"), QString::fromStdString(sim.path()), QStringLiteral("--json")};
    all += args;
    p.start(QStringLiteral(VRN_CLI_PROGRAM), all);
    CliRun run;
    if (!p.waitForStarted(kCliRunLimitMs)) return run;
    if (killAfterMs) {
        p.waitForFinished(*killAfterMs);
        EXPECT_EQ(p.state(), QProcess::Running) << "the download ended before the simulator was killed";
        sim.kill();
    }
    if (!p.waitForFinished(kCliRunLimitMs)) p.kill();
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput().toStdString();
    run.err = p.readAllStandardError().toStdString();
    return run;
}

QJsonObject documentOf(const CliRun& r) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
}

TEST(CutDownloadEndToEnd, GetRecordsAllKeepsWhatCameAndNeverClaimsComplete) {
    struct Row {
        const char* name;
        std::vector<std::string> simOptions;
        std::optional<uint32_t> logged;  // the simulator's record memory; 100,000 when not given
        bool killed;
        int exit;
        std::optional<int> records;  // exactly this many kept; else some, fewer than held
        const char* outcome;         // --json's outcome kind, or nullptr for none
    };
    const std::vector<Row> rows = {
        {"whole memory", {}, 300, false, 0, 300, nullptr},
        {"the simulator killed", {}, std::nullopt, true, 4, std::nullopt, "portGone"},
        {"a stall of six seconds", {"--records-stall", "2800:6000"}, std::nullopt, false, 4, 100, "failed"},
        {"stopped for good", {"--records-stop-after", "2800"}, std::nullopt, false, 4, 100, "failed"},
    };
    for (const Row& row : rows) {
        QTemporaryDir dir;
        std::vector<std::string> options = row.simOptions;
        if (row.logged) options.insert(options.end(), {"--state", stateWith(dir, *row.logged)});
        SimProcess sim(options);
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        const QString path = dir.filePath(QStringLiteral("all.txt"));
        const CliRun r = runWhileKilling(sim, {QStringLiteral("get-records"), QStringLiteral("all"), path},
                                         row.killed ? std::optional<int>(kKillAfterMs) : std::nullopt);
        EXPECT_EQ(r.exitCode, row.exit) << row.name << r.err;
        const QJsonObject doc = documentOf(r);
        const int kept = doc["result"]["records"].toInt(-1);
        if (row.records) {
            EXPECT_EQ(kept, *row.records) << row.name;
        } else {
            EXPECT_GT(kept, 0) << row.name;
            EXPECT_LT(kept, 100000) << row.name;
        }
        const QByteArray file = readAll(path);
        EXPECT_TRUE(file.startsWith(QByteArray::number(kept) + " RECORDS\r\n")) << row.name;
        EXPECT_EQ(file.count("\r\n"), kept + 3) << row.name;
        if (row.outcome) {
            EXPECT_EQ(doc["outcome"]["kind"].toString().toStdString(), row.outcome) << row.name;
            EXPECT_NE(r.err.find("warning: The download was cut short after " + std::to_string(kept) +
                                 " records.\n"),
                      std::string::npos)
                << row.name << r.err;
        } else {
            EXPECT_TRUE(doc["outcome"].isNull()) << row.name;
            EXPECT_EQ(r.err, "") << row.name;
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("all.txt")})
            << row.name;
    }
}

TEST(CutDownloadEndToEnd, CollectAllStoresTheWholeRecordsThatCameWhenTheSimulatorIsKilled) {
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("archive.db"));
    SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    const CliRun r = runWhileKilling(sim,
                                     {QStringLiteral("collect"), archive, QStringLiteral("--station"),
                                      QStringLiteral("st"), QStringLiteral("--count"), QStringLiteral("all")},
                                     kKillAfterMs);
    EXPECT_EQ(r.exitCode, 4) << r.err;
    const QJsonObject doc = documentOf(r);
    EXPECT_EQ(doc["outcome"]["kind"].toString(), QStringLiteral("portGone"));
    const int stored = doc["result"]["records"].toInt(-1);
    EXPECT_GT(stored, 0);
    EXPECT_LT(stored, 100000);
    EXPECT_EQ(doc["result"]["new"].toInt(-1), stored);
    EXPECT_NE(r.err.find("cut short"), std::string::npos) << r.err;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("cut"));
        db.setDatabaseName(archive);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM vrn_records")) && q.next());
        EXPECT_EQ(q.value(0).toInt(), stored);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("cut"));
}

// A client killed while it holds the pty exclusively cannot give it back; the simulator does, so
// the next program can open it.
TEST(CutDownloadEndToEnd, APtyLeftExclusiveByAKilledClientIsGivenBack) {
    QTemporaryDir dir;
    // An answer of about 1.8 s on the line, so that it has ended when the next program asks.
    SimProcess sim({"--state", stateWith(dir, 8000)});
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QProcess first;
    first.start(QStringLiteral(VRN_CLI_PROGRAM),
                {QStringLiteral("--port"), QString::fromStdString(sim.path()), QStringLiteral("get-records"),
                 QStringLiteral("all"), dir.filePath(QStringLiteral("big.txt"))});
    ASSERT_TRUE(first.waitForStarted(kCliRunLimitMs));
    first.waitForFinished(800);
    ASSERT_EQ(first.state(), QProcess::Running);
    const auto exclusive = [&sim] {
        const int fd = ::open(sim.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        int flag = -1;
        if (fd >= 0) {
            ::ioctl(fd, TIOCGEXCL, &flag);
            ::close(fd);
        }
        return flag;
    };
    EXPECT_EQ(exclusive(), 1) << "the serial port is opened exclusively";
    first.kill();
    first.waitForFinished();
    QElapsedTimer t;
    t.start();
    while (exclusive() != 0 && t.elapsed() < 3000)
        QThread::msleep(50);
    EXPECT_EQ(exclusive(), 0);
    // The simulator sends on to the end of its answer, and then is quiet for the next program.
    QThread::msleep(2500);
    const CliRun r = runCliOn(sim.path(), {"get-setup", dir.filePath(QStringLiteral("s.set"))});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
}

}  // namespace
}  // namespace vrn::test
