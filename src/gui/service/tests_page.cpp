#include "gui/service/tests_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/link/exchange.h"
#include "core/service/diagnostics.h"
#include "gui/widgets/c_spin_edit.h"

namespace vrn::gui {
namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption, const QRect& at) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(at);
    return b;
}

QLabel* label(QWidget* parent, const char* caption, const QRect& at) {
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->setGeometry(at);
    return l;
}

QLineEdit* resultBox(QWidget* parent, const char* name, const QRect& at) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setGeometry(at);
    return e;
}

CSpinEdit* spin(QWidget* parent, const char* name, int max, const QRect& at) {
    auto* s = new CSpinEdit(1, max, 1, parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setGeometry(at);
    return s;
}

}  // namespace

TestsPage::TestsPage(Exchange& exchange, QWidget* parent) : QWidget(parent), ex_(exchange) {
    setObjectName(QStringLiteral("TestsPage"));
    buildInputs();
    buildOutputs();
    buildOther();
    buildPullDowns();
}

void TestsPage::buildInputs() {
    auto* box = new QGroupBox(QStringLiteral("Test Inputs"), this);
    box->setGeometry(6, 6, 258, 128);
    label(box, "Chan", {10, 20, 40, 16});
    CSpinEditTestInChan = spin(box, "CSpinEditTestInChan", 16, {10, 38, 50, 22});
    label(box, "Input", {70, 20, 60, 16});
    ComboBoxTestInput = new QComboBox(box);
    ComboBoxTestInput->setObjectName(QStringLiteral("ComboBoxTestInput"));
    ComboBoxTestInput->setGeometry(70, 38, 178, 22);
    for (const service::InputKind& k : service::inputKinds())
        ComboBoxTestInput->addItem(QString::fromLatin1(k.item));
    label(box, "Result", {10, 68, 60, 16});
    EditTestInputResult = resultBox(box, "EditTestInputResult", {10, 86, 150, 22});
    ButtonTestInput = button(box, "ButtonTestInput", "Test", {172, 84, 76, 25});

    connect(ComboBoxTestInput, &QComboBox::currentIndexChanged, this, &TestsPage::ComboBoxTestInputChange);
    connect(CSpinEditTestInChan, &QSpinBox::valueChanged, this,
            [this] { EditTestInputResult->setText(QStringLiteral(" ")); });
    connect(ButtonTestInput, &QPushButton::clicked, this, &TestsPage::ButtonTestInputClick);
}

void TestsPage::buildOutputs() {
    auto* box = new QGroupBox(QStringLiteral("Test Analog Outputs"), this);
    box->setGeometry(270, 6, 258, 160);
    label(box, "Chan", {10, 20, 40, 16});
    CSpinEditTestOutChan = spin(box, "CSpinEditTestOutChan", service::kOutputChannelCount, {10, 38, 50, 22});
    auto* levels = new QButtonGroup(box);
    const auto all = service::outputLevels();
    for (size_t i = 0; i < all.size(); ++i) {
        auto* r = new QRadioButton(QString::fromLatin1(all[i].caption), box);
        r->setObjectName(QString::fromLatin1(all[i].button));
        const int column = all[i].milliamperes ? 1 : 0;
        r->setGeometry(76 + column * 90, 18 + static_cast<int>(i % 4) * 22, 86, 20);
        levels->addButton(r);
        outputLevels[i] = r;
    }
    outputLevels[0]->setChecked(true);
    ButtonTestOutput = button(box, "ButtonTestOutput", "Test", {10, 124, 76, 25});
    ButtonAnOutReset = button(box, "ButtonAnOutReset", "Reset All", {96, 124, 76, 25});
    connect(ButtonTestOutput, &QPushButton::clicked, this, &TestsPage::ButtonTestOutputClick);
    connect(ButtonAnOutReset, &QPushButton::clicked, this, &TestsPage::ButtonAnOutResetClick);
}

void TestsPage::buildOther() {
    auto* box = new QGroupBox(QStringLiteral("Test Other Functions"), this);
    box->setGeometry(6, 140, 258, 180);
    EditTestResult = resultBox(box, "EditTestResult", {10, 22, 238, 22});
    ButtonTestRam = button(box, "ButtonTestRam", "RAM", {10, 52, 62, 25});
    ButtonTestPgm = button(box, "ButtonTestPgm", "Pgm Chksum", {76, 52, 84, 25});
    ButtonROMChksum = button(box, "ButtonROMChksum", "ROM Chksum", {164, 52, 84, 25});
    ButtonTestDisplay = button(box, "ButtonTestDisplay", "Display", {10, 84, 76, 25});
    label(box, "Switch", {10, 118, 50, 16});
    CSpinEditSwChan = spin(box, "CSpinEditSwChan", 4, {10, 138, 50, 22});
    auto* onOff = new QButtonGroup(box);
    RadioButtonSwON = new QRadioButton(QStringLiteral("On"), box);
    RadioButtonSwON->setObjectName(QStringLiteral("RadioButtonSwON"));
    RadioButtonSwON->setGeometry(70, 128, 60, 20);
    RadioButtonSwON->setChecked(true);
    RadioButtonSwOFF = new QRadioButton(QStringLiteral("Off"), box);
    RadioButtonSwOFF->setObjectName(QStringLiteral("RadioButtonSwOFF"));
    RadioButtonSwOFF->setGeometry(70, 150, 60, 20);
    onOff->addButton(RadioButtonSwON);
    onOff->addButton(RadioButtonSwOFF);
    ButtonSwitch = button(box, "ButtonSwitch", "Switch", {172, 136, 76, 25});

    connect(ButtonTestRam, &QPushButton::clicked, this,
            [this] { showResult(EditTestResult, service::testRam(ex_)); });
    connect(ButtonTestPgm, &QPushButton::clicked, this,
            [this] { showResult(EditTestResult, service::testPgm(ex_)); });
    connect(ButtonROMChksum, &QPushButton::clicked, this,
            [this] { showResult(EditTestResult, service::testRom(ex_)); });
    connect(ButtonTestDisplay, &QPushButton::clicked, this, [this] { service::testDisplay(ex_); });
    connect(ButtonSwitch, &QPushButton::clicked, this,
            [this] { service::testSwitch(ex_, CSpinEditSwChan->value(), RadioButtonSwON->isChecked()); });
}

void TestsPage::buildPullDowns() {
    auto* box = new QGroupBox(QStringLiteral("Pull Downs"), this);
    box->setGeometry(270, 172, 258, 74);
    for (int ch = 1; ch <= 4; ++ch) {
        auto* c = new QCheckBox(QStringLiteral("Chan %1").arg(ch), box);
        c->setObjectName(QStringLiteral("CheckBoxPD%1").arg(ch));
        c->setGeometry(10 + (ch - 1) % 2 * 120, 20 + (ch - 1) / 2 * 24, 110, 20);
        // A click sends the box's new state; the boxes are never read back from the instrument.
        connect(c, &QCheckBox::clicked, this,
                [this, ch](bool checked) { service::setPullDown(ex_, ch, checked); });
        pullDowns[static_cast<size_t>(ch - 1)] = c;
    }
}

void TestsPage::ComboBoxTestInputChange() {
    EditTestInputResult->setText(QStringLiteral(" "));
    const int index = ComboBoxTestInput->currentIndex();
    if (index < 0) return;
    service::ChannelBox box{CSpinEditTestInChan->value(), CSpinEditTestInChan->minimum(),
                            CSpinEditTestInChan->maximum(), CSpinEditTestInChan->singleStep()};
    service::selectInputKind(static_cast<size_t>(index), box);
    CSpinEditTestInChan->setMaximum(box.maximum);
    CSpinEditTestInChan->setSingleStep(box.step);
    CSpinEditTestInChan->setValue(box.value);
}

void TestsPage::ButtonTestInputClick() {
    const int index = ComboBoxTestInput->currentIndex();
    if (index < 0) return;
    showResult(EditTestInputResult,
               service::testInput(ex_, static_cast<size_t>(index), CSpinEditTestInChan->value()));
}

void TestsPage::ButtonTestOutputClick() {
    for (size_t i = 0; i < outputLevels.size(); ++i) {
        if (!outputLevels[i]->isChecked()) continue;
        service::testOutput(ex_, CSpinEditTestOutChan->value(), i);
        return;
    }
}

void TestsPage::ButtonAnOutResetClick() {
    outputLevels[0]->setChecked(true);
    service::resetAllOutputs(ex_);
    CSpinEditTestOutChan->setValue(1);
}

void TestsPage::showResult(QLineEdit* box, const std::optional<std::string>& result) {
    // The instrument's bytes are shown one character each.
    if (result) box->setText(QString::fromLatin1(result->data(), static_cast<qsizetype>(result->size())));
}

}  // namespace vrn::gui
