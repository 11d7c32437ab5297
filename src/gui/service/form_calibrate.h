#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

namespace vrn {
class Host;
}

namespace vrn::gui {

// "Calibration Enable": asks the calibration password. The right one runs onAccepted and closes
// the dialog; a wrong one says so and leaves the dialog open with what was typed.
class TFormCalibrate : public QDialog {
    Q_OBJECT
public:
    TFormCalibrate(Host& host, QWidget* parent);

    std::function<void()> onAccepted;

private:
    void ButtonOkClick();

    QLineEdit* EditPassword = nullptr;
    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonCancel = nullptr;

    Host& host_;
};

}  // namespace vrn::gui
