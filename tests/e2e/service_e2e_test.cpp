// The service commands of vrncomm-cli against vrncomm-sim on a pty, real time.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

TEST(ServiceEndToEnd, CommandsOverThePty) {
    QTemporaryDir dir;
    const QString password = dir.filePath(QStringLiteral("pw"));
    {
        QFile f(password);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("kvt41938\n");
    }
    const QString firmware = QStringLiteral(VRN_FIRMWARE_DIR "/demo.glo");
    struct Row {
        const char* name;
        std::vector<std::string> simOptions;
        QStringList args;
        int exit;
        const char* out;  // stdout holds this
    };
    const Row rows[] = {
        {"input test", {}, {"test", "input", "diff", "3"}, 0, "437.750\n"},
        {"RAM test, silent instrument", {"--silent-cmd", "910"}, {"test", "ram"}, 1, "No Response\n"},
        {"calibration step",
         {},
         {"--yes", "calibrate", "se-fs", "--ref", "2500.00", "--password-file", password},
         0,
         "SE FULL SCALE CAL FINISHED.\n"},
        {"calibration data", {}, {"cal-data"}, 0, "Ch\tSe0\tDiff0\tWd0\tSeMult"},
        {"firmware",
         {},
         {"--yes", "firmware", firmware},
         0,
         "PROGRAMMING flash memory...\nFLASH PROGRAMMED: "},
        {"firmware past stray bytes",
         {"--loader-stray", "x!"},
         {"--yes", "firmware", firmware},
         0,
         "FINISHED FIRMWARE UPDATE.\n"},
        {"firmware, instrument asleep", {"--silent"}, {"--yes", "firmware", firmware}, 1, ""},
    };
    for (const Row& r : rows) {
        SimProcess sim(r.simOptions);
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        QStringList args{QStringLiteral("--port"), QString::fromStdString(sim.path())};
        args += r.args;
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, r.exit) << r.name << ": " << run.err;
        EXPECT_NE(run.out.find(r.out), std::string::npos) << r.name << ": " << run.out;
    }
}

}  // namespace
}  // namespace vrn::test
