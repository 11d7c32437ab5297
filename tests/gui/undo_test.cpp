#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoGroup>
#include <random>
#include <vector>

#include "core/program/program_file.h"
#include "gui/program/user_program_page.h"
#include "gui/screens/screens_section.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

using Bytes = std::vector<uint8_t>;

// How many random edits a run makes: enough to reach every operation many times over.
constexpr int kSteps = 120;

struct UndoRig : GuiRig {
    explicit UndoRig(QWidget* (*page)(const gui::Pages&)) {
        start();
        form->pageControl()->setCurrentWidget(page(form->pages()));
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    QAction* undo() { return form->menu().Undo1; }
    QAction* redo() { return form->menu().Redo1; }
    // Every step undone (or redone) through the Edit menu's item; how many there were.
    int runAll(QAction* action) {
        int steps = 0;
        while (action->isEnabled() && steps <= kSteps) {
            action->trigger();
            ++steps;
        }
        return steps;
    }
};

// The program as a save keeps it: the store's image and the tree's text.
Bytes programBytes(gui::TFormMain& form) {
    const auto image = form.program().store.image();
    Bytes bytes(image.begin(), image.end());
    const std::string text = programTreeText(form.program().tree);
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

// Answers the next parameter dialog with OK: an edit box gets digits (which every kind takes),
// a choice list its last entry.
void answerParameterDialog(std::mt19937& random) {
    const int digits = static_cast<int>(random() % 100);
    whenModal<QDialog>(QStringLiteral("parameter"), [digits](QDialog& dialog) {
        if (auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1")))
            edit->setText(QString::number(digits));
        if (auto* list = dialog.findChild<QComboBox*>()) list->setCurrentIndex(list->count() - 1);
        dialog.accept();
    });
}

TEST(Undo, RandomProgramEditsAllUndoneGiveBackTheStoreAndTreeByteForByte) {
    for (const unsigned seed : {1u, 7u, 2026u}) {
        SCOPED_TRACE(seed);
        UndoRig rig([](const gui::Pages& p) { return p.TabSheetUserPgm; });
        std::mt19937 random(seed);
        auto* tree = rig.find<QTreeWidget>("TreeViewPgm");
        auto* chooser = rig.find<QComboBox>("ComboBoxInstr");
        rig.find<QCheckBox>("CheckBoxEditPgm")->click();
        rig.find<QCheckBox>("CheckBoxConfirmDelete")->click();  // deletes without a question
        gui::UserProgramPage& page = rig.form->userProgramPage();
        const auto selectTop = [&](int i) { tree->setCurrentItem(tree->topLevelItem(i)); };

        // A program to start from, as if opened: its steps are not the test's.
        for (int i = 0; i < 6; ++i) {
            selectTop(0);
            chooser->setCurrentIndex(static_cast<int>(random() % 52));
            page.ButtonInsPgmClick();
        }
        page.undoStack().clear();
        const Bytes original = programBytes(*rig.form);

        for (int step = 0; step < kSteps; ++step) {
            const int top = tree->topLevelItemCount();
            selectTop(static_cast<int>(random() % static_cast<unsigned>(top)));
            switch (random() % 9) {
            case 0:
            case 1:
                chooser->setCurrentIndex(static_cast<int>(random() % 52));
                page.ButtonInsPgmClick();
                break;
            case 2:
                if (tree->currentItem() != tree->topLevelItem(top - 1)) page.Delete1Click();
                break;
            case 3:
                if (tree->currentItem() != tree->topLevelItem(top - 1)) page.Cut1Click();
                break;
            case 4:
                if (tree->currentItem() != tree->topLevelItem(top - 1)) page.Copy1Click();
                break;
            case 5:
                if (rig.form->popupMenu().Paste1->isEnabled()) page.Paste1Click();
                break;
            case 6:
            case 7: {
                QTreeWidgetItem* instruction = tree->currentItem();
                if (instruction->childCount() == 0) break;
                tree->setCurrentItem(
                    instruction->child(static_cast<int>(random() % 64) % instruction->childCount()));
                answerParameterDialog(random);
                page.ButtonEditPgmClick();
                break;
            }
            default:
                if (random() % 4 != 0) break;
                // Changed since it was opened: the save question first, then the editor's own.
                onNextBox([](QMessageBox&) { onNextBox(nullptr, QMessageBox::Yes); }, QMessageBox::Discard);
                page.ButtonNewPgmClick();
                break;
            }
        }
        const Bytes edited = programBytes(*rig.form);
        ASSERT_NE(edited, original) << "the edits changed the program";
        const QString lastStep = page.undoStack().undoText();

        EXPECT_EQ(rig.undo()->text(), QStringLiteral("&Undo ") + lastStep);
        const int undone = rig.runAll(rig.undo());
        EXPECT_GT(undone, kSteps / 3);
        EXPECT_EQ(programBytes(*rig.form), original);
        EXPECT_FALSE(rig.undo()->isEnabled());

        EXPECT_EQ(rig.runAll(rig.redo()), undone);
        EXPECT_EQ(programBytes(*rig.form), edited);
        // The view shows the tree the model holds.
        ASSERT_EQ(tree->topLevelItemCount(), static_cast<int>(rig.form->program().tree.topCount()));
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            EXPECT_EQ(tree->topLevelItem(i)->text(0).toStdString(),
                      rig.form->program().tree.topLevel()[static_cast<size_t>(i)].text);
    }
}

TEST(Undo, RandomScreenEditsAllUndoneGiveBackTheStoreByteForByte) {
    for (const unsigned seed : {3u, 11u, 4242u}) {
        SCOPED_TRACE(seed);
        UndoRig rig([](const gui::Pages& p) { return p.TabSheetScreen; });
        std::mt19937 random(seed);
        gui::ScreensSection& screens = rig.form->screensSection();
        const auto bytes = [&] {
            return Bytes(screens.store().bytes().begin(), screens.store().bytes().end());
        };
        QWidget* keys = rig.form.get();
        rig.find<QPushButton>("ButtonStartEdit")->click();
        QTest::keyClicks(keys, QStringLiteral("START"));
        screens.undoStack().clear();
        const Bytes original = bytes();

        const Qt::Key moves[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                                 Qt::Key_Down, Qt::Key_Home,  Qt::Key_End};
        for (int step = 0; step < kSteps; ++step) {
            switch (random() % 8) {
            case 0:
            case 1:
            case 2:
                QTest::keyClick(keys, static_cast<char>(32 + random() % 95));
                break;
            case 3:
                QTest::keyClick(keys, random() % 2 ? Qt::Key_Delete : Qt::Key_Backspace);
                break;
            case 4:
                QTest::keyClick(keys, moves[random() % std::size(moves)]);
                break;
            case 5:
                // Large-font blocks and small characters in turn.
                rig.find<QRadioButton>(random() % 2 ? "RadioButtonFontBig" : "RadioButtonFontSmall")->click();
                break;
            case 6:
                QTest::mouseClick(rig.find<QToolButton>(random() % 2 ? "UpDownScrNumUp" : "UpDownScrNumDown"),
                                  Qt::LeftButton);
                break;
            default:
                if (random() % 3 != 0) break;
                onNextBox(nullptr, QMessageBox::Discard);
                rig.find<QPushButton>("ButtonScreenClr")->click();
                break;
            }
        }
        const Bytes edited = bytes();
        ASSERT_NE(edited, original);
        const int undone = rig.runAll(rig.undo());
        EXPECT_GT(undone, kSteps / 4);
        EXPECT_EQ(bytes(), original);
        EXPECT_EQ(rig.runAll(rig.redo()), undone);
        EXPECT_EQ(bytes(), edited);
        EXPECT_TRUE(screens.editor().editing()) << "undo keeps the edit mode";
    }
}

TEST(Undo, ActsOnThePageShownAndIsInTheTreesMenu) {
    UndoRig rig([](const gui::Pages& p) { return p.TabSheetScreen; });
    rig.find<QPushButton>("ButtonStartEdit")->click();
    QTest::keyClicks(rig.form.get(), QStringLiteral("AB"));
    EXPECT_EQ(rig.undo()->text(), "&Undo Typing");
    const QKeySequence undoKey("Ctrl+Z");
    QTest::keySequence(rig.form.get(), undoKey);
    EXPECT_EQ(rig.form->screensSection().store().cell(0, 0, 1), ' ') << "Ctrl+Z undid the B";
    QTest::keySequence(rig.form.get(), QKeySequence("Ctrl+Shift+Z"));
    EXPECT_EQ(rig.form->screensSection().store().cell(0, 0, 1), 'B') << "Ctrl+Shift+Z redid it";

    // On the User Program page Undo is the program's, and only with Enable Edit checked.
    rig.form->pageControl()->setCurrentWidget(rig.form->pages().TabSheetUserPgm);
    EXPECT_FALSE(rig.undo()->isEnabled());
    EXPECT_EQ(rig.form->undoGroup().activeStack(), nullptr);
    rig.find<QCheckBox>("CheckBoxEditPgm")->click();
    EXPECT_EQ(rig.form->undoGroup().activeStack(), &rig.form->userProgramPage().undoStack());
    EXPECT_TRUE(rig.form->popupMenu().PopupMenu1->actions().contains(rig.undo()));
    EXPECT_TRUE(rig.form->popupMenu().PopupMenu1->actions().contains(rig.redo()));
    rig.form->pageControl()->setCurrentWidget(rig.form->pages().TabSheetRecords);
    EXPECT_EQ(rig.form->undoGroup().activeStack(), nullptr);
}

}  // namespace
}  // namespace vrn::test
