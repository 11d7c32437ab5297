#include "gui/service/calibration_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/link/exchange.h"
#include "core/service/calibration.h"

namespace vrn::gui {
namespace {

// The buttons are at least as wide as they have always been, wider when their font needs it.
constexpr int kButtonWidth = 114;

QPushButton* button(QGroupBox* box, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption), box);
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumWidth(kButtonWidth);
    box->layout()->addWidget(b);
    return b;
}

// A group of buttons in a column, in the grid of groups at its column and row.
QGroupBox* group(QGridLayout* grid, const char* caption, int column, int row) {
    auto* box = new QGroupBox(QString::fromLatin1(caption));
    auto* buttons = new QVBoxLayout(box);
    buttons->setContentsMargins(8, 4, 8, 6);
    buttons->setSpacing(5);
    grid->addWidget(box, row, column, Qt::AlignTop);
    return box;
}

}  // namespace

CalibrationPage::CalibrationPage(Exchange& exchange, QWidget* parent) : QWidget(parent), ex_(exchange) {
    setObjectName(QStringLiteral("CalibrationPage"));
    auto* grid = new QGridLayout;
    grid->setSpacing(8);
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(4, 6, 4, 6);
    page->setSpacing(4);
    page->addLayout(buildReference());
    page->addLayout(grid);
    page->addStretch();

    addInputGroups(grid);
    addOutputGroups(grid);
    for (QPushButton* b : guardedButtons)
        b->setEnabled(false);
    addDataAndStop(grid);
}

// Confirm, the reference voltage and the note beside the groups.
QLayout* CalibrationPage::buildReference() {
    CheckBoxCalConfirm = new QCheckBox(QStringLiteral("Confirm"), this);
    CheckBoxCalConfirm->setObjectName(QStringLiteral("CheckBoxCalConfirm"));
    CheckBoxCalConfirm->setChecked(true);
    Label1 = new QLabel(QStringLiteral("FS mV Ref"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    MaskEditVRef = new QLineEdit(this);
    MaskEditVRef->setObjectName(QStringLiteral("MaskEditVRef"));
    MaskEditVRef->setInputMask(QStringLiteral("9999.99"));
    MaskEditVRef->setText(QStringLiteral("5000.00"));
    Memo2 = new QPlainTextEdit(this);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setReadOnly(true);
    Memo2->setFrameShape(QFrame::NoFrame);
    Memo2->setPlainText(
        QStringLiteral("Set FS mV \nRef to actual \nreference \nvoltage \nvalue.\n\nERASE User \nProgram "
                       "\nbefore \nstarting \n"
                       "Calibration."));
    // The note's widest line whole, without a scroll bar.
    int noteWidth = 0;
    for (const QString& line : Memo2->toPlainText().split(u'\n'))
        noteWidth = std::max(noteWidth, Memo2->fontMetrics().horizontalAdvance(line));
    Memo2->setFixedWidth(noteWidth + 2 * static_cast<int>(Memo2->document()->documentMargin()) + 4);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MaskEditVRef->setFixedWidth(
        std::max(80, MaskEditVRef->fontMetrics().horizontalAdvance(QStringLiteral("0000.00")) + 12));

    auto* left = new QVBoxLayout;
    left->addWidget(CheckBoxCalConfirm);
    left->addSpacing(4);
    left->addWidget(Label1);
    left->addWidget(MaskEditVRef);
    left->addSpacing(6);
    left->addWidget(Memo2, 1);
    return left;
}

void CalibrationPage::addStepButton(QGroupBox* box, service::CalStep step, const char* caption) {
    QPushButton* b = button(box, service::calStepInfo(step).button, caption);
    connect(b, &QPushButton::clicked, this, [this, step] {
        service::runCalibrationStep(ex_, step, CheckBoxCalConfirm->isChecked(),
                                    MaskEditVRef->text().toStdString());
    });
    guardedButtons.push_back(b);
}

// A check's lines in the message area say how it ended.
void CalibrationPage::addCheckButton(QGroupBox* box, service::CalCheck check, const char* caption) {
    QPushButton* b = button(box, service::calCheckInfo(check).button, caption);
    connect(b, &QPushButton::clicked, this,
            [this, check] { (void)service::runCalibrationCheck(ex_, check); });
    guardedButtons.push_back(b);
}

void CalibrationPage::addInputGroups(QGridLayout* grid) {
    struct GroupSpec {
        const char* caption;
        int column, row;
        service::CalStep zero, fullScale;
        service::CalCheck check;
        const char* zeroCaption;
        const char* fullCaption;
        const char* checkCaption;
    };
    using service::CalCheck;
    using service::CalStep;
    const GroupSpec groups[] = {
        {"SE Voltage Input", 0, 0, CalStep::SeZero, CalStep::SeFullScale, CalCheck::Se, "SE Zero",
         " SE Full Scale", "SE Check"},
        {"DIFF Voltage Input", 1, 0, CalStep::DiffZero, CalStep::DiffFullScale, CalCheck::Diff, "DIFF Zero",
         "DIFF Full Scale", "DIFF Check"},
        {"WD Voltage Input", 2, 0, CalStep::WdZero, CalStep::WdFullScale, CalCheck::Wd, "WD Zero", "WD Exc",
         "WD Check"},
    };
    for (const GroupSpec& g : groups) {
        QGroupBox* box = group(grid, g.caption, g.column, g.row);
        addStepButton(box, g.zero, g.zeroCaption);
        addStepButton(box, g.fullScale, g.fullCaption);
        addCheckButton(box, g.check, g.checkCaption);
    }
}

void CalibrationPage::addOutputGroups(QGridLayout* grid) {
    using service::CalCheck;
    using service::CalStep;
    struct OutputSpec {
        const char* caption;
        int column;
        CalStep step;
        CalCheck zero, fullScale;
        const char* stepCaption;
        const char* zeroCaption;
        const char* fullCaption;
    };
    const OutputSpec outputs[] = {
        {"Voltage Output", 0, CalStep::Vout, CalCheck::VoutZero, CalCheck::VoutFs, "Vout Calibrate",
         "Vout Zero Check", "Vout FS Check"},
        {"Current Output", 1, CalStep::Iout, CalCheck::IoutZero, CalCheck::IoutFs, "20mA Calibrate",
         "Iout Zero Check", "Iout FS Check"},
    };
    for (const OutputSpec& o : outputs) {
        QGroupBox* box = group(grid, o.caption, o.column, 1);
        addStepButton(box, o.step, o.stepCaption);
        addCheckButton(box, o.zero, o.zeroCaption);
        addCheckButton(box, o.fullScale, o.fullCaption);
    }
}

void CalibrationPage::addDataAndStop(QGridLayout* grid) {
    auto* dataAndStop = new QVBoxLayout;
    auto* data = new QGroupBox(QStringLiteral("Calibration Data"));
    data->setLayout(new QVBoxLayout);
    data->layout()->setContentsMargins(8, 4, 8, 6);
    ButtonGetCalData = button(data, "ButtonGetCalData", "Get Cal Data");
    connect(ButtonGetCalData, &QPushButton::clicked, this, [this] { service::getCalData(ex_); });

    ButtonStopCal = new QPushButton(QStringLiteral("Stop Calibration"), this);
    ButtonStopCal->setObjectName(QStringLiteral("ButtonStopCal"));
    ButtonStopCal->setMinimumHeight(46);
    dataAndStop->addWidget(data);
    dataAndStop->addSpacing(4);
    dataAndStop->addWidget(ButtonStopCal);
    dataAndStop->addStretch();
    grid->addLayout(dataAndStop, 1, 2);
    connect(ButtonStopCal, &QPushButton::clicked, this, [this] { ex_.abortWaits(); });
}

QWidget* CalibrationPage::stopButton() const {
    return ButtonStopCal;
}

void CalibrationPage::enableCalibration() {
    enabled_ = true;
    for (QPushButton* b : guardedButtons)
        b->setEnabled(true);
}

}  // namespace vrn::gui
