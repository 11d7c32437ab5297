#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace vrn {
class Host;
}

namespace vrn::gui {

// "Calibration Enable": asks the calibration password. The right one is told by passwordAccepted
// before the dialog closes; a wrong one says so and leaves the dialog open with what was typed.
class TFormCalibrate : public QDialog {
    Q_OBJECT
public:
    TFormCalibrate(Host& host, QWidget* parent);

signals:
    void passwordAccepted();

private:
    void ButtonOkClick();

    QLineEdit* EditPassword = nullptr;
    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonCancel = nullptr;

    Host& host_;
};

}  // namespace vrn::gui
