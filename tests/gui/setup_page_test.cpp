#include "gui/setup/setup_page.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "core/setup/setup_file.h"
#include "gui/app/qt_host.h"
#include "gui/setup/setup_section.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

struct SetupRig : GuiRig {
    SetupRig() {
        start();
        form->show();
    }
    QSpinBox* spin(const char* name) { return find<QSpinBox>(name); }
    QLineEdit* label(int field) {
        return find<QLineEdit>(qPrintable(QStringLiteral("EditLabel%1").arg(field, 2, 10, QLatin1Char('0'))));
    }
    QComboBox* type(int field) {
        return find<QComboBox>(
            qPrintable(QStringLiteral("ComboBoxType%1").arg(field, 2, 10, QLatin1Char('0'))));
    }
    QSpinBox* width(int field) {
        return spin(qPrintable(QStringLiteral("SpinEditWidth%1").arg(field, 2, 10, QLatin1Char('0'))));
    }
    QSpinBox* prec(int field) {
        return spin(qPrintable(QStringLiteral("SpinEditPrec%1").arg(field, 2, 10, QLatin1Char('0'))));
    }
    setup::SetupModel& model() { return form->setupSection().model(); }
    void showPage(const char* name) {
        form->pageControl()->setCurrentWidget(form->findChild<QWidget*>(QString::fromLatin1(name)));
    }
    void tick(int64_t ms) {
        clock.advanceUs(ms * 1000);
        form->host().pump();
    }
    int checkedIndex(const char* group) {
        const auto buttons = find<QGroupBox>(group)->findChildren<QRadioButton*>();
        for (int i = 0; i < buttons.size(); ++i)
            if (buttons[i]->isChecked()) return i;
        return -1;
    }
    std::vector<bool> rowsEnabled() {
        std::vector<bool> out;
        for (int f = 1; f <= 25; ++f) {
            const bool on = label(f)->isEnabled();
            EXPECT_EQ(type(f)->isEnabled(), on) << f;
            EXPECT_EQ(width(f)->isEnabled(), on) << f;
            EXPECT_EQ(prec(f)->isEnabled(), on) << f;
            out.push_back(on);
        }
        return out;
    }
};

std::vector<bool> firstRows(int n) {
    std::vector<bool> v(25, false);
    for (int i = 0; i < n; ++i)
        v[static_cast<size_t>(i)] = true;
    return v;
}

// Picks the given file in the next file dialog as soon as it is up.
void onNextFileDialog(const QString& path) {
    whenModal<QFileDialog>(QStringLiteral("file"), [path](QFileDialog& dialog) {
        dialog.selectFile(path);
        static_cast<QDialog&>(dialog).accept();
    });
}

TEST(SetupPage, ControlsStartWithTheirDefaults) {
    SetupRig rig;
    EXPECT_EQ(rig.checkedIndex("RadioGroupCom1Type"), 0);
    EXPECT_EQ(rig.checkedIndex("RadioGroupCom1Baud"), 3);
    EXPECT_EQ(rig.checkedIndex("RadioGroupCom2Baud"), 3);
    EXPECT_EQ(rig.find<QGroupBox>("RadioGroupCom1Baud")->findChildren<QRadioButton*>()[6]->text(), "115.2K");
    auto* stop = rig.find<QCheckBox>("CheckBoxStopOnErr");
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_EQ(stop->toolTip(), "Set Stop On Error with 41700 keypad only.");
    EXPECT_EQ(rig.spin("CSpinEditInterval")->value(), 1);
    EXPECT_EQ(rig.spin("CSpinEditNumOfFields")->value(), 1);
    EXPECT_EQ(rig.spin("CSpinEditScrollPause")->value(), 1);
    EXPECT_EQ(rig.spin("CSpinEditScrollEnd")->value(), 8);
    EXPECT_TRUE(rig.find<QCheckBox>("CheckBoxPCTime")->isChecked());
    EXPECT_FALSE(rig.find<QLineEdit>("MaskEditTime")->isEnabled());
    EXPECT_FALSE(rig.find<QLineEdit>("MaskEditDate")->isEnabled());
    EXPECT_EQ(rig.label(1)->text(), "FIELD 01");
    EXPECT_EQ(rig.label(25)->text(), "FIELD 25");
    EXPECT_EQ(rig.type(7)->currentText(), "Number");
    EXPECT_EQ(rig.width(7)->value(), 7);
    EXPECT_EQ(rig.prec(7)->value(), 1);
    // The grid's rows are 23 pixels apart inside the scroll box.
    EXPECT_EQ(rig.label(2)->y() - rig.label(1)->y(), 23);
    EXPECT_EQ(rig.label(1)->parentWidget(), rig.find<QScrollArea>("ScrollBoxFields")->widget());
}

// Every control says what its value means: a number box its unit and the range the box itself
// keeps to, so a tip cannot promise a value the box refuses. Captions stay as they are.
TEST(SetupPage, ControlsCarryTipsWithUnitsAndRanges) {
    SetupRig rig;
    const struct Row {
        const char* name;
        const char* says;  // part of the tip; empty for any
    } rows[] = {
        {"CSpinEditInterval", "Seconds between two runs of the user program"},
        {"CSpinEditNumOfFields", "logged record"},
        {"CSpinEditScrollPause", "Seconds each screen is shown"},
        {"CSpinEditScrollEnd", "last screen"},
        {"SpinEditWidth01", "Number field"},
        {"SpinEditPrec25", "decimal point"},
        {"RadioGroupCom1Type", "COM1"},
        {"RadioGroupCom1Baud", "bits per second"},
        {"RadioGroupCom2Baud", "COM2"},
        {"CheckBoxKeyLock", "keypad"},
        {"CheckBoxAutoScroll", "screens"},
        {"CheckBoxPCTime", "PC's date and time"},
        {"MaskEditTime", "HH:MM:SS"},
        {"MaskEditDate", "MM-DD-YYYY"},
        {"EditLabel07", "25 characters"},
        {"ComboBoxType12", "date"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto* control = rig.find<QWidget>(r.name);
        ASSERT_NE(control, nullptr);
        const QString tip = control->toolTip();
        EXPECT_TRUE(tip.contains(QString::fromLatin1(r.says))) << tip.toStdString();
        if (auto* spin = qobject_cast<QSpinBox*>(control)) {
            EXPECT_TRUE(
                tip.endsWith(QStringLiteral("from %1 to %2.").arg(spin->minimum()).arg(spin->maximum())))
                << tip.toStdString();
        }
    }
    EXPECT_EQ(rig.find<QCheckBox>("CheckBoxKeyLock")->text(), "Keypad Lock");
    EXPECT_EQ(rig.find<QCheckBox>("CheckBoxStopOnErr")->toolTip(),
              "Set Stop On Error with 41700 keypad only.");
}

TEST(SetupPage, FieldsPerRecordEnablesRowsOnEveryChange) {
    SetupRig rig;
    rig.showPage("TabSheetSetup");
    EXPECT_EQ(rig.rowsEnabled(), firstRows(1));
    rig.model().setLabel(24, "KEPT");
    EXPECT_EQ(rig.label(25)->text(), "KEPT");

    auto* spin = rig.spin("CSpinEditNumOfFields");
    spin->setValue(25);  // set by the program
    EXPECT_EQ(rig.rowsEnabled(), firstRows(25));
    QTest::keyClicks(rig.label(25), QStringLiteral("X"));
    EXPECT_EQ(rig.model().field(24).label, "KEPTX");

    spin->setValue(1);
    EXPECT_EQ(rig.rowsEnabled(), firstRows(1));
    EXPECT_EQ(rig.label(25)->text(), "KEPTX") << "disabled rows keep their contents";

    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, QStringLiteral("3"));  // typed
    EXPECT_EQ(rig.rowsEnabled(), firstRows(3));
    QTest::keyClick(spin, Qt::Key_Up);  // stepped
    EXPECT_EQ(rig.rowsEnabled(), firstRows(4));
    rig.model().setFieldsPerRecord(7);  // a transfer or a file
    EXPECT_EQ(spin->value(), 7);
    EXPECT_EQ(rig.rowsEnabled(), firstRows(7));
}

TEST(SetupPage, LabelsHoldAtMost25CharactersAndMayBeEmpty) {
    SetupRig rig;
    QLineEdit* edit = rig.label(1);
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    EXPECT_EQ(edit->text(), "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(rig.model().field(0).label, "ABCDEFGHIJKLMNOPQRSTUVWXY");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(rig.model().field(0).label, "");
}

TEST(SetupPage, SpinBoxesTakeDigitsOnlyAndKeepValuesInRange) {
    SetupRig rig;
    rig.showPage("TabSheetSetup");
    auto* interval = rig.spin("CSpinEditInterval");
    interval->setFocus();
    interval->selectAll();
    QTest::keyClicks(interval, QStringLiteral("+-a4 .2"));
    EXPECT_EQ(interval->text(), "42");
    EXPECT_EQ(rig.model().interval(), 42);
    QTest::keyClick(interval, Qt::Key_Backspace);
    EXPECT_EQ(interval->text(), "4");

    // Loaded values outside a row's spin ranges show as the nearest end.
    rig.model().setWidth(0, 0);
    rig.model().setPrecision(0, 7);
    EXPECT_EQ(rig.width(1)->value(), 1);
    EXPECT_EQ(rig.prec(1)->value(), 6);
    rig.spin("CSpinEditScrollEnd")->setValue(0);
    EXPECT_EQ(rig.model().scrollEnd(), 1);

    // A value typed out of range is corrected when the box loses the focus.
    auto* pause = rig.spin("CSpinEditScrollPause");
    pause->setFocus();
    pause->selectAll();
    QTest::keyClick(pause, Qt::Key_Backspace);
    rig.tick(500);  // the PC clock's refresh leaves the text being typed alone
    EXPECT_EQ(pause->text(), "");
    rig.spin("CSpinEditScrollEnd")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(pause->value(), 1);
}

TEST(SetupPage, PcTimeRunsWhileThePageIsShownAndFreezesWhenUnchecked) {
    SetupRig rig;
    auto* time = rig.find<QLineEdit>("MaskEditTime");
    auto* date = rig.find<QLineEdit>("MaskEditDate");
    rig.showPage("TabSheetScreen");
    rig.tick(600);
    EXPECT_EQ(time->displayText(), "__:__:__") << "not on another page";

    rig.showPage("TabSheetSetup");
    rig.tick(500);
    EXPECT_EQ(date->text(), "01-01-2026");
    EXPECT_EQ(time->text(), "00:00:01");
    rig.tick(2000);
    EXPECT_EQ(time->text(), "00:00:03");

    QTest::mouseClick(rig.find<QCheckBox>("CheckBoxPCTime"), Qt::LeftButton);
    EXPECT_FALSE(rig.model().usePcTime());
    EXPECT_TRUE(time->isEnabled());
    EXPECT_TRUE(date->isEnabled());
    rig.tick(3000);
    EXPECT_EQ(time->text(), "00:00:03") << "the last time shown stays";

    time->setFocus();
    time->selectAll();
    QTest::keyClicks(time, QStringLiteral("123456"));
    EXPECT_EQ(rig.model().time(), "12:34:56");
}

TEST(SetupPage, GetSetupFromTheMenuFillsThePage) {
    SetupRig rig;
    sim::SimSetup& d = rig.device.instrument.state.setup;
    d.com1Code = -115;
    d.com2Code = 19;
    d.stopOnError = 1;
    d.fieldsPerRecord = 3;
    d.scrollEnd = 0;
    d.fields[1] = {"RAIN", 1, 0, 7};
    rig.form->menu().RxSetup->trigger();
    EXPECT_EQ(rig.form->pageControl()->currentWidget()->objectName(), "TabSheetSetup");
    EXPECT_EQ(rig.checkedIndex("RadioGroupCom1Type"), 1);
    EXPECT_EQ(rig.checkedIndex("RadioGroupCom1Baud"), 6);
    EXPECT_EQ(rig.checkedIndex("RadioGroupCom2Baud"), 4);
    EXPECT_TRUE(rig.find<QCheckBox>("CheckBoxStopOnErr")->isChecked());
    EXPECT_EQ(rig.spin("CSpinEditScrollEnd")->value(), 1);
    EXPECT_EQ(rig.rowsEnabled(), firstRows(3));
    EXPECT_EQ(rig.label(2)->text(), "RAIN");
    EXPECT_EQ(rig.type(2)->currentText(), "Date");
    EXPECT_EQ(rig.width(2)->value(), 1);
    EXPECT_EQ(rig.prec(2)->value(), 6);
    const QString memo = rig.find<QPlainTextEdit>("Memo1")->toPlainText();
    EXPECT_TRUE(memo.endsWith(QStringLiteral("GET SETUP...\nFINISHED GETTING SETUP."))) << memo.toStdString();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(SetupPage, SendSetupFromTheMenuSendsThePcClockAndEveryValue) {
    SetupRig rig;
    rig.tick(61500);
    QTest::keyClick(rig.spin("CSpinEditNumOfFields"), Qt::Key_Up);
    rig.form->menu().TxSetup->trigger();
    const sim::SimSetup& d = rig.device.instrument.state.setup;
    EXPECT_EQ(d.month, 1);
    EXPECT_EQ(d.year, 26);
    EXPECT_EQ(d.minute, 1);
    EXPECT_EQ(d.fieldsPerRecord, 2);
    EXPECT_EQ(rig.device.instrument.blocksReceived, 25);
    EXPECT_EQ(rig.form->pageControl()->currentWidget()->objectName(), "TabSheetSetup");
    EXPECT_EQ(rig.find<QProgressBar>("ProgressBar")->value(), 0);
    const QString memo = rig.find<QPlainTextEdit>("Memo1")->toPlainText();
    EXPECT_TRUE(memo.endsWith(QStringLiteral("SEND SETTINGS...\nFINISHED SENDING SETTINGS.")))
        << memo.toStdString();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(SetupPage, SendSetupRefusesADateTheInstrumentCannotHold) {
    SetupRig rig;
    QTest::mouseClick(rig.find<QCheckBox>("CheckBoxPCTime"), Qt::LeftButton);
    QString text;
    onNextBox([&](QMessageBox& box) { text = box.text(); }, QMessageBox::Ok);
    rig.form->menu().TxSetup->trigger();
    EXPECT_EQ(text.toStdString(),
              "Cannot Send Setup.\nThe date box is empty.\nEnter a date from 01-01-2000 to 12-31-2099 as "
              "MM-DD-YYYY.");
    EXPECT_EQ(rig.device.instrument.commandLog.size(), 0u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(SetupPage, SaveAndOpenSetupFileThroughTheMenu) {
    SetupRig rig;
    rig.model().setInterval(64);
    rig.model().setLabel(4, "Wind \u00B0");
    const QString path = rig.dir.path() + QStringLiteral("/site");
    onNextFileDialog(path);
    rig.form->menu().SaveSetupFile->trigger();
    QFile saved(path + QStringLiteral(".set"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly)) << "the default extension is added";
    const QByteArray bytes = saved.readAll();
    EXPECT_EQ(bytes.size(), 990);
    EXPECT_EQ(static_cast<uint8_t>(bytes[32 + 38 * 4 + 5]), 0xB0);

    // A type index outside the list shows no selection, and saving again keeps it.
    QByteArray odd = bytes;
    odd[32 + 26] = 9;
    QFile oddFile(rig.dir.path() + QStringLiteral("/odd.set"));
    ASSERT_TRUE(oddFile.open(QIODevice::WriteOnly));
    oddFile.write(odd);
    oddFile.close();
    rig.model().setInterval(2);
    QString asked;
    onNextBox([&](QMessageBox& box) { asked = box.text(); }, QMessageBox::Discard);
    onNextFileDialog(oddFile.fileName());
    rig.form->menu().OpenSetupFile->trigger();
    EXPECT_EQ(asked, "Save changes to the Setup?") << "changed since it was saved";
    EXPECT_EQ(rig.spin("CSpinEditInterval")->value(), 64);
    EXPECT_EQ(rig.label(5)->text(), "Wind \u00B0");
    EXPECT_EQ(rig.type(1)->currentIndex(), -1);
    EXPECT_EQ(rig.model().field(0).type, 9);
}

}  // namespace
}  // namespace vrn::test
