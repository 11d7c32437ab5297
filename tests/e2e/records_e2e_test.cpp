// Records through vrncomm-cli against vrncomm-sim on a pty, in real time.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

TEST(RecordsEndToEnd, GetRecordsWritesTheFileOverThePty) {
    SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("day.txt"));
    const CliRun r = runCliOn(sim.path(), {"get-records", "50", path, "--delimiter", "space"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The simulated station logs seven fields of four bytes a record.
    EXPECT_NE(r.out.find("TOTAL BYTES: 1400\n"), std::string::npos) << r.out;
    const QByteArray file = readAll(path);
    EXPECT_TRUE(file.startsWith("50 RECORDS\r\n")) << file.toStdString();
    EXPECT_NE(file.indexOf("AIR TEMP RH BARO WIND SPEED WIND DIR"), -1)
        << "no label line" << file.toStdString();
    EXPECT_EQ(file.count("\r\n"), 53);
}

// A download that stops writes the complete records that came (exit 4), or keeps the old file
// when not one whole record came (exit 1); either way nothing else is left in the folder.
TEST(RecordsEndToEnd, StoppedDownloadWritesTheWholeRecordsOrKeepsTheOldFile) {
    struct Row {
        const char* name;
        const char* stopAfter;
        int exit;
        const char* file;  // how the file begins
        const char* says;
    };
    const Row rows[] = {
        {"three records and a part", "100", 4, "3 RECORDS\r\n", "warning: Only 3 of 500 records arrived.\n"},
        {"part of the first record", "20", 1, "yesterday", "Cannot communicate with 41700."},
    };
    for (const Row& row : rows) {
        SimProcess sim({"--records-stop-after", row.stopAfter});
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("day.txt"));
        {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("yesterday");
        }
        const CliRun r = runCliOn(sim.path(), {"get-records", "500", path});
        EXPECT_EQ(r.exitCode, row.exit) << row.name << r.out << r.err;
        EXPECT_NE(r.out.find(std::string("TOTAL BYTES: ") + row.stopAfter + "\n"), std::string::npos)
            << r.out;
        EXPECT_NE(r.err.find(row.says), std::string::npos) << row.name << r.err;
        EXPECT_TRUE(readAll(path).startsWith(row.file)) << row.name;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("day.txt")})
            << row.name;
    }
}

// A program that stops reading in the middle of a download (killed, or Ctrl+C) leaves no backlog:
// what it did not read is lost as on a real line, and the next program is answered.
TEST(RecordsEndToEnd, InterruptedDownloadLeavesTheSimulatorUsable) {
    SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    QProcess first;
    first.start(QStringLiteral(VRN_CLI_PROGRAM),
                {QStringLiteral("--port"), QString::fromStdString(sim.path()), QStringLiteral("get-records"),
                 QStringLiteral("10000"), dir.filePath(QStringLiteral("big.txt"))});
    ASSERT_TRUE(first.waitForStarted(kCliRunLimitMs));
    first.waitForFinished(700);  // in the download, its 280,000 bytes take 2.3 s on the line
    ASSERT_EQ(first.state(), QProcess::Running) << "the download ended before it could be interrupted";
    first.kill();
    first.waitForFinished();
    // The instrument sends on to the end of its answer, as a real one does, and then is quiet.
    QThread::msleep(3000);
    const CliRun r = runCliOn(sim.path(), {"get-setup", dir.filePath(QStringLiteral("s.set"))});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("FINISHED GETTING SETUP."), std::string::npos) << r.out;
}

TEST(RecordsEndToEnd, EraseOnlyWithYesAndThroughStrayBytes) {
    SimProcess sim({"--erase-stray", "#?"});
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    const CliRun refused = runCliOn(sim.path(), {"erase-records"});
    EXPECT_EQ(refused.exitCode, 2) << refused.err;
    EXPECT_EQ(refused.out, "");
    const CliRun r = runCliOn(sim.path(), {"--yes", "erase-records"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "ERASING ALL RECORDED DATA IN 41700...\nALL RECORDS ERASED.\n");
}

}  // namespace
}  // namespace vrn::test
