// The service commands of vrncomm-cli against vrncomm-sim on a pty, real time.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "sim_process.h"

namespace vrn::test {
namespace {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CliResult runCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VRN_CLI_PROGRAM), args);
    CliResult r;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        r.err = "vrncomm-cli did not finish";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

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
        const CliResult run = runCli(args);
        EXPECT_EQ(run.exitCode, r.exit) << r.name << ": " << run.err;
        EXPECT_NE(run.out.find(r.out), std::string::npos) << r.name << ": " << run.out;
    }
}

}  // namespace
}  // namespace vrn::test
