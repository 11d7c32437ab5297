#pragma once

#include <QWidget>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vrn {
class Exchange;
}

namespace vrn::gui {

// The Calibration page: the eight calibration steps and seven checks, disabled until the
// calibration password is given, Get Cal Data and Stop Calibration.
class CalibrationPage : public QWidget {
    Q_OBJECT
public:
    CalibrationPage(Exchange& exchange, QWidget* parent);

    // Enables the fifteen step and check buttons for the rest of the run.
    void enableCalibration();
    bool calibrationEnabled() const { return enabled_; }

private:
    QCheckBox* CheckBoxCalConfirm = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* MaskEditVRef = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QPushButton* ButtonGetCalData = nullptr;
    QPushButton* ButtonStopCal = nullptr;
    // The step and check buttons, in the order of the page's groups.
    std::vector<QPushButton*> guardedButtons;

    Exchange& ex_;
    bool enabled_ = false;
};

}  // namespace vrn::gui
