// vrncomm's own options, answered before a display is needed.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#ifdef VRN_WINDOW_PROGRAM

namespace vrn::test {
namespace {

TEST(WindowOptions, HelpVersionAndMistakesNeedNoDisplay) {
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        noDisplay.remove(QString::fromLatin1(name));
    const struct {
        const char* argument;
        int exitCode;
        const char* out;
        const char* err;
    } rows[] = {
        {"--help", 0, "Usage: vrncomm [options]\n", ""},
        {"--version", 0, "vrncomm " VRN_VERSION "\n", ""},
        {"--colour", 2, "", "vrncomm: Unknown option 'colour'.\n"},
        {"--port", 2, "", "vrncomm: Missing value after '--port'.\n"},
    };
    for (const auto& row : rows) {
        QProcess p;
        p.setProcessEnvironment(noDisplay);
        p.start(QStringLiteral(VRN_WINDOW_PROGRAM), {QString::fromLatin1(row.argument)});
        ASSERT_TRUE(p.waitForFinished(20000)) << row.argument;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << row.argument;
        EXPECT_EQ(p.exitCode(), row.exitCode) << row.argument;
        const std::string out = p.readAllStandardOutput().toStdString();
        EXPECT_EQ(out.substr(0, std::string(row.out).size()), row.out) << row.argument;
        EXPECT_EQ(p.readAllStandardError().toStdString(), row.err) << row.argument;
    }
}

}  // namespace
}  // namespace vrn::test

#endif
