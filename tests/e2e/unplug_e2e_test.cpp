// The instrument's port vanishing in the middle of each transfer: vrncomm-cli on the pty of a
// vrncomm-sim that is stopped under it, real time.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

// How long a transfer may still take once its port is gone: the longest of the transfers' own
// limits on a silent port (ten screen reads of 350 ms), with room for a loaded machine.
constexpr qint64 kEndsWithinMs = 6000;
// How long a transfer is given to start, and to be well into its wait, before the port goes.
constexpr int kStartDeadlineMs = 10000;
constexpr unsigned long kIntoTheWaitMs = 300;

struct Row {
    const char* name;
    std::vector<std::string> simOptions;  // what holds the transfer in the middle
    QStringList args;
    const char* started;  // the stdout line it shows once under way
    const char* failed;   // its failure line
    QString output;       // the file it must not leave behind
    int exit = 1;
    // A download keeps the whole records that came before the port went: how its file begins.
    const char* kept = nullptr;
};

TEST(UnplugEndToEnd, EveryTransferEndsWithItsFailureLineWhenThePortVanishes) {
    QTemporaryDir dir;
    const auto at = [&dir](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    {
        SimProcess sim;
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        const CliRun made = runCliOn(sim.path(), {QStringLiteral("get-all"), at("group.ssp")});
        ASSERT_EQ(made.exitCode, 0) << made.err;
    }
    {
        QFile pw(at("pw"));
        ASSERT_TRUE(pw.open(QIODevice::WriteOnly));
        pw.write("kvt41938\n");
    }
    const Row rows[] = {
        {"setup get",
         {"--silent-cmd", "331"},
         {"get-setup", at("out.set")},
         "GET SETUP...",
         "GET SETUP FAILED.",
         at("out.set")},
        {"setup send",
         {"--silent-cmd", "320"},
         {"send-setup", at("group.set")},
         "SEND SETTINGS...",
         "SEND SETTINGS FAILED.",
         {}},
        {"screens get",
         {"--silent-cmd", "215"},
         {"get-screens", at("out.scr")},
         "GET SCREENS...",
         "GET SCREENS FAILED.",
         at("out.scr")},
        {"screens send",
         {"--silent-cmd", "210"},
         {"send-screens", at("group.scr")},
         "SEND SCREENS...",
         "SEND SCREENS ERROR.",
         {}},
        {"program get",
         {"--silent-after-blocks", "1"},
         {"get-program", at("out.pgm")},
         "GET USER PROGRAM...",
         "GET USER PROGRAM FAILED.",
         at("out.pgm")},
        {"program send",
         {"--silent-after-blocks", "1"},
         {"send-program", at("group.pgm")},
         "SEND USER PROGRAM...",
         "SEND USER PROGRAM FAILED.",
         {}},
        {"records",
         {"--records-stall", "2000:30000"},
         {"get-records", "400", at("out.txt")},
         "DOWNLOADING RECORDS...",
         "TOTAL BYTES: 2000",
         at("out.txt"),
         4,
         "71 RECORDS\r\n"},
        {"erase",
         {"--silent-cmd", "345"},
         {"--yes", "erase-records"},
         "ERASING ALL RECORDED DATA IN 41700...",
         "ERASE RECORDS FAILED. TIMEOUT ERROR. RECORDS MAY NOT BE ERASED.",
         {}},
        {"calibration step",
         {"--silent-cmd", "815"},
         {"--yes", "calibrate", "se-fs", "--ref", "2500.00", "--password-file", at("pw")},
         "",
         "NO RESPONSE FROM 41700 FOR SE FULL SCALE CAL.",
         {}},
        {"whole get",
         {"--silent-cmd", "215"},
         {"get-all", at("out.ssp")},
         "GET SCREENS...",
         "GET SETUP/SCREENS/PROGRAM FAILED.",
         at("out.ssp")},
        {"whole send",
         {"--silent-cmd", "210"},
         {"send-all", at("group.ssp")},
         "SEND SCREENS...",
         "SEND SETUP/SCREENS/PROGRAM FAILED.",
         {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SimProcess sim(r.simOptions);
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        QProcess cli;
        cli.start(QStringLiteral(VRN_CLI_PROGRAM),
                  QStringList{QStringLiteral("--port"), QString::fromStdString(sim.path())} + r.args);
        ASSERT_TRUE(cli.waitForStarted());
        QByteArray out;
        QElapsedTimer starting;
        starting.start();
        while (!out.contains(r.started) && cli.state() == QProcess::Running &&
               starting.elapsed() < kStartDeadlineMs) {
            cli.waitForReadyRead(20);
            out += cli.readAllStandardOutput();
        }
        ASSERT_TRUE(out.contains(r.started)) << "not under way: " << out.toStdString();
        QThread::msleep(kIntoTheWaitMs);
        ASSERT_EQ(cli.state(), QProcess::Running) << "ended before the port went: " << out.toStdString();

        sim.stop();
        QElapsedTimer ending;
        ending.start();
        if (!cli.waitForFinished(static_cast<int>(kCliRunLimitMs))) cli.kill();
        cli.waitForFinished();
        const qint64 tookMs = ending.elapsed();
        out += cli.readAllStandardOutput();
        const std::string err = cli.readAllStandardError().toStdString();

        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(cli.exitCode(), r.exit) << err;
        EXPECT_TRUE(out.contains(r.failed)) << out.toStdString();
        EXPECT_LE(tookMs, kEndsWithinMs);
        if (r.kept) {
            EXPECT_TRUE(readAll(r.output).startsWith(r.kept)) << readAll(r.output).left(40).toStdString();
        } else if (!r.output.isEmpty()) {
            EXPECT_FALSE(QFile::exists(r.output)) << "a file was written";
        }
        std::printf("[ unplugged ] %-17s ended %lld ms after the port went\n", r.name,
                    static_cast<long long>(tookMs));
    }
}

}  // namespace
}  // namespace vrn::test
