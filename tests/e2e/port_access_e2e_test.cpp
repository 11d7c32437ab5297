// vrncomm-cli on a serial device that is there but not this user's to open, with the real
// serial backend: the same warning as for a missing instrument, then how to gain access.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "cli_process.h"
#include "core/link/usb_port.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

// Root may open anything: the tool then runs as nobody.
constexpr const char* kUnprivileged = "65534";

CliRun runUnprivileged(const QStringList& cliArgs) {
    QString program = QStringLiteral(VRN_CLI_PROGRAM);
    QStringList args = cliArgs;
    if (geteuid() == 0) {
        args = QStringList{QStringLiteral("--reuid=%1").arg(kUnprivileged),
                           QStringLiteral("--regid=%1").arg(kUnprivileged), QStringLiteral("--clear-groups"),
                           program} +
               cliArgs;
        program = QStringLiteral("setpriv");
    }
    QProcess p;
    return runProcess(p, program, args);
}

TEST(PortAccessEndToEnd, DeniedDeviceIsExplainedAndMissingOneIsNot) {
    if (geteuid() == 0 && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        GTEST_SKIP() << "running as root without setpriv: no way to be an ordinary user";
    const CliRun help = runUnprivileged({QStringLiteral("--help")});
    if (help.exitCode != 0)
        GTEST_SKIP() << "an ordinary user cannot run " << VRN_CLI_PROGRAM << ": " << help.err;

    // A device this user may not open: the simulator's pty belongs to root (to its tty group),
    // and for any other user a file without permissions does the same.
    SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::string denied = sim.path();
    if (geteuid() != 0) {
        denied = dir.filePath(QStringLiteral("ttyDenied")).toStdString();
        QFile f(QString::fromStdString(denied));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        ASSERT_EQ(::chmod(denied.c_str(), 0), 0);
    }
    const std::string warning = "warning: Cannot open VARNO 41700 USB port.\n";
    const std::string advice = std::string(UsbPort::kAccessDeniedText).append("\n");
    // An instrumented build may add its own notes on stderr (an unprivileged run cannot write
    // coverage counters): only the tool's lines are compared.
    struct Row {
        const char* name;
        std::string device;
        bool advised;
        std::string reason;  // the line after the warning: the device and the system's reason
    } rows[] = {
        {"denied", denied, true, denied + ": Permission denied\n"},
        {"missing", "/dev/vrncomm-no-such-device", false,
         "/dev/vrncomm-no-such-device: No such file or directory\n"},
    };
    // The file could be written by the ordinary user, so the port is what stops the command.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const QString setupFile = dir.filePath(QStringLiteral("station.set"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CliRun r = runUnprivileged({QStringLiteral("--port"), QString::fromStdString(row.device),
                                          QStringLiteral("get-setup"), setupFile});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(warning + row.reason + (row.advised ? advice : "")), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(advice) != std::string::npos, row.advised) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(QFile::exists(setupFile));
}

TEST(PortAccessEndToEnd, ANamedDeviceThatCannotBeOpenedIsNamedWithTheReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        QFile notATty(dir.filePath(QStringLiteral("notatty")));
        ASSERT_TRUE(notATty.open(QIODevice::WriteOnly));
    }
    struct Row {
        const char* name;
        QString port;
        std::string line;  // after the warning
    } rows[] = {
        {"a plain file", dir.filePath(QStringLiteral("notatty")),
         dir.filePath(QStringLiteral("notatty")).toStdString() + ": not a serial device\n"},
        // Taken from the current folder, not from /dev.
        {"a relative path", QStringLiteral("ttyNone"),
         dir.filePath(QStringLiteral("ttyNone")).toStdString() + ": No such file or directory\n"},
        {"a serial number nothing carries", QStringLiteral("serial:VRN-NO-SUCH-SERIAL"),
         "serial:VRN-NO-SUCH-SERIAL: no USB device with this serial number is attached\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QProcess p;
        p.setWorkingDirectory(dir.path());
        const CliRun r = runProcess(
            p, QStringLiteral(VRN_CLI_PROGRAM),
            {QStringLiteral("--port"), row.port, QStringLiteral("get-setup"), QStringLiteral("station.set")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("warning: Cannot open VARNO 41700 USB port.\n" + row.line), std::string::npos)
            << r.err;
    }
}

}  // namespace
}  // namespace vrn::test
