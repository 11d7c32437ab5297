// The screens through vrncomm-cli and vrncomm-sim on a pty, real time.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "sim_process.h"

namespace vrn::test {
namespace {

struct Run {
    int exitCode = -1;
    std::string out;
    std::string err;
};

Run cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VRN_CLI_PROGRAM), args);
    Run r;
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

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ScreensEndToEnd, SendThenGetGivesBackTheSameFileAndRenders) {
    SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    QByteArray screens(1920, ' ');
    for (int i = 0; i < screens.size(); ++i)
        screens[i] = static_cast<char>(i % 5 == 0 ? 0xC1 + i % 20 : 'A' + i % 26);
    const QString in = dir.filePath("in.scr"), out = dir.filePath("out.scr");
    {
        QFile f(in);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(screens);
    }
    const QString port = QString::fromStdString(sim.path());
    const Run send = cli({"--port", port, "send-screens", in});
    ASSERT_EQ(send.exitCode, 0) << send.err;
    EXPECT_EQ(send.out, "SEND SCREENS...\nFINISHED SENDING SCREENS.\n");
    const Run get = cli({"--port", port, "get-screens", out});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(get.out, "GET SCREENS...\nFINISHED GETTING SCREENS.\n");
    EXPECT_EQ(readAll(out), screens);

    const QString pictures = dir.filePath("pictures");
    const Run render = cli({"render", out, pictures});
    ASSERT_EQ(render.exitCode, 0) << render.err;
    for (int n = 1; n <= 8; ++n) {
        const QImage lcd(QDir(pictures).filePath(QStringLiteral("screen-%1-lcd.png").arg(n)));
        const QImage picture(QDir(pictures).filePath(QStringLiteral("screen-%1.png").arg(n)));
        EXPECT_EQ(lcd.size(), QSize(480, 96)) << n;
        EXPECT_EQ(picture.size(), QSize(480, 96)) << n;
        EXPECT_EQ(picture.pixelColor(479, 95), QColor(Qt::white)) << n;
    }
}

TEST(ScreensEndToEnd, WrongSizedFileIsRefusedBeforeAnythingIsSent) {
    QTemporaryDir dir;
    const QString in = dir.filePath("short.scr");
    {
        QFile f(in);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(1919, ' '));
    }
    const Run send = cli({"--port", "/dev/null", "send-screens", in});
    EXPECT_EQ(send.exitCode, 2);
    EXPECT_NE(send.err.find("1919 bytes"), std::string::npos) << send.err;
    EXPECT_EQ(send.out, "");
}

}  // namespace
}  // namespace vrn::test
