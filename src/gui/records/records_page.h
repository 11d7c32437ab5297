#pragma once

#include <QWidget>
#include <functional>
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

class CSpinEdit;

// The Get Records page: the text window the records are shown in, the number to retrieve, the
// field delimiter and the Get Records button. Its two options live in the preferences, which the
// page keeps up to date as they change.
class RecordsPage : public QWidget, public records::RecordsView {
    Q_OBJECT
public:
    static constexpr const char* kShowRecsHint = "Show retrieved records in text window.";
    static constexpr const char* kAllRecsHint = "Retrieve every record the 41700 holds.";

    RecordsPage(Preferences& prefs, QWidget* parent = nullptr);

    // What a click of Get Records asks for, as the controls stand.
    records::RetrievalOptions options() const;

    // Runs when ButtonGetRecords is clicked (or Enter is pressed in the number box).
    std::function<void()> onGetRecords;
    // Runs when ButtonPlot is clicked.
    std::function<void()> onPlot;
    // Runs when ButtonStopRecords is clicked, or Escape pressed, while a download runs.
    std::function<void()> onStop;
    // Whether the Setup's record format may be replaced (the Setup's own save question).
    std::function<bool()> mayReplaceFormat;
    // The user let a download he was asked to stop go on.
    std::function<void()> onGoOn;

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

signals:
    void downloadRunningChanged(bool running);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Preferences& prefs_;
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
