// The screens through vrncomm-cli and vrncomm-sim on a pty, real time.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSize>
#include <QTemporaryDir>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

// A PNG file's width and height from its header chunk, big-endian; 0 x 0 when it is none.
QSize pngSize(const QByteArray& png) {
    if (png.size() < 24 || !png.startsWith("\x89PNG\r\n\x1a\n") || png.mid(12, 4) != "IHDR") return {};
    const auto be32 = [&](int at) {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | static_cast<uint8_t>(png[at + i]);
        return static_cast<int>(v);
    };
    return {be32(16), be32(20)};
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
    const CliRun send = runCli({"--port", port, "send-screens", in});
    ASSERT_EQ(send.exitCode, 0) << send.err;
    EXPECT_EQ(send.out, "SEND SCREENS...\nFINISHED SENDING SCREENS.\n");
    const CliRun get = runCli({"--port", port, "get-screens", out});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(get.out, "GET SCREENS...\nFINISHED GETTING SCREENS.\n");
    EXPECT_EQ(readAll(out), screens);

    const QString pictures = dir.filePath("pictures");
    const CliRun render = runCli({"render", out, pictures});
    ASSERT_EQ(render.exitCode, 0) << render.err;
    for (int n = 1; n <= 8; ++n) {
        for (const QString& name : {QStringLiteral("screen-%1-lcd.png"), QStringLiteral("screen-%1.png")})
            EXPECT_EQ(pngSize(readAll(QDir(pictures).filePath(name.arg(n)))), QSize(480, 96)) << n;
    }
}

}  // namespace
}  // namespace vrn::test
