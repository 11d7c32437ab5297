#include "gui/app/preferences_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "gui_rig.h"

namespace vrn::test {
namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The file as text lines, read without the code under test.
QStringList fileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll()).split(u'\n');
}

TEST(PreferencesFile, FirstStartUsesTheDefaultsAndWritesTheFile) {
    GuiRig rig;
    ASSERT_FALSE(QFile::exists(rig.prefsPath));
    rig.start();
    EXPECT_EQ(rig.form->pos(), QPoint(100, 100));
    EXPECT_EQ(rig.form->preferences(), (Preferences{100, 100, false, 100}));
    rig.form->close();
    EXPECT_EQ(fileLines(rig.prefsPath), (QStringList{"[41700 Setup]", "Top=100", "Left=100", "Show Records=0",
                                                     "Num of Records=100", ""}));
}

TEST(PreferencesFile, ReadsWhatItCanAndKeepsTheRecordOptions) {
    struct Row {
        const char* name;
        QByteArray file;
        QPoint pos;
        bool showRecords;
        int numOfRecords;
    } rows[] = {
        {"Top removed", "[41700 Setup]\nLeft=300\nShow Records=1\nNum of Records=42\n", {300, 100}, true, 42},
        {"off the visible desktop", "[41700 Setup]\nTop=-3000\nLeft=25000\n", {25000, -3000}, false, 100},
        {"not a number", "[41700 Setup]\nTop=high\nLeft=250\nNum of Records=lots\n", {250, 100}, false, 100},
        {"unreadable junk", QByteArray("\x00\xff\x10[41700", 8), {100, 100}, false, 100},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        GuiRig rig;
        writeFile(rig.prefsPath, r.file);
        rig.start();
        EXPECT_EQ(rig.form->pos(), r.pos);
        EXPECT_EQ(rig.form->preferences().ShowRecords, r.showRecords);
        EXPECT_EQ(rig.form->preferences().NumOfRecords, r.numOfRecords);
        rig.form->close();
        // Written back at exit: the position where the window is, the record options unchanged.
        const QStringList lines = fileLines(rig.prefsPath);
        EXPECT_TRUE(lines.contains(QStringLiteral("[41700 Setup]")));
        EXPECT_TRUE(lines.contains(QStringLiteral("Top=%1").arg(r.pos.y())));
        EXPECT_TRUE(lines.contains(QStringLiteral("Left=%1").arg(r.pos.x())));
        EXPECT_TRUE(lines.contains(QStringLiteral("Show Records=%1").arg(r.showRecords ? 1 : 0)));
        EXPECT_TRUE(lines.contains(QStringLiteral("Num of Records=%1").arg(r.numOfRecords)));
    }
}

TEST(PreferencesFile, WritesTheExactBytesAndTheMovedPosition) {
    GuiRig rig;
    writeFile(rig.prefsPath, "[41700 Setup]\nShow Records=1\nNum of Records=999999999\n");
    rig.start();
    rig.form->move(-150, 4000);
    rig.form->close();
    QFile file(rig.prefsPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("[41700 Setup]\nShow Records=1\nNum of Records=999999999\nTop=4000\nLeft=-150\n"));

    // The next start puts the window back there.
    GuiRig next;
    QDir().mkpath(QFileInfo(next.prefsPath).absolutePath());
    ASSERT_TRUE(QFile::copy(rig.prefsPath, next.prefsPath));
    next.start();
    EXPECT_EQ(next.form->pos(), QPoint(-150, 4000));
}

TEST(PreferencesFile, LivesInTheUserConfigFolder) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    const QString path = gui::preferencesFilePath();
    EXPECT_EQ(path, dir.path() + QStringLiteral("/VRNComm/vrncomm.ini"));
    EXPECT_TRUE(gui::writePreferencesFile(path, Preferences{}));
    EXPECT_TRUE(QFile::exists(path)) << "created with its folder";
    if (saved.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

TEST(PreferencesFile, AFailedWriteLeavesTheOldFile) {
    QTemporaryDir dir;
    // The folder's place is taken by a file: nothing can be written, and nothing is reported.
    const QString blocker = dir.path() + QStringLiteral("/VRNComm");
    writeFile(blocker, "not a folder");
    EXPECT_FALSE(gui::writePreferencesFile(blocker + QStringLiteral("/vrncomm.ini"), Preferences{}));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("not a folder"));
}

}  // namespace
}  // namespace vrn::test
