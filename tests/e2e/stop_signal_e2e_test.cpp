// SIGTERM and SIGINT during a wait, through vrncomm-cli against vrncomm-sim on a pty, in real time:
// the run ends at once with its one document, outcome "aborted", and 143 or 130.
#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

// Long enough that the run is in its wait: the check's instrument is silent, the download of the
// simulator's 100,000 records takes over 20 s.
constexpr int kSignalAfterMs = 1500;
constexpr qint64 kEndsWithinMs = 1000;

TEST(StopSignalEndToEnd, SigtermAndSigintEndTheWaitWithAnAbortedDocument) {
    struct Row {
        const char* name;
        std::vector<std::string> simOptions;
        QStringList args;  // after --port and --json; %1 is the temporary folder
        int signal;
        int exit;
    };
    const std::vector<Row> rows = {
        {"cal-check, SIGTERM",
         {"--silent-cmd", "952"},
         {"cal-check", "se", "--password-file", "%1/pw"},
         SIGTERM,
         143},
        {"cal-check, SIGINT",
         {"--silent-cmd", "952"},
         {"cal-check", "se", "--password-file", "%1/pw"},
         SIGINT,
         130},
        {"get-records all, SIGTERM", {}, {"get-records", "all", "%1/all.txt"}, SIGTERM, 143},
        {"get-records all, SIGINT", {}, {"get-records", "all", "%1/all.txt"}, SIGINT, 130},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        QFile pw(dir.filePath(QStringLiteral("pw")));
        ASSERT_TRUE(pw.open(QIODevice::WriteOnly));
        pw.write("kvt41938\n");
        pw.close();
        SimProcess sim(row.simOptions);
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        QStringList all{QStringLiteral("--port"), QString::fromStdString(sim.path()),
                        QStringLiteral("--json")};
        for (const QString& a : row.args)
            all += a.contains(QStringLiteral("%1")) ? a.arg(dir.path()) : a;
        QProcess p;
        p.start(QStringLiteral(VRN_CLI_PROGRAM), all);
        ASSERT_TRUE(p.waitForStarted(kCliRunLimitMs));
        EXPECT_FALSE(p.waitForFinished(kSignalAfterMs)) << "ended before the signal";
        ::kill(static_cast<pid_t>(p.processId()), row.signal);
        QElapsedTimer took;
        took.start();
        if (!p.waitForFinished(kCliRunLimitMs)) p.kill();
        EXPECT_LE(took.elapsed(), kEndsWithinMs);
        ASSERT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), row.exit);
        const QByteArray out = p.readAllStandardOutput();
        EXPECT_EQ(out.count('\n'), 1) << "one document";
        const QJsonObject doc = QJsonDocument::fromJson(out).object();
        EXPECT_EQ(doc["outcome"]["kind"].toString().toStdString(), "aborted");
        EXPECT_EQ(doc["exitStatus"].toInt(), row.exit);
    }
}

}  // namespace
}  // namespace vrn::test
