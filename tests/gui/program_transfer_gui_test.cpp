#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTreeWidget>

#include "core/link/timer1.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

struct TransferRig : GuiRig {
    TransferRig() { start(); }
    QTreeWidget* tree() {
        return form->pages().TabSheetUserPgm->findChild<QTreeWidget*>(QStringLiteral("TreeViewPgm"));
    }
    QString memo() { return form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText(); }
};

TEST(ProgramTransferWindow, GetAndSendFromTheMenu) {
    TransferRig rig;
    rig.form->menu().RxProgram->trigger();
    EXPECT_EQ(rig.form->pageControl()->currentWidget()->objectName(), "TabSheetUserPgm");
    ASSERT_GE(rig.tree()->topLevelItemCount(), 12);
    EXPECT_EQ(rig.tree()->topLevelItem(0)->text(0), "INPUT VOLTAGE");
    EXPECT_EQ(rig.tree()->topLevelItem(rig.tree()->topLevelItemCount() - 1)->text(0), "PGM END");
    EXPECT_TRUE(rig.memo().endsWith(QStringLiteral("LAST HEADER...\nFINISHED GETTING USER PROGRAM.")))
        << rig.memo().toStdString();
    EXPECT_EQ(rig.form->findChild<QProgressBar*>(QStringLiteral("ProgressBar"))->value(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(rig.form->timer().enabled());

    // The window's program goes back with its first instruction changed.
    rig.form->program().store.setInstruction(0, 3);
    rig.form->menu().TxUserProgram->trigger();
    EXPECT_TRUE(rig.memo().endsWith(QStringLiteral("SEND USER PROGRAM...\nFINISHED SENDING USER PROGRAM.")));
    const std::vector<uint8_t>& sent = rig.device.instrument.state.program;
    EXPECT_EQ(sent.at(0), 0);
    EXPECT_EQ(sent.at(1), 3);
}

}  // namespace
}  // namespace vrn::test
