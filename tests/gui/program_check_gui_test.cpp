#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>

#include "core/program/program_model.h"
#include "core/program/transfer_image.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

struct CheckRig : GuiRig {
    // The instrument holds IF FLAG (never closed) and AVERAGE of location 9, which nothing
    // writes; the window gets it, as a user would.
    CheckRig() {
        ProgramStore store;
        // The instrument's integers travel as their text fields too, and a download reads those.
        const auto integer = [&store](size_t k, size_t j, int32_t v) {
            store.setIntValue(k, j, v);
            store.setTextField(k, j, std::to_string(v));
        };
        store.setInstruction(0, 16);
        integer(0, 0, 1);
        store.setInstruction(1, 2);
        integer(1, 0, 9);
        integer(1, 1, 2);
        integer(1, 3, 60);
        store.setInstruction(2, 0);
        device.instrument.state.program = buildTransferImage(store);
        start();
        form->menu().RxProgram->trigger();
    }
    QTreeWidget* tree() {
        return form->pages().TabSheetUserPgm->findChild<QTreeWidget*>(QStringLiteral("TreeViewPgm"));
    }
    QString memo() { return form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText(); }
    QString label() { return form->findChild<QLabel*>(QStringLiteral("LabelInstrNum"))->text(); }
};

TEST(ProgramCheckWindow, CheckListsTheFindingsAndF8StepsThroughThemInTheTree) {
    CheckRig rig;
    ASSERT_EQ(rig.tree()->topLevelItemCount(), 3);
    rig.form->pageControl()->setCurrentWidget(rig.form->pages().TabSheetSetup);
    rig.form->menu().CheckUserProgram1->trigger();
    // The Setup page's record format has one field, and this program records nothing.
    EXPECT_TRUE(rig.memo().endsWith(
        "CHECK USER PROGRAM...\n"
        "001 IF FLAG: error: no END IF closes this IF before PGM END\n"
        "002 AVERAGE sloc=: warning: location 9 is never written\n"
        "003 PGM END: warning: the program records no values; the record format has 1 field per record\n"
        "FINISHED CHECKING USER PROGRAM: 1 ERROR, 2 WARNINGS.\n"
        "FINDING 1 OF 3: 001 IF FLAG: error: no END IF closes this IF before PGM END"))
        << rig.memo().toStdString();
    EXPECT_EQ(rig.form->pageControl()->currentWidget(), rig.form->pages().TabSheetUserPgm);
    EXPECT_EQ(rig.tree()->currentItem(), rig.tree()->topLevelItem(0));
    EXPECT_EQ(rig.label(), "Instruction 001 ");

    QAction* f8 = rig.form->menu().NextFinding1;
    EXPECT_EQ(f8->shortcut(), QKeySequence(Qt::Key_F8));
    f8->trigger();
    EXPECT_EQ(rig.tree()->currentItem(), rig.tree()->topLevelItem(1)->child(0));
    EXPECT_TRUE(rig.tree()->topLevelItem(1)->isExpanded());
    EXPECT_EQ(rig.label(), "Instruction 002 ");
    EXPECT_TRUE(
        rig.memo().endsWith("\nFINDING 2 OF 3: 002 AVERAGE sloc=: warning: location 9 is never written"))
        << rig.memo().toStdString();
    f8->trigger();
    EXPECT_EQ(rig.tree()->currentItem(), rig.tree()->topLevelItem(2));
    EXPECT_TRUE(
        rig.memo().endsWith("\nFINDING 3 OF 3: 003 PGM END: warning: the program records no values; "
                            "the record format has 1 field per record"))
        << rig.memo().toStdString();
    f8->trigger();
    EXPECT_EQ(rig.tree()->currentItem(), rig.tree()->topLevelItem(0));
    EXPECT_TRUE(
        rig.memo().endsWith("\nFINDING 1 OF 3, FROM THE FIRST AGAIN: 001 IF FLAG: error: no END IF "
                            "closes this IF before PGM END"))
        << rig.memo().toStdString();
}

TEST(ProgramCheckWindow, SendUserProgramAsksBeforeSendingAProgramWithErrors) {
    CheckRig rig;
    const std::vector<uint8_t> before = rig.device.instrument.state.program;
    rig.form->program().store.setInstruction(1, 3);  // the instrument would now get BEEP num= 9
    QString asked;
    onNextBox([&](QMessageBox& box) { asked = box.text(); }, QMessageBox::No);
    rig.form->menu().TxUserProgram->trigger();
    EXPECT_EQ(asked, "The check found 1 error in the user program.\nSend it to the 41700 anyway?");
    EXPECT_EQ(rig.device.instrument.state.program, before);
    EXPECT_TRUE(rig.memo().endsWith("001 IF FLAG: error: no END IF closes this IF before PGM END"))
        << rig.memo().toStdString();

    onNextBox(nullptr, QMessageBox::Yes);
    rig.form->menu().TxUserProgram->trigger();
    EXPECT_TRUE(rig.memo().endsWith("FINISHED SENDING USER PROGRAM.")) << rig.memo().toStdString();
    EXPECT_EQ(rig.device.instrument.state.program.at(128 + 1), 3);
}

}  // namespace
}  // namespace vrn::test
