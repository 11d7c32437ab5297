#include "gui/service/tests_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/link/exchange.h"
#include "core/service/diagnostics.h"
#include "gui/widgets/c_spin_edit.h"

namespace vrn::gui {
namespace {

// The style asks a wide button of every caption; a narrow page takes one as wide as its caption
// and frame need.
QPushButton* button(const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption));
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumWidth(b->fontMetrics().size(Qt::TextShowMnemonic, b->text()).width() + 12);
    return b;
}

QLineEdit* resultBox(const char* name) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    return e;
}

CSpinEdit* spin(const char* name, int max) {
    auto* s = new CSpinEdit(1, max, 1);
    s->setObjectName(QString::fromLatin1(name));
    s->setMinimumWidth(50);
    s->setMaximumWidth(60);
    return s;
}

QLabel* label(const char* caption) {
    return new QLabel(QString::fromLatin1(caption));
}

// A group of controls on a grid, laid out in the group's font.
QGridLayout* groupGrid(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setVerticalSpacing(2);
    return grid;
}

}  // namespace

TestsPage::TestsPage(Exchange& exchange, QWidget* parent) : QWidget(parent), ex_(exchange) {
    setObjectName(QStringLiteral("TestsPage"));
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    left->addWidget(buildInputs());
    left->addWidget(buildOther());
    left->addStretch();
    right->addWidget(buildOutputs());
    right->addWidget(buildPullDowns());
    right->addStretch();
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(6, 6, 6, 6);
    page->addLayout(left);
    page->addLayout(right);
    page->addStretch();
}

QGroupBox* TestsPage::buildInputs() {
    auto* box = new QGroupBox(QStringLiteral("Test Inputs"), this);
    QGridLayout* grid = groupGrid(box);
    CSpinEditTestInChan = spin("CSpinEditTestInChan", 16);
    ComboBoxTestInput = new QComboBox;
    ComboBoxTestInput->setObjectName(QStringLiteral("ComboBoxTestInput"));
    for (const service::InputKind& k : service::inputKinds())
        ComboBoxTestInput->addItem(QString::fromLatin1(k.item));
    EditTestInputResult = resultBox("EditTestInputResult");
    ButtonTestInput = button("ButtonTestInput", "Test");
    grid->addWidget(label("Chan"), 0, 0);
    grid->addWidget(label("Input"), 0, 1);
    grid->addWidget(CSpinEditTestInChan, 1, 0);
    grid->addWidget(ComboBoxTestInput, 1, 1, 1, 2);
    grid->addWidget(label("Result"), 2, 0);
    grid->addWidget(EditTestInputResult, 3, 0, 1, 2);
    grid->addWidget(ButtonTestInput, 3, 2);

    connect(ComboBoxTestInput, &QComboBox::currentIndexChanged, this, &TestsPage::ComboBoxTestInputChange);
    connect(CSpinEditTestInChan, &QSpinBox::valueChanged, this,
            [this] { EditTestInputResult->setText(QStringLiteral(" ")); });
    connect(ButtonTestInput, &QPushButton::clicked, this, &TestsPage::ButtonTestInputClick);
    return box;
}

QGroupBox* TestsPage::buildOutputs() {
    auto* box = new QGroupBox(QStringLiteral("Test Analog Outputs"), this);
    QGridLayout* grid = groupGrid(box);
    CSpinEditTestOutChan = spin("CSpinEditTestOutChan", service::kOutputChannelCount);
    grid->addWidget(label("Chan"), 0, 0);
    grid->addWidget(CSpinEditTestOutChan, 1, 0, Qt::AlignTop);
    auto* levels = new QButtonGroup(box);
    const auto all = service::outputLevels();
    for (size_t i = 0; i < all.size(); ++i) {
        auto* r = new QRadioButton(QString::fromLatin1(all[i].caption), box);
        r->setObjectName(QString::fromLatin1(all[i].button));
        const int column = all[i].milliamperes ? 2 : 1;
        grid->addWidget(r, static_cast<int>(i % 4), column);
        levels->addButton(r);
        outputLevels[i] = r;
    }
    outputLevels[0]->setChecked(true);
    ButtonTestOutput = button("ButtonTestOutput", "Test");
    ButtonAnOutReset = button("ButtonAnOutReset", "Reset All");
    grid->addWidget(ButtonTestOutput, 4, 0);
    grid->addWidget(ButtonAnOutReset, 4, 1);
    connect(ButtonTestOutput, &QPushButton::clicked, this, &TestsPage::ButtonTestOutputClick);
    connect(ButtonAnOutReset, &QPushButton::clicked, this, &TestsPage::ButtonAnOutResetClick);
    return box;
}

QGroupBox* TestsPage::buildOther() {
    auto* box = new QGroupBox(QStringLiteral("Test Other Functions"), this);
    QGridLayout* grid = groupGrid(box);
    EditTestResult = resultBox("EditTestResult");
    ButtonTestRam = button("ButtonTestRam", "RAM");
    ButtonTestPgm = button("ButtonTestPgm", "Pgm Chksum");
    ButtonROMChksum = button("ButtonROMChksum", "ROM Chksum");
    ButtonTestDisplay = button("ButtonTestDisplay", "Display");
    CSpinEditSwChan = spin("CSpinEditSwChan", 4);
    auto* onOff = new QButtonGroup(box);
    RadioButtonSwON = new QRadioButton(QStringLiteral("On"));
    RadioButtonSwON->setObjectName(QStringLiteral("RadioButtonSwON"));
    RadioButtonSwON->setChecked(true);
    RadioButtonSwOFF = new QRadioButton(QStringLiteral("Off"));
    RadioButtonSwOFF->setObjectName(QStringLiteral("RadioButtonSwOFF"));
    onOff->addButton(RadioButtonSwON);
    onOff->addButton(RadioButtonSwOFF);
    ButtonSwitch = button("ButtonSwitch", "Switch");
    grid->addWidget(EditTestResult, 0, 0, 1, 3);
    grid->addWidget(ButtonTestRam, 1, 0);
    grid->addWidget(ButtonTestPgm, 1, 1);
    grid->addWidget(ButtonROMChksum, 1, 2);
    grid->addWidget(ButtonTestDisplay, 2, 0);
    grid->addWidget(label("Switch"), 3, 0);
    grid->addWidget(RadioButtonSwON, 3, 1);
    grid->addWidget(CSpinEditSwChan, 4, 0);
    grid->addWidget(RadioButtonSwOFF, 4, 1);
    grid->addWidget(ButtonSwitch, 4, 2);

    connect(ButtonTestRam, &QPushButton::clicked, this,
            [this] { showResult(EditTestResult, service::testRam(ex_)); });
    connect(ButtonTestPgm, &QPushButton::clicked, this,
            [this] { showResult(EditTestResult, service::testPgm(ex_)); });
    connect(ButtonROMChksum, &QPushButton::clicked, this,
            [this] { showResult(EditTestResult, service::testRom(ex_)); });
    connect(ButtonTestDisplay, &QPushButton::clicked, this, [this] { (void)service::testDisplay(ex_); });
    connect(ButtonSwitch, &QPushButton::clicked, this, [this] {
        (void)service::testSwitch(ex_, CSpinEditSwChan->value(), RadioButtonSwON->isChecked());
    });
    return box;
}

QGroupBox* TestsPage::buildPullDowns() {
    auto* box = new QGroupBox(QStringLiteral("Pull Downs"), this);
    QGridLayout* grid = groupGrid(box);
    for (int ch = 1; ch <= 4; ++ch) {
        auto* c = new QCheckBox(QStringLiteral("Chan %1").arg(ch), box);
        c->setObjectName(QStringLiteral("CheckBoxPD%1").arg(ch));
        grid->addWidget(c, (ch - 1) / 2, (ch - 1) % 2);
        // A click sends the box's new state; the boxes are never read back from the instrument.
        connect(c, &QCheckBox::clicked, this,
                [this, ch](bool checked) { service::setPullDown(ex_, ch, checked); });
        pullDowns[static_cast<size_t>(ch - 1)] = c;
    }
    return box;
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
        (void)service::testOutput(ex_, CSpinEditTestOutChan->value(), i);
        return;
    }
}

void TestsPage::ButtonAnOutResetClick() {
    outputLevels[0]->setChecked(true);
    service::resetAllOutputs(ex_);
    CSpinEditTestOutChan->setValue(1);
}

void TestsPage::showResult(QLineEdit* box, const Result<std::string>& result) {
    // The instrument's bytes are shown one character each.
    if (result.hasValue())
        box->setText(QString::fromLatin1(result->data(), static_cast<qsizetype>(result->size())));
}

}  // namespace vrn::gui
