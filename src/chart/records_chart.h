#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtCharts/QChart>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/chart/record_table.h"

class QChartView;
class QLineSeries;
class QValueAxis;
class QImage;
class QSize;

namespace vrn::chart {

// Records drawn as a Qt chart: one line per Number field against the records' date and time (or
// their numbers), missing readings left as gaps. Qt Charts joins the points on either side of a
// NaN, so each stretch between gaps is a line series of its own, in the field's colour, and only
// the first of them has a legend entry. The lines hold the records cut down to the plot's width
// (min and max per pixel) and are cut again for the range shown whenever it changes (a zoom).
class RecordsChart : public QObject {
    Q_OBJECT
public:
    // The time axis's title says which clock its times are of.
    static constexpr const char* kUtcTimeTitle = "Date and time (UTC)";
    static constexpr const char* kInstrumentTimeTitle = "Date and time (instrument's clock)";

    RecordsChart(std::shared_ptr<const RecordTable> table, const QString& title, QObject* parent = nullptr);
    ~RecordsChart() override;
    RecordsChart(const RecordsChart&) = delete;
    RecordsChart& operator=(const RecordsChart&) = delete;

    const RecordTable& table() const { return *table_; }
    // The chart; a view that shows it takes it over (QChartView::setChart).
    // Its axes: the x axis in seconds of the clock shown, or record numbers; the y axis values.
    QChart* chart() const { return chart_.data(); }

    bool isSeriesVisible(size_t s) const { return visible_.at(s); }
    void setSeriesVisible(size_t s, bool on);

    // The line series drawing series s, one per stretch between gaps (at least one).
    const std::vector<QLineSeries*>& linesOf(size_t s) const { return lines_.at(s); }

    // How many pixels wide the plot is: the lines carry about that many buckets.
    void setPlotWidth(int pixels);
    // Back to every record and the values of the fields shown.
    void resetZoom();

private:
    void buildAxes();
    void redraw();
    void fitValues();
    void roundValues(double lo, double hi);
    void roundTimes();
    double axisMin() const;
    double axisMax() const;
    QLineSeries* addLine(size_t s, bool inLegend);

    std::shared_ptr<const RecordTable> table_;
    // A view showing the chart may delete it first.
    QPointer<QChart> chart_;
    QValueAxis* xAxis_ = nullptr;
    QValueAxis* yAxis_ = nullptr;
    std::vector<bool> visible_;
    std::vector<std::vector<QLineSeries*>> lines_;
    Range full_;
    size_t buckets_ = 1000;
    bool redrawing_ = false;
    bool roundingValues_ = false;
};

// "station-12.txt: 1,440 records": where the records came from and how many.
QString chartTitle(const QString& source, size_t records);

// The chart in a view of the given size, as the window shows it, drawn into a picture.
QImage renderChart(QChartView& view, const QSize& size);

// The picture as PNG bytes.
std::vector<uint8_t> pngBytes(const QImage& image);

}  // namespace vrn::chart
