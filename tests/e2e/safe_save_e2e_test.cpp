// Every kind of file vrncomm-cli writes, into a read-only folder and against a file-size limit:
// the old file stays byte for byte, nothing is left beside it, and the failure is reported.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "cli_process.h"

namespace vrn::test {
namespace {

// Smaller than every file written, the 10-byte group mark included.
constexpr rlim_t kFileSizeLimit = 4;

enum class Limit { ReadOnlyFolder, FileSize };

// In the child: root passes over a folder's permissions, so the test's child gives up that power
// for good (out of the bounding set, which root's exec cannot give back); a file that would pass
// the limit gets EFBIG instead of the signal that ends the process.
void limitChild(Limit limit) {
    if (limit == Limit::FileSize) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit small{kFileSizeLimit, kFileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &small);
        return;
    }
    for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);
}

CliRun runLimited(const QStringList& args, Limit limit,
                  const QString& program = QStringLiteral(VRN_CLI_PROGRAM),
                  const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([limit] { limitChild(limit); });
    return runProcess(p, program, args);
}

void makeReadOnly(const QString& folder) {
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::ExeOther);
}

void makeWritable(const QString& folder) {
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

struct Kind {
    const char* name;
    QStringList args;   // "@" stands for the target folder
    QStringList files;  // what is there before, in the target folder
};

TEST(SafeSaveEndToEnd, AFailedSaveLeavesTheOldFileAndSaysSo) {
    QTemporaryDir dir;
    const QString group = dir.filePath(QStringLiteral("group.ssp"));
    const CliRun made = runCli({QStringLiteral("--simulate"), QStringLiteral("get-all"), group});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const QString scr = dir.filePath(QStringLiteral("group.scr"));
    const QString firmware = QStringLiteral(VRN_FIRMWARE_DIR "/demo.glo");

    const Kind kinds[] = {
        {"setup file", {"get-setup", "@/a.set"}, {"a.set"}},
        {"screen file", {"get-screens", "@/a.scr"}, {"a.scr"}},
        {"program file", {"get-program", "@/a.pgm"}, {"a.pgm"}},
        {"record text file", {"get-records", "20", "@/a.txt"}, {"a.txt"}},
        {"PNG pictures", {"render", scr, "@"}, {"screen-1-lcd.png"}},
        {"group, listing and BMP pictures",
         {"get-all", "@/a.ssp"},
         {"a.ssp", "a.set", "a.scr", "a.pgm", "a.txt", "a Screen 1.bmp", "a Screen 8.bmp"}},
        {"report PDF", {"report", group, "@/a.pdf"}, {"a.pdf"}},
        {"firmware backup", {"--yes", "firmware", firmware, "--backup", "@/b.ssp"}, {"b.ssp", "b.set"}},
    };
    for (const Limit limit : {Limit::ReadOnlyFolder, Limit::FileSize}) {
        for (const Kind& k : kinds) {
            const std::string name = std::string(k.name) +
                                     (limit == Limit::ReadOnlyFolder ? ", read-only folder" : ", size limit");
            SCOPED_TRACE(name);
            QTemporaryDir target;
            const QString folder = target.path();
            for (const QString& file : k.files) {
                QFile old(folder + QLatin1Char('/') + file);
                ASSERT_TRUE(old.open(QIODevice::WriteOnly));
                old.write("old " + file.toUtf8());
            }
            if (limit == Limit::ReadOnlyFolder) makeReadOnly(folder);
            QStringList args{QStringLiteral("--simulate")};
            for (QString arg : k.args)
                args << arg.replace(QLatin1Char('@'), folder);

            const CliRun run = runLimited(args, limit);
            makeWritable(folder);

            EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
            EXPECT_TRUE(run.err.find("error: ") != std::string::npos ||
                        run.err.find("warning: ") != std::string::npos)
                << run.err;
            for (const QString& file : k.files)
                EXPECT_EQ(readAll(folder + QLatin1Char('/') + file), "old " + file.toUtf8())
                    << file.toStdString();
            EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), k.files.size())
                << "nothing left beside them: "
                << QDir(folder).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString();
        }
    }
}

#ifdef VRN_WINDOW_PROGRAM
// The window writes its preferences as it closes; nothing is asked then, so it says so on stderr.
TEST(SafeSaveEndToEnd, PreferencesStayWhenTheyCannotBeWritten) {
    const QByteArray old = "[41700 Setup]\nTop=5\nLeft=6\nMine=kept\n";
    for (const Limit limit : {Limit::ReadOnlyFolder, Limit::FileSize}) {
        SCOPED_TRACE(limit == Limit::ReadOnlyFolder ? "read-only folder" : "size limit");
        QTemporaryDir config;
        const QString folder = config.filePath(QStringLiteral("VRNComm"));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString ini = folder + QStringLiteral("/vrncomm.ini");
        {
            QFile f(ini);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        if (limit == Limit::ReadOnlyFolder) makeReadOnly(folder);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const CliRun run = runLimited({QStringLiteral("--simulate"), QStringLiteral("--quit-after-start")},
                                      limit, QStringLiteral(VRN_WINDOW_PROGRAM), env);
        makeWritable(folder);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(readAll(ini), old);
        EXPECT_NE(run.err.find("cannot write the preferences file"), std::string::npos) << run.err;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}
#endif

}  // namespace
}  // namespace vrn::test
