// vrncomm-cli as cron and a terminal see it: nothing but the tool's own lines on stderr, and a
// terminal left as it was found.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <string>

#include "cli_process.h"

namespace vrn::test {
namespace {

TEST(TerminalEndToEnd, UnderCronTheDrawingCommandsPrintNoQtDiagnostics) {
    QTemporaryDir dir;
    const QString group = dir.filePath(QStringLiteral("station.ssp"));
    const QString records = dir.filePath(QStringLiteral("day.txt"));
    ASSERT_EQ(runCli({"--simulate", "--quiet", "get-all", group}).exitCode, 0);
    ASSERT_EQ(runCli({"--simulate", "--quiet", "get-records", "50", records}).exitCode, 0);

    // cron's environment: no XDG_RUNTIME_DIR, no display.
    QProcessEnvironment cron = QProcessEnvironment::systemEnvironment();
    cron.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    cron.remove(QStringLiteral("DISPLAY"));
    cron.remove(QStringLiteral("QT_QPA_PLATFORM"));
    const QStringList commands[] = {
        {"--quiet", "report", group, dir.filePath(QStringLiteral("station.pdf"))},
        {"--quiet", "plot", records, dir.filePath(QStringLiteral("day.png"))},
    };
    for (const QStringList& args : commands) {
        QProcess p;
        p.setProcessEnvironment(cron);
        const CliRun r = runProcess(p, QStringLiteral(VRN_CLI_PROGRAM), args);
        EXPECT_EQ(r.exitCode, 0) << args.join(' ').toStdString() << ": " << r.err;
        EXPECT_EQ(r.err, "") << args.join(' ').toStdString();
    }
}

// Reads what the terminal shows until it holds TEXT or the time is up.
bool waitForText(int master, const std::string& text, std::string& seen, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (seen.find(text) == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd pfd{master, POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0) continue;
        char buf[256];
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0) return false;
        seen.append(buf, static_cast<size_t>(n));
    }
    return true;
}

TEST(TerminalEndToEnd, CtrlCAtThePasswordPromptGivesTheTerminalItsEchoBack) {
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(VRN_CLI_PROGRAM, VRN_CLI_PROGRAM, "--simulate", "--yes", "calibrate", "se-zero", nullptr);
        ::_exit(127);
    }
    std::string seen;
    const bool prompted = waitForText(master, "Password: ", seen, std::chrono::seconds(20));
    termios during{};
    ::tcgetattr(master, &during);
    const char ctrlC = 0x03;
    if (prompted) (void)::write(master, &ctrlC, 1);

    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < 200 && ended == 0; ++i) {
        ended = ::waitpid(child, &status, WNOHANG);
        if (ended == 0) ::usleep(50'000);
    }
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    termios after{};
    const bool read = ::tcgetattr(master, &after) == 0;
    ::close(master);

    ASSERT_TRUE(prompted) << "no password prompt; the terminal showed: " << seen;
    EXPECT_EQ(during.c_lflag & ECHO, 0u) << "the password was echoed";
    ASSERT_NE(ended, 0) << "Ctrl+C did not end the tool";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status;
    ASSERT_TRUE(read);
    EXPECT_NE(after.c_lflag & ECHO, 0u) << "the terminal was left without its echo";
}

}  // namespace
}  // namespace vrn::test
