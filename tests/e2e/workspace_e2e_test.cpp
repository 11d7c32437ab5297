// Whole-instrument get and send through vrncomm-cli and vrncomm-sim on ptys, real time.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

QStringList memberNames(const QString& base) {
    QStringList names{base + ".ssp", base + ".set", base + ".scr", base + ".pgm", base + ".txt"};
    for (int n = 1; n <= 8; ++n)
        names << base + QStringLiteral(" Screen %1.bmp").arg(n);
    return names;
}

TEST(WorkspaceEndToEnd, AGroupSentToAFreshInstrumentComesBackTheSame) {
    QTemporaryDir dir;
    const QString first = dir.filePath("st.12"), second = dir.filePath("again");
    {
        SimProcess sim;
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        const CliRun get = runCli({"--port", QString::fromStdString(sim.path()), "get-all", first + ".ssp"});
        ASSERT_EQ(get.exitCode, 0) << get.err;
        EXPECT_TRUE(get.out.starts_with("GET SETUP/SCREENS/PROGRAM...\n")) << get.out;
        EXPECT_TRUE(get.out.ends_with("FINISHED GETTING SETUP/SCREENS/PROGRAM.\n")) << get.out;
    }
    // A picture must be a real bitmap: "BM", then 480 x 96 in the header, little-endian.
    const QByteArray bmp = readAll(first + " Screen 1.bmp");
    ASSERT_GE(bmp.size(), 26);
    EXPECT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(static_cast<uint8_t>(bmp[18]) | static_cast<uint8_t>(bmp[19]) << 8, 480);
    EXPECT_EQ(static_cast<uint8_t>(bmp[22]) | static_cast<uint8_t>(bmp[23]) << 8, 96);

    SimProcess fresh;
    ASSERT_FALSE(fresh.path().empty()) << fresh.errorText();
    const QString port = QString::fromStdString(fresh.path());
    // The last screen changed in the group, so the send has to carry what the fresh one lacks.
    QByteArray screens = readAll(first + ".scr");
    ASSERT_EQ(screens.size(), 1920);
    for (int i = 1680; i < 1920; ++i)
        screens[i] = static_cast<char>('A' + i % 26);
    {
        QFile f(first + ".scr");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(screens);
    }
    const CliRun send = runCli({"--port", port, "send-all", first + ".ssp"});
    ASSERT_EQ(send.exitCode, 0) << send.err;
    EXPECT_TRUE(send.out.ends_with("FINISHED SENDING SETUP/SCREENS/PROGRAM.\n")) << send.out;
    const CliRun again = runCli({"--port", port, "get-all", second + ".ssp"});
    ASSERT_EQ(again.exitCode, 0) << again.err;

    const QStringList a = memberNames(first), b = memberNames(second);
    for (int i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(a[i].toStdString());
        const QByteArray bytes = readAll(a[i]);
        EXPECT_FALSE(bytes.isEmpty());
        // The eighth picture was saved before its screen changed.
        if (a[i].endsWith(QStringLiteral("Screen 8.bmp")))
            EXPECT_NE(bytes, readAll(b[i]));
        else
            EXPECT_EQ(bytes, readAll(b[i]));
    }
}

TEST(WorkspaceEndToEnd, ReportOfAGroupIsAThreePagePdf) {
    QTemporaryDir dir;
    const QString group = dir.filePath("mast.ssp");
    const CliRun get = runCli({"--simulate", "get-all", group});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    const QString pdf = dir.filePath("mast.pdf");
    const CliRun report = runCli({"report", group, pdf});
    ASSERT_EQ(report.exitCode, 0) << report.err;
    const QByteArray bytes = readAll(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // One "/Type /Page" object a page; the page tree is "/Type /Pages".
    EXPECT_EQ(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 3);
    EXPECT_FALSE(QFile::exists(pdf + ".part"));
    const CliRun usage = runCli({"report", group});
    EXPECT_EQ(usage.exitCode, 2);
}

TEST(WorkspaceEndToEnd, BrokenGroupsAreRefusedBeforeAnythingIsSent) {
    QTemporaryDir dir;
    struct Row {
        const char* name;
        QByteArray mark;
    } rows[] = {
        {"wrong mark", "41700group"},
        {"members missing", "41700Group"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QString group = dir.filePath("g.ssp");
        QFile f(group);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(r.mark);
        f.close();
        const CliRun send = runCli({"--port", "/nonexistent/tty", "send-all", group});
        EXPECT_EQ(send.exitCode, 2) << send.err;
        EXPECT_TRUE(send.out.empty()) << send.out;
    }
}

}  // namespace
}  // namespace vrn::test
