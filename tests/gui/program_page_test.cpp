#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "gui/program/user_program_page.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

// The main window with its User Program page in front.
struct PageRig : GuiRig {
    PageRig() {
        start();
        form->pageControl()->setCurrentWidget(form->pages().TabSheetUserPgm);
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // On the User Program page.
    template <typename W>
    W* find(const char* name) {
        return findNamed<W>(form->pages().TabSheetUserPgm, name);
    }
    QTreeWidget* tree() { return find<QTreeWidget>("TreeViewPgm"); }
    const gui::PopupMenuItems& popup() { return form->popupMenu(); }
    QStringList topTexts() {
        QStringList out;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i)
            out << tree()->topLevelItem(i)->text(0);
        return out;
    }
    QStringList childTexts(int i) {
        QStringList out;
        for (int c = 0; c < tree()->topLevelItem(i)->childCount(); ++c)
            out << tree()->topLevelItem(i)->child(c)->text(0);
        return out;
    }
    // Keys reach the tree's shortcuts only in the active window; a message box takes that away.
    void focusTree() {
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        tree()->setFocus();
    }
    void toggleEdit() { find<QCheckBox>("CheckBoxEditPgm")->click(); }
    void selectTop(int i) { tree()->setCurrentItem(tree()->topLevelItem(i)); }
    void selectParam(int i, int j) { tree()->setCurrentItem(tree()->topLevelItem(i)->child(j)); }
    void insert(const char* name) {
        auto* combo = find<QComboBox>("ComboBoxInstr");
        combo->setCurrentIndex(combo->findText(QString::fromLatin1(name)));
        find<QPushButton>("ButtonInsPgm")->click();
    }
    QString label() { return find<QLabel>("LabelInstrNum")->text(); }
};

// Answers the next message box and keeps its text.
void answerNextBox(QString& text, QMessageBox::StandardButton answer) {
    onNextBox([&text](QMessageBox& box) { text = box.text(); }, answer);
}

// Runs user against the next modal dialog as soon as it is up.
void onNextDialog(std::function<void(QDialog&)> user) {
    whenModal<QDialog>(QStringLiteral("parameter"), std::move(user));
}

TEST(UserProgramPage, StartsWithTheControlsOfTheProgramEditor) {
    PageRig rig;
    EXPECT_EQ(rig.form->userProgramPage().parentWidget(), rig.form->pages().TabSheetUserPgm);
    EXPECT_EQ(rig.label(), "Instruction 1");
    EXPECT_EQ(rig.topTexts(), QStringList{"PGM END"});
    EXPECT_EQ(rig.tree()->currentItem(), nullptr);
    auto* combo = rig.find<QComboBox>("ComboBoxInstr");
    EXPECT_EQ(combo->count(), 52);
    EXPECT_EQ(combo->currentText(), "ALARM");
    EXPECT_EQ(combo->itemText(51), "WIND DIRECTION 0-540");
    EXPECT_EQ(combo->maxVisibleItems(), 16);
    EXPECT_FALSE(combo->isEditable());
    const struct {
        const char* name;
        const char* caption;
        bool enabled;
    } buttons[] = {
        {"ButtonEditPgm", "&Edit Parameter", false},    {"ButtonInsPgm", "&Insert  Instruction", false},
        {"ButtonDelPgm", "&Delete Instruction", false}, {"ButtonNewPgm", "&New Program", false},
        {"ButtonExpand", "E&xpand All", true},          {"ButtonCollapse", "&Collapse All", true}};
    for (const auto& b : buttons) {
        auto* button = rig.find<QPushButton>(b.name);
        EXPECT_EQ(button->text(), b.caption);
        EXPECT_EQ(button->isEnabled(), b.enabled) << b.name;
    }
    auto* confirm = rig.find<QCheckBox>("CheckBoxConfirmDelete");
    EXPECT_EQ(confirm->text(), "Confirm");
    EXPECT_TRUE(confirm->isChecked());
    EXPECT_FALSE(confirm->isEnabled());
    EXPECT_EQ(rig.find<QCheckBox>("CheckBoxEditPgm")->text(), "Enable Edit");
    EXPECT_FALSE(rig.find<QCheckBox>("CheckBoxEditPgm")->isChecked());
    EXPECT_FALSE(rig.popup().Paste1->isEnabled());

    // The context menu opens on a right click only while editing is enabled.
    QMenu* menu = rig.popup().PopupMenu1;
    emit rig.tree()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_FALSE(menu->isVisible());
    rig.toggleEdit();
    for (const char* name : {"ButtonEditPgm", "ButtonInsPgm", "ButtonDelPgm", "ButtonNewPgm"})
        EXPECT_TRUE(rig.find<QPushButton>(name)->isEnabled()) << name;
    EXPECT_TRUE(confirm->isEnabled());
    EXPECT_TRUE(combo->isEnabled());
    EXPECT_EQ(rig.form->focusWidget(), rig.tree());
    emit rig.tree()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(menu->isVisible());
    menu->close();
    rig.toggleEdit();
    EXPECT_FALSE(rig.find<QPushButton>("ButtonInsPgm")->isEnabled());
    EXPECT_FALSE(combo->isEnabled());
    emit rig.tree()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_FALSE(menu->isVisible());
}

TEST(UserProgramPage, EditsThroughTheButtonsAndTheMenu) {
    PageRig rig;
    rig.toggleEdit();
    rig.selectTop(0);
    rig.insert("FLAG SET MASK");
    rig.insert("INPUT SERIAL NMEA");
    EXPECT_EQ(rig.topTexts(), (QStringList{"FLAG SET MASK", "INPUT SERIAL NMEA", "PGM END"}));
    EXPECT_EQ(rig.childTexts(0), (QStringList{"mask= 0000", "state= OFF"}));
    EXPECT_EQ(rig.childTexts(1),
              (QStringList{"chan= COM2", "header= WIMWV", "#flds= 01", "wait= 1000", "dloc1= 001"}));
    EXPECT_EQ(rig.label(), "Instruction 003 ");
    EXPECT_EQ(rig.tree()->currentItem(), rig.tree()->topLevelItem(2));

    rig.selectTop(0);
    EXPECT_EQ(rig.label(), "Instruction 001 ");
    rig.popup().Copy1->trigger();
    EXPECT_TRUE(rig.popup().Paste1->isEnabled());
    rig.selectTop(2);
    rig.popup().Paste1->trigger();
    EXPECT_EQ(rig.topTexts(),
              (QStringList{"FLAG SET MASK", "INPUT SERIAL NMEA", "FLAG SET MASK", "PGM END"}));
    EXPECT_EQ(rig.childTexts(2), (QStringList{"mask= 0000", "state= OFF"}));

    rig.selectTop(1);
    QString asked;
    answerNextBox(asked, QMessageBox::Yes);
    rig.find<QPushButton>("ButtonDelPgm")->click();
    EXPECT_EQ(asked, "Delete selected instruction?");
    EXPECT_EQ(rig.topTexts(), (QStringList{"FLAG SET MASK", "FLAG SET MASK", "PGM END"}));
    EXPECT_EQ(rig.tree()->currentItem(), rig.tree()->topLevelItem(1));
    EXPECT_EQ(rig.form->program().store.instruction(1), 14);

    rig.popup().Delete1->trigger();  // never asks
    EXPECT_EQ(rig.topTexts(), (QStringList{"FLAG SET MASK", "PGM END"}));

    // With editing off the menu's keys change nothing.
    rig.toggleEdit();
    rig.selectTop(0);
    rig.focusTree();
    QTest::keyClick(rig.tree(), Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(rig.tree(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(rig.topTexts(), (QStringList{"FLAG SET MASK", "PGM END"}));
    rig.toggleEdit();
    rig.selectTop(0);
    rig.focusTree();
    QTest::keyClick(rig.tree(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(rig.tree(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(rig.topTexts(), (QStringList{"FLAG SET MASK", "FLAG SET MASK", "PGM END"}));
    rig.selectTop(0);
    QTest::keyClick(rig.tree(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(rig.topTexts(), (QStringList{"FLAG SET MASK", "PGM END"}));

    rig.selectParam(0, 1);
    QString refused;
    answerNextBox(refused, QMessageBox::Ok);
    rig.popup().Cut1->trigger();
    EXPECT_EQ(refused, "Parameters cannot be cut.\nPlease select an instruction.");

    // The program changed since start-up: the question about saving it comes first.
    QString save;
    QString erase;
    rig.find<QComboBox>("ComboBoxInstr")->setFocus();
    onNextBox(
        [&](QMessageBox& box) {
            save = box.text();
            answerNextBox(erase, QMessageBox::Yes);
        },
        QMessageBox::Discard);
    rig.find<QPushButton>("ButtonNewPgm")->click();
    EXPECT_EQ(save, "Save changes to the User Program?");
    EXPECT_EQ(erase, "Erase all current instructions to start a new program?");
    EXPECT_EQ(rig.topTexts(), QStringList{"PGM END"});
    EXPECT_EQ(rig.tree()->currentItem(), nullptr);
    EXPECT_EQ(rig.form->focusWidget(), rig.tree());

    rig.selectTop(0);
    rig.insert("ALARM");
    rig.find<QPushButton>("ButtonExpand")->click();
    EXPECT_TRUE(rig.tree()->topLevelItem(0)->isExpanded());
    rig.find<QPushButton>("ButtonCollapse")->click();
    EXPECT_FALSE(rig.tree()->topLevelItem(0)->isExpanded());

    // A double click on a parameter with editing off only says so.
    rig.toggleEdit();
    rig.selectParam(0, 0);
    QString told;
    answerNextBox(told, QMessageBox::Ok);
    emit rig.tree()->itemDoubleClicked(rig.tree()->currentItem(), 0);
    EXPECT_EQ(told, "Enable Edit must be checked.");
}

TEST(UserProgramPage, NewProgramLeavesNothingSelectedWhenTheTreeGetsTheFocusBack) {
    const struct Row {
        const char* name;
        int instructions;  // inserted before New Program
        bool parameterSelected;
    } rows[] = {
        {"nothing was selected", 0, false},
        {"an instruction was selected", 2, false},
        {"a parameter was selected", 2, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        PageRig rig;
        rig.toggleEdit();
        if (r.instructions > 0) {
            rig.selectTop(0);
            rig.insert("ALARM");
            rig.insert("BEEP");
            if (r.parameterSelected)
                rig.selectParam(0, 1);
            else
                rig.selectTop(1);
        }
        rig.find<QComboBox>("ComboBoxInstr")->setFocus();
        // A changed program is offered for saving first.
        if (r.instructions > 0)
            onNextBox([](QMessageBox&) { onNextBox(nullptr, QMessageBox::Yes); }, QMessageBox::Discard);
        else
            onNextBox(nullptr, QMessageBox::Yes);
        rig.find<QPushButton>("ButtonNewPgm")->click();
        // The box took the activation away; the tree has the focus when it comes back.
        rig.focusTree();
        QTest::qWait(20);
        EXPECT_EQ(rig.form->focusWidget(), rig.tree());
        EXPECT_EQ(rig.tree()->currentItem(), nullptr);
        EXPECT_TRUE(rig.tree()->selectedItems().isEmpty());
        EXPECT_EQ(rig.label(), "");
        rig.insert("ALARM");
        EXPECT_EQ(rig.topTexts(), QStringList{"PGM END"}) << "Insert with nothing selected only beeps";
    }
}

TEST(UserProgramPage, OpensEachParameterDialogInPlaceAndWritesBack) {
    PageRig rig;
    rig.toggleEdit();
    rig.selectTop(0);
    rig.insert("ALARM");
    rig.insert("FLAG SET MASK");
    rig.insert("DISPLAY TEXT");
    auto* edit = rig.find<QPushButton>("ButtonEditPgm");
    const QPoint expected = rig.form->pos() + rig.form->pageControl()->mapTo(rig.form.get(), QPoint(0, 0)) +
                            edit->mapTo(rig.form->pages().TabSheetUserPgm, QPoint(0, 0)) + QPoint(0, 80);

    struct Row {
        const char* what;
        int instruction;
        int param;
        const char* dialog;
        const char* initial;
        const char* keys;
        QString node;
    } rows[] = {
        {"integer", 0, 0, "TFormEditInt", "001", "12", "sloc= 012"},
        {"decimal", 0, 1, "TFormEditFloat", "0.00000", "-.5", "set1= -.5"},
        {"hex", 1, 0, "TFormEditHex", "0000", "ff", "mask= 00FF"},
        {"text", 2, 3, "TFormEditText", "", "ABC", "text= ABC" + QString(22, ' ')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        rig.selectParam(row.instruction, row.param);
        QString name, initial;
        QPoint pos;
        onNextDialog([&](QDialog& dialog) {
            name = dialog.objectName();
            pos = dialog.pos();
            auto* line = dialog.findChild<QLineEdit*>("Edit1");
            initial = line->text();
            QTest::keyClicks(line, QString::fromLatin1(row.keys));
            QTest::keyClick(line, Qt::Key_Return);
        });
        edit->click();
        EXPECT_EQ(name, row.dialog);
        EXPECT_EQ(initial, row.initial);
        EXPECT_EQ(pos, expected);
        EXPECT_EQ(rig.tree()->topLevelItem(row.instruction)->child(row.param)->text(0), row.node);
    }
    EXPECT_EQ(rig.form->program().store.textArea(2), "ABC");
    EXPECT_EQ(rig.form->program().store.shortValue(1, 0), 0xFF);

    // The choice dialog, opened by a double click with editing on.
    rig.selectParam(1, 1);
    QStringList items;
    int current = -2;
    onNextDialog([&](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "TFormEditType");
        auto* list = dialog.findChild<QComboBox*>("ComboBox1");
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        current = list->currentIndex();
        list->setCurrentIndex(1);
        dialog.findChild<QPushButton*>("Button1")->click();
    });
    emit rig.tree()->itemDoubleClicked(rig.tree()->currentItem(), 0);
    EXPECT_EQ(items, (QStringList{"OFF", "ON "}));
    EXPECT_EQ(current, 0);
    EXPECT_EQ(rig.tree()->topLevelItem(1)->child(1)->text(0), "state= ON ");
    EXPECT_EQ(rig.form->program().store.shortValue(1, 1), 1);
}

}  // namespace
}  // namespace vrn::test
