#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>

#include "core/chart/record_table.h"

class QChartView;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace vrn {
class FileStore;
class Host;
}  // namespace vrn

namespace vrn::chart {
class RecordsChart;
}

namespace vrn::gui {

// The records chart window: a line per Number field of the last retrieved records or of a record
// text file opened here, a check box per field to choose the lines, zoom by dragging a rectangle
// (right click zooms out, Reset Zoom shows everything again), and Save Image... as PNG.
class TFormRecordsChart : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Records Chart";
    static constexpr const char* kImageFilter = "PNG Image (*.png)|*.png|All Files (*.*)|*.*";
    static constexpr const char* kNoRecordsText =
        "No records yet.\nGet Records retrieves them, Open... reads a record text file\nor a record archive.";
    static constexpr const char* kOpenFilter =
        "Text File (*.txt)|*.txt|Record Archive (*.db;*.sqlite)|*.db;*.sqlite|All Files (*.*)|*.*";

    TFormRecordsChart(Host& host, FileStore& files, QWidget* parent = nullptr);
    ~TFormRecordsChart() override;

    // Shows these records; title names where they came from.
    void showRecords(std::shared_ptr<const chart::RecordTable> table, const QString& title);
    // Reads and shows a record text file; a file that is not one is a message box, and the chart
    // stays as it was.
    // A SQLite record archive asks for its station and time range first.
    bool openRecordFile(const std::string& path);
    // Shows a station's records of a record archive (a SQLite file or a postgresql:// URL) from
    // `from` to `to` (UTC seconds); a problem is a message box, and the chart stays as it was.
    bool openArchive(const std::string& where, const std::string& station, int64_t from, int64_t to);

    // The preferences file in which the ticked fields are remembered; none: they are not.
    void setPreferencesPath(const QString& path) { preferencesPath_ = path; }

    // The chart shown, if any.
    chart::RecordsChart* recordsChart() const { return chart_.get(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ButtonOpenRecordsClick();
    void ButtonSaveImageClick();
    void fitPlotWidth();
    bool askArchiveRange(const std::string& where);
    void fieldTicked(const std::string& label, bool on);

    Host& host_;
    FileStore& files_;
    std::unique_ptr<chart::RecordsChart> chart_;
    QChartView* ChartViewRecords = nullptr;
    QWidget* PanelFields = nullptr;
    QVBoxLayout* fieldsLayout_ = nullptr;
    QLabel* LabelNoRecords = nullptr;
    QPushButton* ButtonOpenRecords = nullptr;
    QPushButton* ButtonResetZoom = nullptr;
    QPushButton* ButtonSaveImage = nullptr;
    QString preferencesPath_;
};

}  // namespace vrn::gui
