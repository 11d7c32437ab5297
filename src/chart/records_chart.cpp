#include "chart/records_chart.h"

#include <QBuffer>
#include <QImage>
#include <QLegendMarker>
#include <QLocale>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

#include "core/chart/axis_scale.h"
#include "core/chart/decimation.h"

namespace vrn::chart {
namespace {

// Distinct enough side by side on white; fields beyond them repeat the colours dashed.
constexpr std::array<QRgb, 10> kColours{0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd,
                                        0x8c564b, 0xe377c2, 0x17becf, 0x7f7f7f, 0xbcbd22};

QPen penOf(size_t s) {
    QPen pen(QColor::fromRgb(kColours[s % kColours.size()]));
    pen.setWidthF(1.5);
    if (s >= kColours.size()) pen.setStyle(Qt::DashLine);
    return pen;
}

// Room for a tick's label: "2024-05-14" and a margin.
constexpr int kTimeLabelPixels = 120;
// The value axis has at most this many steps.
constexpr int kValueSteps = 6;

// A time label's lines, as the axis draws it (rich text); the same time of day on two dates
// differs by its hidden number, as the axis takes each label once.
QString timeLabelHtml(const std::string& label, size_t k) {
    QString html = QString::fromStdString(label).toHtmlEscaped();
    html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return QStringLiteral("<center>%1</center><!--%2-->").arg(html).arg(k);
}

}  // namespace

RecordsChart::RecordsChart(std::shared_ptr<const RecordTable> table, const QString& title, QObject* parent)
    : QObject(parent),
      table_(std::move(table)),
      chart_(new QChart),
      visible_(table_->seriesCount(), true),
      lines_(table_->seriesCount()) {
    chart_->setTitle(title);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    full_ = xRange(*table_).value_or(Range{0, 1});
    if (full_.hi <= full_.lo) full_.hi = full_.lo + 1;
    buildAxes();
    for (size_t s = 0; s < table_->seriesCount(); ++s)
        addLine(s, true);
    fitValues();
    redraw();
}

// The chart belongs to its view once shown; otherwise to this.
RecordsChart::~RecordsChart() {
    if (chart_ && !chart_->scene()) delete chart_.data();
}

void RecordsChart::buildAxes() {
    if (table_->dated) {
        // Ticks on round times, at the times they name; an axis of seconds of the clock shown.
        auto* axis = new QCategoryAxis;
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        axis->setTitleText(QString::fromLatin1(table_->utc ? kUtcTimeTitle : kInstrumentTimeTitle));
        axis->setRange(full_.lo, full_.hi);
        connect(axis, &QValueAxis::rangeChanged, this, [this] {
            roundTimes();
            redraw();
        });
        xAxis_ = axis;
        roundTimes();
    } else {
        auto* axis = new QValueAxis;
        axis->setTitleText(QStringLiteral("Record"));
        axis->setLabelFormat(QStringLiteral("%.0f"));
        axis->setRange(full_.lo, full_.hi);
        connect(axis, &QValueAxis::rangeChanged, this, [this] { redraw(); });
        xAxis_ = axis;
    }
    yAxis_ = new QValueAxis;
    // A zoom sets any range: its ticks are made round again.
    connect(yAxis_, &QValueAxis::rangeChanged, this, [this] {
        if (!roundingValues_) roundValues(yAxis_->min(), yAxis_->max());
    });
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
}

// The time axis's ticks for the range it shows and the room the plot has.
void RecordsChart::roundTimes() {
    auto* axis = static_cast<QCategoryAxis*>(xAxis_);
    for (const QString& label : axis->categoriesLabels())
        axis->remove(label);
    axis->setStartValue(axis->min());
    const int room = std::max(static_cast<int>(buckets_) / kTimeLabelPixels, 2);
    const std::vector<TimeTick> ticks = timeTicks(axis->min(), axis->max(), room);
    for (size_t k = 0; k < ticks.size(); ++k)
        axis->append(timeLabelHtml(ticks[k].label, k), static_cast<double>(ticks[k].at));
}

// In the axis's own units: seconds of the clock shown, or the record number.
double RecordsChart::axisMin() const {
    return static_cast<QValueAxis*>(xAxis_)->min();
}

double RecordsChart::axisMax() const {
    return static_cast<QValueAxis*>(xAxis_)->max();
}

QLineSeries* RecordsChart::addLine(size_t s, bool inLegend) {
    auto* line = new QLineSeries;
    line->setName(QString::fromStdString(table_->labels[s]));
    line->setPen(penOf(s));
    chart_->addSeries(line);
    line->attachAxis(xAxis_);
    line->attachAxis(yAxis_);
    line->setVisible(visible_[s]);
    for (QLegendMarker* marker : chart_->legend()->markers(line))
        marker->setVisible(inLegend);
    lines_[s].push_back(line);
    return line;
}

void RecordsChart::redraw() {
    if (redrawing_) return;
    redrawing_ = true;
    const double lo = axisMin();
    const double hi = axisMax();
    for (size_t s = 0; s < table_->seriesCount(); ++s) {
        if (!visible_[s]) continue;
        const std::vector<LineRun> runs = decimate(table_->x, table_->values[s], lo, hi, buckets_);
        for (size_t r = 0; r < std::max<size_t>(runs.size(), 1); ++r) {
            QList<QPointF> points;
            if (r < runs.size()) {
                points.reserve(static_cast<qsizetype>(runs[r].size()));
                for (const ChartPoint& p : runs[r])
                    points.append(QPointF(p.x, p.y));
            }
            QLineSeries* line = r < lines_[s].size() ? lines_[s][r] : addLine(s, false);
            // A reading alone between gaps is no line; its point shows it.
            line->setPointsVisible(points.size() == 1);
            line->replace(points);
        }
        for (size_t r = runs.size(); r < lines_[s].size(); ++r)
            if (r > 0) lines_[s][r]->clear();
    }
    redrawing_ = false;
}

// The y axis spans the values of the fields shown, from a round number to a round number.
void RecordsChart::fitValues() {
    double lo = INFINITY;
    double hi = -INFINITY;
    for (size_t s = 0; s < table_->seriesCount(); ++s) {
        if (!visible_[s]) continue;
        for (const float v : table_->values[s]) {
            if (!std::isfinite(v)) continue;
            lo = std::min(lo, static_cast<double>(v));
            hi = std::max(hi, static_cast<double>(v));
        }
    }
    if (lo > hi) {
        lo = 0;
        hi = 1;
    }
    roundValues(lo, hi);
}

// Round ends that hold lo to hi without a whole empty step, ticks 1, 2 or 5 times a power of ten
// apart, labels with as many decimals as the step has.
void RecordsChart::roundValues(double lo, double hi) {
    const ValueScale scale = valueScale(lo, hi, kValueSteps);
    roundingValues_ = true;
    yAxis_->setRange(scale.lo, scale.hi);
    yAxis_->setTickCount(scale.tickCount());
    roundingValues_ = false;
    yAxis_->setLabelFormat(QStringLiteral("%.%1f").arg(std::min(scale.decimals, 9)));
}

void RecordsChart::setSeriesVisible(size_t s, bool on) {
    if (visible_.at(s) == on) return;
    visible_[s] = on;
    for (QLineSeries* line : lines_[s])
        line->setVisible(on);
    for (size_t r = 0; r < lines_[s].size(); ++r)
        for (QLegendMarker* marker : chart_->legend()->markers(lines_[s][r]))
            marker->setVisible(on && r == 0);
    fitValues();
    redraw();
}

void RecordsChart::setPlotWidth(int pixels) {
    const auto buckets = static_cast<size_t>(std::max(pixels, 1));
    if (buckets == buckets_) return;
    buckets_ = buckets;
    if (table_->dated) roundTimes();
    redraw();
}

void RecordsChart::resetZoom() {
    chart_->zoomReset();
    redrawing_ = true;
    static_cast<QValueAxis*>(xAxis_)->setRange(full_.lo, full_.hi);
    redrawing_ = false;
    if (table_->dated) roundTimes();
    fitValues();
    redraw();
}

QString chartTitle(const QString& source, size_t records) {
    return QStringLiteral("%1: %2 record%3")
        .arg(source, QLocale(QLocale::English).toString(static_cast<qulonglong>(records)),
             records == 1 ? QString() : QStringLiteral("s"));
}

QImage renderChart(QChartView& view, const QSize& size) {
    view.resize(size);
    return view.grab().toImage();
}

std::vector<uint8_t> pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {bytes.begin(), bytes.end()};
}

}  // namespace vrn::chart
