#include "gui/app/form_about.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "gui/app/form_main.h"
#include "gui/app/qt_host.h"
#include "gui_rig.h"

// Receives the addresses the program asks the desktop to open, instead of a browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

namespace vrn::test {
namespace {

TEST(TFormAbout, ShowsTheProgramAndItsLink) {
    GuiRig rig;
    rig.start();
    gui::TFormAbout& about = rig.form->formAbout();
    EXPECT_EQ(rig.form->findChildren<gui::TFormAbout*>().size(), 1) << "created once at start-up";
    EXPECT_EQ(about.objectName(), "TFormAbout");
    EXPECT_EQ(about.windowTitle(), "About VRNComm");
    EXPECT_EQ(about.size(), QSize(328, 125));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_EQ(about.palette().color(QPalette::Window), QColor(Qt::white));

    auto* logo = about.findChild<QLabel*>(QStringLiteral("ImageLogo"));
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->geometry(), QRect(16, 16, 80, 95));
    EXPECT_EQ(logo->pixmap().size(), QSize(80, 95));

    auto* memo = about.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->geometry(), QRect(112, 16, 201, 73));
    const QStringList lines = memo->toPlainText().split(u'\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "Varno Part Number 41752");
    EXPECT_EQ(lines[1], "");
    // The version the window's title and --version show.
    EXPECT_EQ(lines[2], "VRNComm v" VRN_VERSION " for ");
    EXPECT_TRUE(QString::fromLatin1(gui::TFormMain::kCaption).endsWith(" " VRN_VERSION));
    EXPECT_EQ(lines[3], "Model 41700 Meteorological Display. ");
    EXPECT_TRUE(lines[4].contains(QStringLiteral("VRNComm project"))) << lines[4].toStdString();

    auto* link = about.findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->pos(), QPoint(112, 95));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
}

TEST(TFormAbout, TheLinkShowsAndOpensTheInstalledReadmeAndClosesTheBoxWithOk) {
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("share/doc/vrncomm")));
    QFile readme(prefix.filePath(QStringLiteral("share/doc/vrncomm/README.md")));
    ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
    readme.close();
    QTemporaryDir buildFolder;
    const struct Row {
        const char* name;
        QString programDir;
        QString address;
    } rows[] = {
        {"installed under a prefix", prefix.filePath(QStringLiteral("bin")), readme.fileName()},
        {"run from a build folder", buildFolder.path(), QString::fromLatin1(gui::TFormAbout::kPackageReadme)},
    };
    GuiRig rig;
    rig.start();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        gui::TFormAbout about(r.programDir, rig.form->host(), rig.form.get());
        EXPECT_EQ(about.address(), r.address);
        auto* link = about.findChild<QLabel*>(QStringLiteral("Label1"));
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->toolTip(), r.address);
        EXPECT_LE(link->geometry().right(), about.width());
        if (r.address == QString::fromLatin1(gui::TFormAbout::kPackageReadme)) {
            EXPECT_EQ(link->text(), r.address) << "the package's address is shown whole";
        } else {
            EXPECT_TRUE(link->text().endsWith(QStringLiteral("README.md"))) << link->text().toStdString();
        }
        catcher.opened.clear();
        // Without the package installed, its README is not there: a box says so and nothing is
        // handed to the desktop.
        const bool there = QFileInfo::exists(r.address);
        QStringList said;
        for (int shown = 0; shown < 2; ++shown) {  // the same box, shown again
            if (!there) onNextBox([&said](QMessageBox& box) { said << box.text(); }, QMessageBox::Ok);
            QTimer::singleShot(0, &about, [link] { QTest::mouseClick(link, Qt::LeftButton); });
            EXPECT_EQ(about.exec(), QDialog::Accepted);
        }
        if (there) {
            ASSERT_EQ(catcher.opened.size(), 2);
            EXPECT_EQ(catcher.opened[0], QUrl::fromLocalFile(r.address));
        } else {
            EXPECT_TRUE(catcher.opened.empty());
            ASSERT_EQ(said.size(), 2);
            EXPECT_TRUE(said[0].contains(r.address)) << said[0].toStdString();
        }
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    // The window's own box points at the README of the program that runs.
    EXPECT_EQ(rig.form->formAbout().address(),
              gui::TFormAbout::documentationPath(QCoreApplication::applicationDirPath()));
}

// Run from its build folder, the program points at its source tree's README; anywhere else at the
// installed one or the package's.
TEST(TFormAbout, TheBuildFolderPointsAtTheSourceTreesReadme) {
    QTemporaryDir tree;
    ASSERT_TRUE(QDir(tree.path()).mkpath(QStringLiteral("build/bin")));
    ASSERT_TRUE(QDir(tree.path()).mkpath(QStringLiteral("other/bin")));
    QFile readme(tree.filePath(QStringLiteral("README.md")));
    ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
    readme.close();
    const QString bin = tree.filePath(QStringLiteral("build/bin"));
    const QString package = QString::fromLatin1(gui::TFormAbout::kPackageReadme);
    const struct Row {
        const char* name;
        QString programDir;
        QString sourceReadme;
        QString address;
    } rows[] = {
        {"the build's bin folder", bin, readme.fileName(), readme.fileName()},
        {"the same folder by another way", bin + QStringLiteral("/../bin/"), readme.fileName(),
         readme.fileName()},
        {"another folder", tree.filePath(QStringLiteral("other/bin")), readme.fileName(), package},
        {"the source tree's README gone", bin, tree.filePath(QStringLiteral("GONE.md")), package},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(gui::TFormAbout::documentationPath(r.programDir, bin, r.sourceReadme), r.address);
    }
}

// A README that cannot be shown is said in a box once About has closed.
TEST(TFormAbout, AReadmeThatCannotBeOpenedIsSaidInABox) {
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("share/doc/vrncomm")));
    QFile readme(prefix.filePath(QStringLiteral("share/doc/vrncomm/README.md")));
    ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
    readme.close();
    GuiRig rig;
    rig.start();
    gui::TFormAbout about(prefix.filePath(QStringLiteral("bin")), rig.form->host(), rig.form.get());
    ASSERT_EQ(about.address(), readme.fileName());
    ASSERT_TRUE(readme.remove());
    auto* link = about.findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_NE(link, nullptr);
    QString said;
    onNextBox([&said](QMessageBox& box) { said = box.text(); }, QMessageBox::Ok);
    QTimer::singleShot(0, &about, [link] { QTest::mouseClick(link, Qt::LeftButton); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_TRUE(said.contains(readme.fileName())) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("not installed"))) << said.toStdString();
}

}  // namespace
}  // namespace vrn::test

#include "form_about_test.moc"
