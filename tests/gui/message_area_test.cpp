// The message area as a transfer fills it, and the window as a menu command starts.
#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include "gui/app/qt_host.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

QPlainTextEdit* memoOf(gui::TFormMain& form) {
    return form.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
}

TEST(MessageArea, FollowsNewLinesOnlyWhileItShowsItsEnd) {
    GuiRig rig;
    rig.start();
    rig.form->show();
    QPlainTextEdit* memo = memoOf(*rig.form);
    QScrollBar* bar = memo->verticalScrollBar();
    Host& host = rig.form->host();
    for (int i = 0; i < 100; ++i)
        host.appendLine("LINE " + std::to_string(i));
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum()) << "at its end, it follows";

    // Scrolled back, new lines and text come in below without moving what the user reads.
    bar->setValue(10);
    host.appendLine("MORE");
    host.appendText(" TEXT");
    EXPECT_EQ(bar->value(), 10);
    EXPECT_EQ(memo->document()->lastBlock().text(), "MORE TEXT");

    // Back at the end (End), it follows again.
    bar->setValue(bar->maximum());
    host.appendLine("LAST");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(memo->document()->lastBlock().text(), "LAST");
}

// The last line is inside the viewport, not under the horizontal scroll bar or below it.
bool lastLineShown(QPlainTextEdit& memo) {
    const QRect line = memo.cursorRect(QTextCursor(memo.document()->lastBlock()));
    return memo.viewport()->rect().contains(line);
}

// A long line brings the horizontal scroll bar, which takes height from the viewport after the
// line came: the area still follows (unless scrolled back), with the window's events let through
// between lines as a transfer's pumps do.
TEST(MessageArea, FollowsNewLinesAfterALongLineBringsTheSidewaysBar) {
    GuiRig rig;
    rig.start();
    rig.form->show();
    QPlainTextEdit* memo = memoOf(*rig.form);
    QScrollBar* bar = memo->verticalScrollBar();
    Host& host = rig.form->host();
    const auto add = [&](const std::string& line) {
        host.appendLine(line);
        QApplication::processEvents();
    };
    for (int i = 0; i < 30; ++i)
        add("LINE " + std::to_string(i));
    ASSERT_EQ(memo->horizontalScrollBar()->maximum(), 0);
    add("LONG " + std::string(400, '-'));
    ASSERT_GT(memo->horizontalScrollBar()->maximum(), 0);
    for (int i = 0; i < 5; ++i) {
        add("AFTER " + std::to_string(i));
        EXPECT_TRUE(lastLineShown(*memo)) << "AFTER " << i << " is hidden";
        EXPECT_EQ(bar->value(), bar->maximum());
    }

    bar->setValue(5);
    add("WHILE SCROLLED BACK");
    add("LONG AGAIN " + std::string(800, '-'));
    EXPECT_EQ(bar->value(), 5) << "scrolled back, the area stays where the user put it";
    bar->setValue(bar->maximum());
    add("AT THE END AGAIN");
    EXPECT_TRUE(lastLineShown(*memo));
}

TEST(MessageArea, LongLinesScrollSidewaysInsteadOfWrapping) {
    GuiRig rig;
    rig.start();
    rig.form->show();
    QPlainTextEdit* memo = memoOf(*rig.form);
    rig.form->host().appendLine(
        "Ch\tSe0\tDiff0\tWd0\tSeMult\tDiffMult\tWdMult\tVMult\tVOffset\tIMult\tIOffset");
    rig.form->host().appendLine(
        "1\t0.001234\t0.002345\t0.003456\t1.000123\t1.000234\t1.000345\t1.0\t0.0\t1.0\t0.0");
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo->document()->lineCount(), 2) << "each line of eleven columns stays one line";
    EXPECT_GT(memo->horizontalScrollBar()->maximum(), 0);
}

// A command that holds the window finds it painted whole first: no menu is left on it.
TEST(MessageArea, WindowIsPaintedBeforeAMenuCommandRuns) {
    GuiRig rig;
    rig.start();
    rig.form->show();
    QApplication::processEvents();
    auto* button = rig.form->findChild<QPushButton*>(QStringLiteral("ButtonClearMemo"));
    QPlainTextEdit* memo = memoOf(*rig.form);
    // Paints of a control the command itself never touches, and whether the command had begun.
    struct PaintWatch : QObject {
        QPlainTextEdit* memo = nullptr;
        std::vector<bool> commandBegun;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) commandBegun.push_back(!memo->toPlainText().isEmpty());
            return false;
        }
    } watch;
    watch.memo = memo;
    button->installEventFilter(&watch);
    rig.form->menu().RxSetup->trigger();
    ASSERT_FALSE(memo->toPlainText().isEmpty()) << "Get Setup ran";
    ASSERT_FALSE(watch.commandBegun.empty()) << "the window was not painted";
    EXPECT_FALSE(watch.commandBegun.front()) << "the first paint came after the command began";
    button->removeEventFilter(&watch);
}

}  // namespace
}  // namespace vrn::test
