#include "gui/service/calibration_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <tuple>

#include "core/link/exchange.h"
#include "core/service/calibration.h"

namespace vrn::gui {
namespace {

constexpr int kGroupWidth = 134;
constexpr int kGroupHeight = 112;

QPushButton* button(QWidget* parent, const char* name, const char* caption, int top) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(10, top, kGroupWidth - 20, 25);
    return b;
}

QGroupBox* group(QWidget* parent, const char* caption, int column, int row) {
    auto* box = new QGroupBox(QString::fromLatin1(caption), parent);
    box->setGeometry(100 + column * (kGroupWidth + 8), 6 + row * (kGroupHeight + 8), kGroupWidth,
                     kGroupHeight);
    return box;
}

}  // namespace

CalibrationPage::CalibrationPage(Exchange& exchange, QWidget* parent) : QWidget(parent), ex_(exchange) {
    setObjectName(QStringLiteral("CalibrationPage"));

    CheckBoxCalConfirm = new QCheckBox(QStringLiteral("Confirm"), this);
    CheckBoxCalConfirm->setObjectName(QStringLiteral("CheckBoxCalConfirm"));
    CheckBoxCalConfirm->setGeometry(8, 8, 90, 20);
    CheckBoxCalConfirm->setChecked(true);
    Label1 = new QLabel(QStringLiteral("FS mV Ref"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 34, 90, 16);
    MaskEditVRef = new QLineEdit(this);
    MaskEditVRef->setObjectName(QStringLiteral("MaskEditVRef"));
    MaskEditVRef->setGeometry(8, 52, 80, 22);
    MaskEditVRef->setInputMask(QStringLiteral("9999.99"));
    MaskEditVRef->setText(QStringLiteral("5000.00"));
    Memo2 = new QPlainTextEdit(this);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setGeometry(8, 84, 88, 230);
    Memo2->setReadOnly(true);
    Memo2->setFrameShape(QFrame::NoFrame);
    Memo2->setPlainText(
        QStringLiteral("Set FS mV \nRef to actual \nreference \nvoltage \nvalue.\n\nERASE User \nProgram "
                       "\nbefore \nstarting \n"
                       "Calibration."));

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
        QGroupBox* box = group(this, g.caption, g.column, g.row);
        for (auto [step, caption, top] :
             {std::tuple{g.zero, g.zeroCaption, 20}, std::tuple{g.fullScale, g.fullCaption, 50}}) {
            QPushButton* b = button(box, service::calStepInfo(step).button, caption, top);
            connect(b, &QPushButton::clicked, this, [this, s = step] {
                service::runCalibrationStep(ex_, s, CheckBoxCalConfirm->isChecked(),
                                            MaskEditVRef->text().toStdString());
            });
            guardedButtons.push_back(b);
        }
        QPushButton* c = button(box, service::calCheckInfo(g.check).button, g.checkCaption, 80);
        connect(c, &QPushButton::clicked, this,
                [this, check = g.check] { service::runCalibrationCheck(ex_, check); });
        guardedButtons.push_back(c);
    }
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
        QGroupBox* box = group(this, o.caption, o.column, 1);
        QPushButton* b = button(box, service::calStepInfo(o.step).button, o.stepCaption, 20);
        connect(b, &QPushButton::clicked, this, [this, s = o.step] {
            service::runCalibrationStep(ex_, s, CheckBoxCalConfirm->isChecked(),
                                        MaskEditVRef->text().toStdString());
        });
        guardedButtons.push_back(b);
        for (auto [check, caption, top] :
             {std::tuple{o.zero, o.zeroCaption, 50}, std::tuple{o.fullScale, o.fullCaption, 80}}) {
            QPushButton* c = button(box, service::calCheckInfo(check).button, caption, top);
            connect(c, &QPushButton::clicked, this,
                    [this, k = check] { service::runCalibrationCheck(ex_, k); });
            guardedButtons.push_back(c);
        }
    }
    for (QPushButton* b : guardedButtons)
        b->setEnabled(false);

    QGroupBox* data = group(this, "Calibration Data", 2, 1);
    data->setFixedHeight(56);
    ButtonGetCalData = button(data, "ButtonGetCalData", "Get Cal Data", 20);
    connect(ButtonGetCalData, &QPushButton::clicked, this, [this] { service::getCalData(ex_); });

    ButtonStopCal = new QPushButton(QStringLiteral("Stop Calibration"), this);
    ButtonStopCal->setObjectName(QStringLiteral("ButtonStopCal"));
    ButtonStopCal->setGeometry(100 + 2 * (kGroupWidth + 8), 6 + kGroupHeight + 8 + 66, kGroupWidth, 46);
    connect(ButtonStopCal, &QPushButton::clicked, this, [this] { ex_.WaitAborted = true; });
}

void CalibrationPage::enableCalibration() {
    enabled_ = true;
    for (QPushButton* b : guardedButtons)
        b->setEnabled(true);
}

}  // namespace vrn::gui
