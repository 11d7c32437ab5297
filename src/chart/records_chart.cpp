#include "chart/records_chart.h"

#include <QBuffer>
#include <QDateTime>
#include <QImage>
#include <QLegendMarker>
#include <QLocale>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

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

// x, in the clock's seconds, as the date axis takes it: local milliseconds since the epoch. One
// offset for all, so a change of daylight-saving time inside the records does not fold them.
double localOffsetMs(double seconds) {
    const QDateTime clock = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds), Qt::UTC);
    const QDateTime local(clock.date(), clock.time());
    return static_cast<double>(local.toMSecsSinceEpoch()) - seconds * 1000.0;
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
    if (table_->dated) axisOffsetMs_ = localOffsetMs(full_.lo);
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
        auto* axis = new QDateTimeAxis;
        axis->setFormat(QStringLiteral("MM/dd/yy hh:mm"));
        axis->setTitleText(QStringLiteral("Date and time"));
        axis->setTickCount(6);
        axis->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(full_.lo * 1000 + axisOffsetMs_)),
                       QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(full_.hi * 1000 + axisOffsetMs_)));
        connect(axis, &QDateTimeAxis::rangeChanged, this, [this] { redraw(); });
        xAxis_ = axis;
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
        if (!roundingValues_) roundValues();
    });
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
}

// In the axis's own units: seconds for the record's clock, or the record number.
double RecordsChart::axisMin() const {
    if (auto* dates = qobject_cast<QDateTimeAxis*>(xAxis_))
        return (static_cast<double>(dates->min().toMSecsSinceEpoch()) - axisOffsetMs_) / 1000.0;
    return static_cast<QValueAxis*>(xAxis_)->min();
}

double RecordsChart::axisMax() const {
    if (auto* dates = qobject_cast<QDateTimeAxis*>(xAxis_))
        return (static_cast<double>(dates->max().toMSecsSinceEpoch()) - axisOffsetMs_) / 1000.0;
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
    const double scale = table_->dated ? 1000.0 : 1.0;
    const double offset = table_->dated ? axisOffsetMs_ : 0.0;
    for (size_t s = 0; s < table_->seriesCount(); ++s) {
        if (!visible_[s]) continue;
        const std::vector<LineRun> runs = decimate(table_->x, table_->values[s], lo, hi, buckets_);
        for (size_t r = 0; r < std::max<size_t>(runs.size(), 1); ++r) {
            QList<QPointF> points;
            if (r < runs.size()) {
                points.reserve(static_cast<qsizetype>(runs[r].size()));
                for (const ChartPoint& p : runs[r])
                    points.append(QPointF(p.x * scale + offset, p.y));
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

// The y axis spans the values of the fields shown, with a little room above and below.
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
    const double margin = hi > lo ? (hi - lo) * 0.05 : 1.0;
    roundingValues_ = true;
    yAxis_->setRange(lo - margin, hi + margin);
    roundingValues_ = false;
    roundValues();
}

// Qt's nice numbers: the range widened to round ends and a tick count that steps by 1, 2 or 5 times
// a power of ten; the labels carry as many decimals as that step has.
void RecordsChart::roundValues() {
    roundingValues_ = true;
    yAxis_->applyNiceNumbers();
    roundingValues_ = false;
    const double step = (yAxis_->max() - yAxis_->min()) / std::max(yAxis_->tickCount() - 1, 1);
    const int decimals =
        step > 0 ? std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 9) : 0;
    yAxis_->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
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
    redraw();
}

void RecordsChart::resetZoom() {
    chart_->zoomReset();
    redrawing_ = true;
    if (auto* dates = qobject_cast<QDateTimeAxis*>(xAxis_))
        dates->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(full_.lo * 1000 + axisOffsetMs_)),
                        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(full_.hi * 1000 + axisOffsetMs_)));
    else
        static_cast<QValueAxis*>(xAxis_)->setRange(full_.lo, full_.hi);
    redrawing_ = false;
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
