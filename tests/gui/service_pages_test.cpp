#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "gui/app/qt_host.h"
#include "gui/service/calibration_page.h"
#include "gui/service/form_calibrate.h"
#include "gui/service/service_section.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

const char* const kGuarded[] = {"ButtonSetSEZero",   "ButtonSetSEFullScale",   "ButtonSeChk",
                                "ButtonSetDIFFZero", "ButtonSetDIFFFullScale", "ButtonDiffChk",
                                "ButtonWDZero",      "ButtonWDFullScale",      "ButtonWdChk",
                                "ButtonSetVout",     "ButtonVoutZeroChk",      "ButtonVoutFsChk",
                                "ButtonSetIout",     "ButtonIoutZeroChk",      "ButtonIoutFsChk"};

struct ServiceRig : GuiRig {
    ServiceRig() {
        start();
        form->show();
    }
    int enabledGuarded() {
        int n = 0;
        for (const char* name : kGuarded)
            n += find<QPushButton>(name)->isEnabled() ? 1 : 0;
        return n;
    }
};

TEST(ServicePages, CalibrationPageAtStart) {
    ServiceRig rig;
    struct Row {
        const char* name;
        const char* caption;
    };
    const Row captions[] = {
        {"ButtonSetSEFullScale", " SE Full Scale"}, {"ButtonWDFullScale", "WD Exc"},
        {"ButtonSetIout", "20mA Calibrate"},        {"ButtonVoutFsChk", "Vout FS Check"},
        {"ButtonGetCalData", "Get Cal Data"},       {"ButtonStopCal", "Stop Calibration"}};
    for (const Row& r : captions)
        EXPECT_EQ(rig.find<QPushButton>(r.name)->text(), QString::fromLatin1(r.caption)) << r.name;
    EXPECT_EQ(rig.enabledGuarded(), 0);
    EXPECT_TRUE(rig.find<QPushButton>("ButtonGetCalData")->isEnabled());
    EXPECT_TRUE(rig.find<QPushButton>("ButtonStopCal")->isEnabled());
    EXPECT_TRUE(rig.find<QCheckBox>("CheckBoxCalConfirm")->isChecked());
    EXPECT_EQ(rig.find<QLineEdit>("MaskEditVRef")->text(), QStringLiteral("5000.00"));
    EXPECT_TRUE(rig.find<QPlainTextEdit>("Memo2")->toPlainText().startsWith(QStringLiteral("Set FS mV \n")));
}

TEST(ServicePages, PasswordEnablesTheButtonsForTheRun) {
    struct Row {
        const char* name;
        const char* typed;
        bool enter;  // Enter in the box instead of a click on Ok
        bool accepted;
    };
    const Row rows[] = {
        {"right, with Enter", "kvt41938", true, true},
        {"right, with Ok", "kvt41938", false, true},
        {"upper-case letter", "kvT41938", false, false},
        {"trailing blank", "kvt41938 ", true, false},
    };
    for (const Row& r : rows) {
        ServiceRig rig;
        rig.form->pageControl()->setCurrentWidget(rig.form->pages().TabSheetTests);
        gui::TFormCalibrate& dialog = rig.form->serviceSection().formCalibrate();
        dialog.show();
        auto* password = dialog.findChild<QLineEdit*>(QStringLiteral("EditPassword"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("ButtonOk"));
        auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("ButtonCancel"));
        ASSERT_TRUE(password && ok && cancel);
        QTest::keyClicks(password, QString::fromLatin1(r.typed));
        QString boxText;
        if (!r.accepted) onNextBox([&](QMessageBox& b) { boxText = b.text(); }, QMessageBox::Ok);
        if (r.enter)
            QTest::keyClick(password, Qt::Key_Return);
        else
            ok->click();
        EXPECT_EQ(dialog.isVisible(), !r.accepted) << r.name;
        EXPECT_EQ(rig.enabledGuarded(), r.accepted ? 15 : 0) << r.name;
        EXPECT_EQ(boxText, r.accepted ? QString() : QStringLiteral("Incorrect Password")) << r.name;
        EXPECT_EQ(password->text(), QString::fromLatin1(r.typed)) << r.name;
        EXPECT_EQ(rig.form->pageControl()->currentWidget() == rig.form->pages().TabSheetCalib, r.accepted)
            << r.name;
        if (!r.accepted) continue;
        // A wrong password later takes nothing back.
        dialog.show();
        password->setText(QStringLiteral("nope"));
        onNextBox(nullptr, QMessageBox::Ok);
        ok->click();
        cancel->click();
        EXPECT_EQ(rig.enabledGuarded(), 15) << r.name;
    }
}

TEST(ServicePages, InputKindSetsTheChannelBox) {
    struct Row {
        const char* name;
        int before;  // kind chosen first, then channel 12 typed where it fits
        int kind;
        int value, maximum, step;
        std::vector<int> stepping;  // values the up arrow gives from the value
    };
    const Row rows[] = {
        {"DIFF steps by two", 0, 1, 1, 15, 2, {3, 5, 7}},
        {"Switch/TTL keeps SE's 12", 0, 4, 12, 16, 1, {13, 14}},
        {"WD", 0, 2, 1, 4, 1, {2, 3, 4, 4}},
    };
    for (const Row& r : rows) {
        ServiceRig rig;
        auto* combo = rig.find<QComboBox>("ComboBoxTestInput");
        auto* chan = rig.find<QSpinBox>("CSpinEditTestInChan");
        auto* result = rig.find<QLineEdit>("EditTestInputResult");
        combo->setCurrentIndex(r.before);
        chan->setValue(12);
        result->setText(QStringLiteral("old"));
        combo->setCurrentIndex(r.kind);
        EXPECT_EQ(result->text(), QStringLiteral(" ")) << r.name;
        EXPECT_EQ(chan->value(), r.value) << r.name;
        EXPECT_EQ(chan->maximum(), r.maximum) << r.name;
        EXPECT_EQ(chan->singleStep(), r.step) << r.name;
        for (int expected : r.stepping) {
            chan->stepUp();
            EXPECT_EQ(chan->value(), expected) << r.name;
        }
    }
}

TEST(ServicePages, TestsPageButtonsReachTheInstrument) {
    ServiceRig rig;
    rig.find<QSpinBox>("CSpinEditTestInChan")->setValue(3);
    rig.find<QPushButton>("ButtonTestInput")->click();
    EXPECT_EQ(rig.find<QLineEdit>("EditTestInputResult")->text(), QStringLiteral("37.750"));
    rig.find<QPushButton>("ButtonTestRam")->click();
    EXPECT_EQ(rig.find<QLineEdit>("EditTestResult")->text(), QStringLiteral("RAM OK"));
    auto* pd4 = rig.find<QCheckBox>("CheckBoxPD4");
    pd4->click();
    pd4->click();
    rig.find<QPushButton>("ButtonAnOutReset")->click();
    const std::vector<std::string> expected{"CMD922 03",  "CMD910",     "CMD850 4",   "CMD850 -4",
                                            "CMD945 1 0", "CMD945 2 0", "CMD945 3 0", "CMD945 4 0"};
    EXPECT_EQ(rig.device.instrument.commandLog, expected);
}

}  // namespace
}  // namespace vrn::test
