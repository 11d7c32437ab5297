#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "gui/program/edit_box_dialog.h"
#include "gui/program/edit_type_dialog.h"
#include "modal.h"
#include "recording_host.h"

namespace vrn::test {
namespace {

TEST(ParameterDialogs, KeyFiltersBeepAndEnterAccepts) {
    RecordingHost host;
    gui::TFormEditInt editInt(host, nullptr);
    gui::TFormEditFloat editFloat(host, nullptr);
    gui::TFormEditHex editHex(host, nullptr);
    gui::TFormEditText editText(host, nullptr);
    struct Row {
        const char* what;
        gui::EditBoxDialog& dialog;
        const char* caption;
        const char* initial;
        int maxLength;
        QString keys;
        size_t refused;
        QString result;
    } rows[] = {
        {"integer", editInt, "Edit Integer Number", "001", 3, "a1-2.", 3, "12"},
        {"integer, width", editInt, "Edit Integer Number", "", 3, "12345", 0, "123"},
        {"decimal", editFloat, "Edit Decimal Number", "0.00000", 7, "-x.5e+", 3, "-.5"},
        {"hex", editHex, "Edit Hex Number", "0000", 4, "fgF0z9", 2, "fF09"},
        {"text", editText, "Edit Text", "25~C", 25, "x\xC2\xB0 \\!", 0, "x\xC2\xB0 \\!"},
        {"text, header", editText, "Edit Text", "WIMWV", 5, "GPGGAX", 0, "GPGGA"},
    };
    for (Row& row : rows) {
        SCOPED_TRACE(row.what);
        const size_t beepsBefore = host.beepTimesUs.size();
        QString selected;
        whenShown(row.dialog, [&] {
            QLineEdit* line = row.dialog.findChild<QLineEdit*>("Edit1");
            selected = line->selectedText();
            QTest::keyClicks(line, row.keys);
            QTest::keyClick(line, Qt::Key_Return);
        });
        const std::optional<std::string> input = row.dialog.run({row.initial, row.maxLength});
        EXPECT_EQ(row.dialog.windowTitle(), row.caption);
        EXPECT_EQ(selected, row.initial);
        EXPECT_EQ(row.dialog.edit()->maxLength(), row.maxLength);
        EXPECT_EQ(host.beepTimesUs.size() - beepsBefore, row.refused);
        ASSERT_TRUE(input.has_value());
        EXPECT_EQ(QString::fromStdString(*input), row.result);
    }
    EXPECT_EQ(editText.edit()->toolTip(), "Use '\\\" character to denote end of string.");
}

TEST(ParameterDialogs, EscCancelsAndTabReachesTheButtonsWithoutABeep) {
    RecordingHost host;
    gui::TFormEditInt editInt(host, nullptr);
    gui::TFormEditFloat editFloat(host, nullptr);
    gui::TFormEditHex editHex(host, nullptr);
    for (gui::EditBoxDialog* dialog :
         {static_cast<gui::EditBoxDialog*>(&editInt), static_cast<gui::EditBoxDialog*>(&editFloat),
          static_cast<gui::EditBoxDialog*>(&editHex)}) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        whenShown(*dialog, [dialog] {
            QTest::keyClicks(dialog->edit(), "1");
            QTest::keyClick(dialog->edit(), Qt::Key_Escape);
        });
        EXPECT_EQ(dialog->run({"0", 7}), std::nullopt);

        // Tab moves on to Ok; Space there presses it.
        QWidget* focusAfterTab = nullptr;
        whenShown(*dialog, [dialog, &focusAfterTab] {
            QTest::keyClicks(dialog->edit(), "2");
            QTest::keyClick(dialog->edit(), Qt::Key_Tab);
            focusAfterTab = QApplication::focusWidget();
            if (focusAfterTab != dialog->edit()) QTest::keyClick(focusAfterTab, Qt::Key_Space);
            if (dialog->isVisible()) dialog->reject();
        });
        EXPECT_EQ(dialog->run({"", 7}), "2");
        EXPECT_EQ(focusAfterTab, dialog->findChild<QPushButton*>("Button1"));
    }
    EXPECT_TRUE(host.beepTimesUs.empty());
}

TEST(ParameterDialogs, ButtonsEndWithOkAndCancel) {
    RecordingHost host;
    gui::TFormEditFloat dialog(host, nullptr);
    EXPECT_EQ(dialog.findChild<QPushButton*>("Button1")->text(), "&Ok");
    EXPECT_EQ(dialog.findChild<QPushButton*>("Button2")->text(), "&Cancel");
    whenShown(dialog, [&] {
        QTest::keyClicks(dialog.edit(), "7");
        dialog.findChild<QPushButton*>("Button2")->click();
    });
    EXPECT_EQ(dialog.run({"1.5", 7}), std::nullopt);
    whenShown(dialog, [&] {
        QTest::keyClicks(dialog.edit(), "7");
        dialog.findChild<QPushButton*>("Button1")->click();
    });
    EXPECT_EQ(dialog.run({"1.5", 7}), "7");
}

TEST(ParameterDialogs, ChoiceListShowsTheTextsAndTheCurrentOne) {
    gui::TFormEditType dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Edit Parameter Type");
    QStringList items;
    int current = -2;
    whenShown(dialog, [&] {
        for (int i = 0; i < dialog.list()->count(); ++i)
            items << dialog.list()->itemText(i);
        current = dialog.list()->currentIndex();
        QTest::keyClick(dialog.list(), Qt::Key_Down);
        QTest::keyClick(dialog.list(), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.run({"CR  ", "LF  ", "NONE", "CRLF"}, 1), 2);
    EXPECT_EQ(items, (QStringList{"CR  ", "LF  ", "NONE", "CRLF"}));
    EXPECT_EQ(current, 1);

    // A value that names no text shows no selection; Cancel gives nothing back.
    whenShown(dialog, [&] {
        current = dialog.list()->currentIndex();
        dialog.findChild<QPushButton*>("Button2")->click();
    });
    EXPECT_EQ(dialog.run({"OFF", "ON "}, -1), std::nullopt);
    EXPECT_EQ(current, -1);
    EXPECT_EQ(dialog.list()->count(), 2);
}

// Puts text into the edit box as the user would without typing it: pasted with Ctrl+V, or put
// in at the cursor the way a drop and the selection's middle click put it.
void pasteOrDrop(QLineEdit& line, const QString& text, bool drop) {
    if (drop) {
        line.insert(text);
        return;
    }
    QApplication::clipboard()->setText(text);
    QTest::keyClick(&line, Qt::Key_V, Qt::ControlModifier);
}

TEST(ParameterDialogs, PastedAndDroppedTextFollowsTheKeyFilter) {
    RecordingHost host;
    gui::TFormEditInt editInt(host, nullptr);
    gui::TFormEditFloat editFloat(host, nullptr);
    gui::TFormEditHex editHex(host, nullptr);
    gui::TFormEditText editText(host, nullptr);
    struct Row {
        const char* what;
        gui::EditBoxDialog& dialog;
        bool drop;
        const char* initial;
        int maxLength;
        QString given;
        bool refused;
        QString result;
    } rows[] = {
        {"integer, pasted sign", editInt, false, "", 3, "-5", true, ""},
        {"integer, pasted digits", editInt, false, "", 3, "42", false, "42"},
        {"integer, dropped sign", editInt, true, "", 3, "-5", true, ""},
        {"integer, beside a kept stored sign", editInt, false, "-", 3, "7", false, "-7"},
        {"decimal, pasted exponent", editFloat, false, "", 7, "1e5", true, ""},
        {"decimal, pasted number", editFloat, false, "", 7, "-.25", false, "-.25"},
        {"hex, pasted prefix", editHex, false, "", 4, "0x1F", true, ""},
        {"hex, dropped digits", editHex, true, "", 4, "beef", false, "beef"},
        {"text, pasted degrees", editText, false, "", 25, "25\u00B0C", false, "25\u00B0C"},
        {"text, pasted tab", editText, false, "", 25, "a\tb", true, ""},
    };
    for (Row& row : rows) {
        SCOPED_TRACE(row.what);
        const size_t beepsBefore = host.beepTimesUs.size();
        whenShown(row.dialog, [&] {
            QLineEdit* line = row.dialog.findChild<QLineEdit*>("Edit1");
            line->end(false);
            pasteOrDrop(*line, row.given, row.drop);
            QTest::keyClick(line, Qt::Key_Return);
        });
        const std::optional<std::string> input = row.dialog.run({row.initial, row.maxLength});
        ASSERT_TRUE(input.has_value());
        EXPECT_EQ(QString::fromStdString(*input), row.result);
        EXPECT_EQ(host.beepTimesUs.size() - beepsBefore, row.refused ? 1u : 0u);
    }
}

}  // namespace
}  // namespace vrn::test
