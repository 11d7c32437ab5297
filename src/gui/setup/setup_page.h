#pragma once

#include <QWidget>
#include <array>

#include "core/setup/setup_model.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QScrollArea;

namespace vrn {
class Clock;
}

namespace vrn::gui {

class CSpinEdit;

// The Setup page: shows the Setup model in the controls named as the window has always named
// them, and writes every edit back. The model stays the one truth: whatever changes it (a
// transfer, a file, an edit) is shown at once, and fields per record enables the grid rows.
class SetupPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowPitch = 23;
    static constexpr const char* kStopOnErrHint = "Set Stop On Error with 41700 keypad only.";

    SetupPage(setup::SetupModel& model, Clock& clock, QWidget* parent = nullptr);
    ~SetupPage() override;

    // Timer1's tick while the page is shown: while "Use PC System Time" is checked, the date and
    // time boxes follow the PC's clock.
    void timerTick();

    // The four controls of each grid row, by field index.
    const std::array<QLineEdit*, setup::kFieldCount>& labels() const { return labels_; }
    const std::array<QComboBox*, setup::kFieldCount>& types() const { return types_; }
    const std::array<CSpinEdit*, setup::kFieldCount>& widths() const { return widths_; }
    const std::array<CSpinEdit*, setup::kFieldCount>& precisions() const { return precisions_; }

signals:
    // The model changed (by an edit, a transfer or a file) and the page shows it.
    void modelChanged();

private:
    // The left column (ports, options, scrolling, time) and the record field grid, laid out in
    // the font the page is given.
    QLayout* buildControls();
    QLayout* buildGrid();
    void connectEdits();
    void showModel();
    void giveTips();

    setup::SetupModel& model_;
    Clock& clock_;
    bool showing_ = false;

    QGroupBox* RadioGroupCom1Type = nullptr;
    QGroupBox* RadioGroupCom1Baud = nullptr;
    QGroupBox* RadioGroupCom2Baud = nullptr;
    QButtonGroup* com1Type_ = nullptr;
    QButtonGroup* com1Baud_ = nullptr;
    QButtonGroup* com2Baud_ = nullptr;
    QCheckBox* CheckBoxStopOnErr = nullptr;
    QCheckBox* CheckBoxKeyLock = nullptr;
    CSpinEdit* CSpinEditInterval = nullptr;
    CSpinEdit* CSpinEditNumOfFields = nullptr;
    QCheckBox* CheckBoxAutoScroll = nullptr;
    CSpinEdit* CSpinEditScrollPause = nullptr;
    CSpinEdit* CSpinEditScrollEnd = nullptr;
    QCheckBox* CheckBoxPCTime = nullptr;
    QLineEdit* MaskEditTime = nullptr;
    QLineEdit* MaskEditDate = nullptr;
    QScrollArea* ScrollBoxFields = nullptr;
    std::array<QLabel*, setup::kFieldCount> rowNumbers_{};
    std::array<QLineEdit*, setup::kFieldCount> labels_{};
    std::array<QComboBox*, setup::kFieldCount> types_{};
    std::array<CSpinEdit*, setup::kFieldCount> widths_{};
    std::array<CSpinEdit*, setup::kFieldCount> precisions_{};
};

}  // namespace vrn::gui
