#include "gui/service/form_calibrate.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/link/host.h"
#include "core/service/calibration.h"

namespace vrn::gui {

TFormCalibrate::TFormCalibrate(Host& host, QWidget* parent) : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("TFormCalibrate"));
    setWindowTitle(QStringLiteral("Calibration Enable"));
    setFixedSize(220, 110);

    auto* label = new QLabel(QStringLiteral("Password"), this);
    label->setGeometry(16, 12, 188, 16);
    EditPassword = new QLineEdit(this);
    EditPassword->setObjectName(QStringLiteral("EditPassword"));
    EditPassword->setGeometry(16, 30, 188, 24);
    EditPassword->setEchoMode(QLineEdit::Password);
    // Every typed character shows as "*", whatever the style's own bullet is.
    EditPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));

    ButtonOk = new QPushButton(QStringLiteral("&Ok"), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setGeometry(28, 70, 75, 25);
    ButtonCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setGeometry(117, 70, 75, 25);
    // Enter belongs to the password box alone, which takes it as Ok.
    for (QPushButton* b : {ButtonOk, ButtonCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(EditPassword, &QLineEdit::returnPressed, this, &TFormCalibrate::ButtonOkClick);
    connect(ButtonOk, &QPushButton::clicked, this, &TFormCalibrate::ButtonOkClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormCalibrate::ButtonOkClick() {
    if (!service::calibrationPasswordMatches(EditPassword->text().toStdString())) {
        warn(host_, service::kIncorrectPasswordText);
        return;
    }
    emit passwordAccepted();
    accept();
}

}  // namespace vrn::gui
