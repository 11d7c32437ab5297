#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QComboBox;
class QDateTimeEdit;
class QLabel;

namespace vrn::store {
class RecordArchive;
}

namespace vrn::gui {

// Asks which station of a record archive, and which time range (UTC), the chart is to show. The
// range starts as the chosen station's last day.
class TFormArchiveRange : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Open Record Archive";

    TFormArchiveRange(store::RecordArchive& archive, const QString& source,
                      const std::vector<std::string>& stations, QWidget* parent = nullptr);

    std::string station() const;
    // UTC seconds, both included.
    int64_t from() const;
    int64_t to() const;

private:
    void stationChanged();

    store::RecordArchive& archive_;
    QComboBox* ComboBoxStation = nullptr;
    QDateTimeEdit* DateTimeEditFrom = nullptr;
    QDateTimeEdit* DateTimeEditTo = nullptr;
    QLabel* LabelSpan = nullptr;
};

}  // namespace vrn::gui
