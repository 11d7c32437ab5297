#pragma once

#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "core/link/outcome.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vrn {
class Exchange;
}

namespace vrn::gui {

class CSpinEdit;

// The Tests page: one input channel, one analog output level, the other hardware tests and the
// input pull-downs, each a command to the instrument and, where it answers, its result.
class TestsPage : public QWidget {
    Q_OBJECT
public:
    TestsPage(Exchange& exchange, QWidget* parent);

private:
    QGroupBox* buildInputs();
    QGroupBox* buildOutputs();
    QGroupBox* buildOther();
    QGroupBox* buildPullDowns();
    void ComboBoxTestInputChange();
    void ButtonTestInputClick();
    void ButtonTestOutputClick();
    void ButtonAnOutResetClick();
    // Shows a result; nothing when the test was refused.
    void showResult(QLineEdit* box, const Result<std::string>& result);

    CSpinEdit* CSpinEditTestInChan = nullptr;
    QComboBox* ComboBoxTestInput = nullptr;
    QLineEdit* EditTestInputResult = nullptr;
    QPushButton* ButtonTestInput = nullptr;
    CSpinEdit* CSpinEditTestOutChan = nullptr;
    std::array<QRadioButton*, 8> outputLevels{};  // RadioButton0mV ... RadioButton20mA
    QPushButton* ButtonTestOutput = nullptr;
    QPushButton* ButtonAnOutReset = nullptr;
    QLineEdit* EditTestResult = nullptr;
    QPushButton* ButtonTestRam = nullptr;
    QPushButton* ButtonTestPgm = nullptr;
    QPushButton* ButtonROMChksum = nullptr;
    QPushButton* ButtonTestDisplay = nullptr;
    CSpinEdit* CSpinEditSwChan = nullptr;
    QRadioButton* RadioButtonSwON = nullptr;
    QRadioButton* RadioButtonSwOFF = nullptr;
    QPushButton* ButtonSwitch = nullptr;
    std::array<QCheckBox*, 4> pullDowns{};  // CheckBoxPD1 ... CheckBoxPD4

    Exchange& ex_;
};

}  // namespace vrn::gui
