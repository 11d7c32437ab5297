#pragma once

#include <QWidget>
#include <memory>

#include "core/chart/record_table.h"
#include "core/records/record_retrieval.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vrn {
struct Preferences;
}

namespace vrn::gui {

class ChangeTracker;
class CSpinEdit;

// The Get Records page: the text window the records are shown in, the number to retrieve, the
// field delimiter and the Get Records button. Its two options live in the preferences, which the
// page keeps up to date as they change. Given changes, a changed Setup is asked about there before
// the retrieval replaces its record format.
class RecordsPage : public QWidget, public records::RecordsView {
    Q_OBJECT
public:
    static constexpr const char* kShowRecsHint = "Show retrieved records in text window.";
    static constexpr const char* kAllRecsHint = "Retrieve every record the 41700 holds.";

    RecordsPage(Preferences& prefs, ChangeTracker* changes = nullptr, QWidget* parent = nullptr);

    // What a click of Get Records asks for, as the controls stand.
    records::RetrievalOptions options() const;

    // The records of the last retrieval that received them all, as the chart draws them; none
    // before the first.
    std::shared_ptr<const chart::RecordTable> lastRecords() const { return lastRecords_; }

    void uncheckShowRecords() override;
    void setGetRecordsEnabled(bool enabled) override;
    void insertRecordText(std::string_view text) override;
    void recordsRetrieved(const records::RecordBlock& block) override;
    bool mayReplaceRecordFormat() override;
    void downloadRunning(bool running) override;
    void downloadGoesOn() override;
    void recordsSoFar(uint32_t count) override;
    bool downloading() const { return downloading_; }
    // As a click of Stop: does nothing unless a download runs.
    void stopDownload();
    // Stop, which stays usable while the download runs.
    QWidget* stopButton() const;

signals:
    void downloadRunningChanged(bool running);
    // ButtonGetRecords was clicked (or Enter pressed in the number box).
    void getRecordsClicked();
    void plotClicked();
    // ButtonStopRecords was clicked, or Escape pressed, while a download runs.
    void stopClicked();
    // The user let a download he was asked to stop go on.
    void downloadLetGoOn();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeControls(QWidget* numberLabel, QWidget* delimiterLabel);
    void connectControls();

    Preferences& prefs_;
    ChangeTracker* changes_;
    QPlainTextEdit* MemoRecs = nullptr;
    QPushButton* ButtonClearRecText = nullptr;
    QCheckBox* CheckBoxShowRecs = nullptr;
    QCheckBox* CheckBoxAllRecs = nullptr;
    QComboBox* ComboBoxDelimiter = nullptr;
    CSpinEdit* CSpinEditNumOfRecs = nullptr;
    QPushButton* ButtonGetRecords = nullptr;
    QPushButton* ButtonPlot = nullptr;
    QPushButton* ButtonStopRecords = nullptr;
    QLabel* LabelRecordsSoFar = nullptr;
    bool downloading_ = false;
    uint32_t soFar_ = 0;
    std::shared_ptr<const chart::RecordTable> lastRecords_;
};

}  // namespace vrn::gui
