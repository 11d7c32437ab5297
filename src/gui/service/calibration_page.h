#pragma once

#include <QWidget>
#include <vector>

#include "core/service/calibration.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
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
    // Stop Calibration, which stays usable while a step runs.
    QWidget* stopButton() const;

private:
    QLayout* buildReference();
    void addInputGroups(QGridLayout* grid);
    void addOutputGroups(QGridLayout* grid);
    void addDataAndStop(QGridLayout* grid);
    void addStepButton(QGroupBox* box, service::CalStep step, const char* caption);
    void addCheckButton(QGroupBox* box, service::CalCheck check, const char* caption);

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
