// Records through vrncomm-cli against vrncomm-sim on a pty, in real time.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

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

TEST(RecordsEndToEnd, StoppedDownloadKeepsTheOldFileAndLeavesNothingElse) {
    SimProcess sim({"--records-stop-after", "100"});
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("day.txt"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("yesterday");
    }
    const CliRun r = runCliOn(sim.path(), {"get-records", "500", path});
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("TOTAL BYTES: 100\n"), std::string::npos) << r.out;
    EXPECT_EQ(readAll(path), "yesterday");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("day.txt")});
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
