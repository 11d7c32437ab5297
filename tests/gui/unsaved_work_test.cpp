#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include "core/program/program_file.h"
#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"
#include "gui/app/change_tracker.h"
#include "gui/app/file_commands.h"
#include "gui/program/user_program_page.h"
#include "gui/screens/screens_section.h"
#include "gui/setup/setup_section.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

struct WorkRig : GuiRig {
    WorkRig() { begin(); }
    void begin() {
        start();
        form->show();
    }
    QString path(const char* name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }
    // The title and tabs follow at the next turn of the event loop.
    void settle() { QCoreApplication::processEvents(); }
    QString tab(QWidget* page) { return form->pageControl()->tabText(form->pageControl()->indexOf(page)); }
    void insertInstruction() {
        form->pageControl()->setCurrentWidget(form->pages().TabSheetUserPgm);
        auto* tree = form->findChild<QTreeWidget*>(QStringLiteral("TreeViewPgm"));
        form->findChild<QCheckBox*>(QStringLiteral("CheckBoxEditPgm"))->click();
        tree->setCurrentItem(tree->topLevelItem(0));
        form->userProgramPage().ButtonInsPgmClick();
    }
    void typeOnScreen(const QString& text) {
        form->pageControl()->setCurrentWidget(form->pages().TabSheetScreen);
        form->findChild<QPushButton*>(QStringLiteral("ButtonStartEdit"))->click();
        QTest::keyClicks(form.get(), text);
    }
    uint8_t cell(int column) { return form->screensSection().store().cell(0, 0, column); }
};

// Picks the file in the next file dialog; an empty name cancels it.
void onNextFileDialog(const QString& path) {
    whenModal<QFileDialog>(QStringLiteral("file"), [path](QFileDialog& dialog) {
        if (path.isEmpty()) {
            dialog.reject();
            return;
        }
        dialog.selectFile(path);
        static_cast<QDialog&>(dialog).accept();
    });
}

// Picks the files in the next file dialogs, one after the other.
void onFileDialogs(QStringList paths) {
    if (paths.isEmpty()) return;
    const QString first = paths.takeFirst();
    whenModal<QFileDialog>(QStringLiteral("file"), [first, paths](QFileDialog& dialog) {
        onFileDialogs(paths);
        dialog.selectFile(first);
        static_cast<QDialog&>(dialog).accept();
    });
}

// Answers the next question and keeps its text and buttons.
void answerSave(QString& asked, QMessageBox::StandardButton answer) {
    onNextBox(
        [&asked](QMessageBox& box) {
            asked = box.text();
            EXPECT_EQ(box.standardButtons(), QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
            EXPECT_EQ(box.escapeButton(), box.button(QMessageBox::Cancel));
            EXPECT_EQ(box.button(QMessageBox::Save)->shortcut(), QKeySequence(QStringLiteral("Alt+S")));
            EXPECT_EQ(box.button(QMessageBox::Discard)->shortcut(), QKeySequence(QStringLiteral("Alt+D")));
        },
        answer);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const std::vector<uint8_t>& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

const QMessageBox::StandardButton kAnswers[] = {QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel};

TEST(UnsavedWork, ChangedPartsAreMarkedInTheTitleAndTheirTabs) {
    WorkRig rig;
    rig.settle();
    EXPECT_EQ(rig.form->windowTitle(), "Varno 41700 VRNComm 3.0");
    rig.form->setupSection().model().setInterval(30);
    rig.insertInstruction();
    rig.settle();
    EXPECT_EQ(rig.form->windowTitle(), "Untitled* - Varno 41700 VRNComm 3.0");
    EXPECT_EQ(rig.tab(rig.form->pages().TabSheetSetup), "Setup*");
    EXPECT_EQ(rig.tab(rig.form->pages().TabSheetScreen), "Screens");
    EXPECT_EQ(rig.tab(rig.form->pages().TabSheetUserPgm), "User Program*");

    // Setting the value back is no change, and neither is an undone edit.
    rig.form->setupSection().model().setInterval(1);
    rig.form->menu().Undo1->trigger();
    rig.settle();
    EXPECT_EQ(rig.form->windowTitle(), "Varno 41700 VRNComm 3.0");
    EXPECT_EQ(rig.tab(rig.form->pages().TabSheetUserPgm), "User Program");

    rig.typeOnScreen(QStringLiteral("X"));
    onNextFileDialog(rig.path("mast"));
    rig.form->menu().SaveGroup->trigger();
    rig.settle();
    EXPECT_EQ(rig.form->windowTitle(), "mast.ssp - Varno 41700 VRNComm 3.0") << "saved: no change";
    rig.typeOnScreen(QStringLiteral("Y"));
    rig.settle();
    EXPECT_EQ(rig.form->windowTitle(), "mast.ssp* - Varno 41700 VRNComm 3.0");
    EXPECT_EQ(rig.tab(rig.form->pages().TabSheetScreen), "Screens*");
}

// Setup: Open Setup File. Save writes the changed Setup first, Discard drops it, Cancel keeps it
// and shows no file dialog.
TEST(UnsavedWork, OpenSetupFileAsksAboutAChangedSetup) {
    for (const QMessageBox::StandardButton answer : kAnswers) {
        SCOPED_TRACE(answer);
        WorkRig rig;
        setup::SetupModel other;
        other.setInterval(5);
        writeFile(rig.path("other.set"), setup::writeSetupFile(other));
        setup::SetupModel& model = rig.form->setupSection().model();
        model.setInterval(64);

        QString asked;
        answerSave(asked, answer);
        if (answer == QMessageBox::Save)
            onFileDialogs({rig.path("kept.set"), rig.path("other.set")});
        else if (answer == QMessageBox::Discard)
            onFileDialogs({rig.path("other.set")});
        rig.form->menu().OpenSetupFile->trigger();
        EXPECT_EQ(asked, "Save changes to the Setup?");
        rig.settle();
        switch (answer) {
        case QMessageBox::Cancel:
            EXPECT_EQ(model.interval(), 64);
            EXPECT_TRUE(rig.form->changes().isModified(gui::Part::Setup));
            EXPECT_FALSE(QFile::exists(rig.path("kept.set")));
            break;
        case QMessageBox::Save:
            EXPECT_EQ(static_cast<uint8_t>(readAll(rig.path("kept.set")).at(12)), 64) << "saved first";
            [[fallthrough]];
        default:
            EXPECT_EQ(model.interval(), 5);
            EXPECT_FALSE(rig.form->changes().isModified(gui::Part::Setup));
            EXPECT_EQ(rig.form->windowTitle(), "other.set - Varno 41700 VRNComm 3.0");
        }
    }
}

// Screens: Clear Screen.
TEST(UnsavedWork, ClearScreenAsksAboutChangedScreens) {
    for (const QMessageBox::StandardButton answer : kAnswers) {
        SCOPED_TRACE(answer);
        WorkRig rig;
        rig.typeOnScreen(QStringLiteral("AB"));
        QString asked;
        answerSave(asked, answer);
        if (answer == QMessageBox::Save) onNextFileDialog(rig.path("kept.scr"));
        rig.form->findChild<QPushButton*>(QStringLiteral("ButtonScreenClr"))->click();
        EXPECT_EQ(asked, "Save changes to the Screens?");
        EXPECT_EQ(rig.cell(0), answer == QMessageBox::Cancel ? 'A' : ' ');
        EXPECT_EQ(QFile::exists(rig.path("kept.scr")), answer == QMessageBox::Save);
        if (answer == QMessageBox::Save) {
            EXPECT_EQ(readAll(rig.path("kept.scr")).left(2), "AB");
        }
        // Cleared after a save, the screens differ from the file; discarded, they are blank again.
        EXPECT_EQ(rig.form->changes().isModified(gui::Part::Screens), answer != QMessageBox::Discard);
    }
}

// User Program: closing the window.
TEST(UnsavedWork, ClosingTheWindowAsksAboutAChangedProgram) {
    for (const QMessageBox::StandardButton answer : kAnswers) {
        SCOPED_TRACE(answer);
        WorkRig rig;
        rig.insertInstruction();
        QString asked;
        answerSave(asked, answer);
        if (answer == QMessageBox::Save) onNextFileDialog(rig.path("kept.pgm"));
        EXPECT_EQ(rig.form->close(), answer != QMessageBox::Cancel);
        EXPECT_EQ(asked, "Save changes to the User Program?");
        EXPECT_EQ(rig.form->isVisible(), answer == QMessageBox::Cancel);
        EXPECT_EQ(rig.form->program().tree.topCount(), 2u);
        const std::vector<uint8_t> program = writeProgramFile(rig.form->program());
        if (answer == QMessageBox::Save) {
            EXPECT_EQ(readAll(rig.path("kept.pgm")), QByteArray(reinterpret_cast<const char*>(program.data()),
                                                                static_cast<qsizetype>(program.size())));
        } else {
            EXPECT_FALSE(QFile::exists(rig.path("kept.pgm")));
        }
    }
}

TEST(UnsavedWork, AGetAsksBeforeItReplacesAChangedPartAndASaveCancelledIsACancel) {
    WorkRig rig;
    rig.insertInstruction();
    QString asked;
    answerSave(asked, QMessageBox::Save);
    onNextFileDialog(QString());
    rig.form->menu().RxProgram->trigger();
    EXPECT_EQ(asked, "Save changes to the User Program?");
    EXPECT_TRUE(rig.device.instrument.commandLog.empty()) << "nothing asked of the instrument";
    EXPECT_EQ(rig.form->program().tree.topCount(), 2u);

    answerSave(asked, QMessageBox::Discard);
    rig.form->menu().RxProgram->trigger();
    EXPECT_FALSE(rig.device.instrument.commandLog.empty());
    EXPECT_EQ(rig.form->program().tree.topCount(), 18u) << "the simulated instrument's program";
    EXPECT_FALSE(rig.form->changes().isModified(gui::Part::Program));
    EXPECT_FALSE(rig.form->userProgramPage().undoStack().canUndo()) << "a Get ends the undo history";
}

TEST(UnsavedWork, RecentFilesAndFoldersAreKeptInSectionsOfTheirOwn) {
    WorkRig rig;
    QDir().mkpath(rig.path("programs"));
    rig.insertInstruction();
    onNextFileDialog(rig.path("programs/a.pgm"));
    rig.form->menu().SavePgmFile->trigger();
    onNextFileDialog(rig.path("b.set"));
    rig.form->menu().SaveSetupFile->trigger();
    QMenu* recent = rig.form->menu().RecentFiles1;
    ASSERT_TRUE(recent->isEnabled());
    ASSERT_EQ(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[0]->text(), "&1 " + rig.path("b.set"));
    EXPECT_EQ(recent->actions()[1]->text(), "&2 " + rig.path("programs/a.pgm"));
    ASSERT_TRUE(rig.form->close());

    const QString prefs = QString::fromUtf8(readAll(rig.prefsPath));
    EXPECT_TRUE(prefs.contains(QStringLiteral("[41700 Setup]\nTop=")));
    EXPECT_TRUE(prefs.contains(QStringLiteral("Num of Records=100\n")));
    EXPECT_TRUE(prefs.contains("[Recent Files]\nFile1=" + rig.path("b.set") +
                               "\nFile2=" + rig.path("programs/a.pgm")));
    EXPECT_TRUE(prefs.contains("[Last Folders]\npgm=" + rig.path("programs") + "\nset=" + rig.dir.path()));

    // The next run has them; a file gone since is dropped with a line in the message area.
    rig.begin();
    recent = rig.form->menu().RecentFiles1;
    ASSERT_EQ(recent->actions().size(), 2);
    QFile::remove(rig.path("b.set"));
    recent->actions()[0]->trigger();
    EXPECT_TRUE(rig.form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))
                    ->toPlainText()
                    .endsWith("CANNOT FIND " + rig.path("b.set") + ", REMOVED FROM RECENT FILES."));
    ASSERT_EQ(recent->actions().size(), 1);
    recent->actions()[0]->trigger();
    EXPECT_EQ(rig.form->program().tree.topCount(), 2u) << "opened without a dialog";
    EXPECT_EQ(rig.form->windowTitle(), "a.pgm - Varno 41700 VRNComm 3.0");

    // A program dialog starts in the folder a program file was last used in.
    QString startedIn;
    whenModal<QFileDialog>(QStringLiteral("open"), [&](QFileDialog& dialog) {
        startedIn = dialog.directory().absolutePath();
        dialog.reject();
    });
    rig.form->menu().OpenPgmFile->trigger();
    EXPECT_EQ(startedIn, rig.path("programs"));
}

// The question answered from the keyboard: Alt+D discards, and the part is replaced.
TEST(UnsavedWork, AltDAnswersDiscard) {
    WorkRig rig;
    rig.insertInstruction();
    ProgramModel other;
    other.tree.insert({0}, "KEYED");
    writeFile(rig.path("k.pgm"), writeProgramFile(other));
    whenModal<QMessageBox>(QStringLiteral("question"), [](QMessageBox& box) {
        QApplication::setActiveWindow(&box);
        QTest::keyClick(&box, Qt::Key_D, Qt::AltModifier);
        // A button's key presses it as a click would, after a moment's animation.
        if (!QTest::qWaitFor([&box] { return !box.isVisible(); }, kModalDeadlineMs)) {
            ADD_FAILURE() << "Alt+D left the box open";
            box.reject();
        }
    });
    onNextFileDialog(rig.path("k.pgm"));
    rig.form->menu().OpenPgmFile->trigger();
    EXPECT_EQ(rig.form->program().tree.topLevel()[0].text, "KEYED");
}

// Each kind opened from Recent Files says so in the message area as File, Open does.
TEST(UnsavedWork, RecentFilesSayWhatTheyOpened) {
    WorkRig rig;
    const struct Row {
        const char* file;
        QAction* save;
        const char* opened;
    } rows[] = {
        {"r.set", rig.form->menu().SaveSetupFile, "OPENED SETUP FILE "},
        {"r.scr", rig.form->menu().SaveScreenFile, "OPENED SCREEN FILE "},
        {"r.pgm", rig.form->menu().SavePgmFile, "OPENED USER PGM FILE "},
        {"g.ssp", rig.form->menu().SaveGroup, "OPENED GROUP "},
    };
    for (const Row& r : rows) {
        onNextFileDialog(rig.path(r.file));
        r.save->trigger();
    }
    auto* memo = rig.form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        QAction* entry = nullptr;
        for (QAction* action : rig.form->menu().RecentFiles1->actions())
            if (action->data().toString() == rig.path(r.file)) entry = action;
        ASSERT_NE(entry, nullptr);
        memo->clear();
        if (QString::fromLatin1(r.file).endsWith(QStringLiteral(".ssp")))
            onNextBox(nullptr, QMessageBox::Yes);  // a group replaces all three parts
        entry->trigger();
        EXPECT_EQ(memo->toPlainText().split(u'\n').last(), r.opened + rig.path(r.file));
    }
}

TEST(UnsavedWork, ADroppedFileOpensAsTheFileMenuWould) {
    WorkRig rig;
    ProgramModel other;
    other.tree.insert({0}, "DROPPED");  // a tree is taken as the file has it
    writeFile(rig.path("drop.pgm"), writeProgramFile(other));
    rig.insertInstruction();
    auto* memo = rig.form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    const auto drop = [&](const QString& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(memo, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(memo, &dropped);
        return dropped.isAccepted();
    };
    EXPECT_FALSE(drop(rig.path("notes.txt"))) << "not a kind the File menu opens";

    QString asked;
    answerSave(asked, QMessageBox::Cancel);
    ASSERT_TRUE(drop(rig.path("drop.pgm")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !asked.isEmpty(); }, kModalDeadlineMs));
    EXPECT_EQ(asked, "Save changes to the User Program?");
    EXPECT_EQ(rig.form->program().tree.topCount(), 2u);
    EXPECT_TRUE(memo->toPlainText().isEmpty()) << "the file's name was not typed into the message area";

    answerSave(asked, QMessageBox::Discard);
    ASSERT_TRUE(drop(rig.path("drop.pgm")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.form->program().tree.topLevel()[0].text == "DROPPED"; },
                                kModalDeadlineMs));
    EXPECT_EQ(rig.form->menu().RecentFiles1->actions().size(), 1);
}

}  // namespace
}  // namespace vrn::test
