#include "chart/records_chart.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLegendMarker>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextDocumentFragment>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <cmath>

#include "gui/records/form_records_chart.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

// Six records a minute apart; AIR TEMP misses its third reading.
constexpr const char* kRecordFile =
    "6 RECORDS\r\n07-01-2026 12:10:00\r\nWIND SPEED,AIR TEMP,DATE,TIME,RH\r\n"
    "005.0,020.0,07/01/2026,12:00:00,050.0\r\n"
    "006.0,021.0,07/01/2026,12:01:00,051.0\r\n"
    "007.0,-99999,07/01/2026,12:02:00,052.0\r\n"
    "008.0,023.0,07/01/2026,12:03:00,053.0\r\n"
    "009.0,024.0,07/01/2026,12:04:00,054.0\r\n"
    "010.0,025.0,07/01/2026,12:05:00,055.0\r\n";

struct ChartRig : GuiRig {
    QString write(const char* name, const QByteArray& text) {
        const QString path = dir.path() + QLatin1Char('/') + QLatin1String(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
    gui::TFormRecordsChart* plot() {
        form->pageControl()->setCurrentWidget(form->pages().TabSheetRecords);
        QTest::mouseClick(find<QPushButton>(form.get(), "ButtonPlot"), Qt::LeftButton);
        return find<gui::TFormRecordsChart>(form.get(), "FormRecordsChart");
    }
};

// Accepts the next file dialog with path.
void onNextFileDialog(const QString& path) {
    whenModal<QFileDialog>(QStringLiteral("file"), [path](QFileDialog& dialog) {
        dialog.selectFile(path);
        static_cast<QDialog&>(dialog).accept();
    });
}

// The minute of 07/01/2026 12:mm as the chart's date axis holds it: seconds of the record's clock.
double minuteAt(int minute) {
    return static_cast<double>(chart::epochSeconds(2026, 7, 1, 12, minute, 0));
}

std::vector<QList<QPointF>> drawnRuns(const chart::RecordsChart& c, size_t s) {
    std::vector<QList<QPointF>> runs;
    for (QLineSeries* line : c.linesOf(s))
        if (line->count() > 0) runs.push_back(line->points());
    return runs;
}

TEST(RecordsChartWindow, DrawsARecordFileWithItsGapsAndChosenFields) {
    ChartRig rig;
    rig.start();
    rig.form->show();
    gui::TFormRecordsChart* window = rig.plot();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(rig.find<QLabel>(window, "LabelNoRecords")->isVisible());
    EXPECT_FALSE(rig.find<QPushButton>(window, "ButtonSaveImage")->isEnabled());

    onNextFileDialog(rig.write("day.txt", kRecordFile));
    QTest::mouseClick(rig.find<QPushButton>(window, "ButtonOpenRecords"), Qt::LeftButton);
    chart::RecordsChart* c = window->recordsChart();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->chart()->title(), "day.txt: 6 records");

    // A check box per Number field, with its label; Date and Time give x instead.
    const char* labels[] = {"WIND SPEED", "AIR TEMP", "RH"};
    for (int k = 0; k < 3; ++k) {
        auto* box =
            rig.find<QCheckBox>(window, QStringLiteral("CheckBoxField%1").arg(k + 1).toLatin1().constData());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), labels[k]);
        EXPECT_TRUE(box->isChecked());
    }
    EXPECT_EQ(window->findChild<QCheckBox*>(QStringLiteral("CheckBoxField4")), nullptr);

    // WIND SPEED is one line through six points at their minutes; AIR TEMP breaks at its gap.
    const auto wind = drawnRuns(*c, 0);
    ASSERT_EQ(wind.size(), 1u);
    ASSERT_EQ(wind[0].size(), 6);
    for (int m = 0; m < 6; ++m)
        EXPECT_EQ(wind[0][m], QPointF(minuteAt(m), 5.0 + m)) << "minute " << m;
    const auto temp = drawnRuns(*c, 1);
    ASSERT_EQ(temp.size(), 2u);
    EXPECT_EQ(temp[0], (QList<QPointF>{{minuteAt(0), 20.0}, {minuteAt(1), 21.0}}));
    EXPECT_EQ(temp[1], (QList<QPointF>{{minuteAt(3), 23.0}, {minuteAt(4), 24.0}, {minuteAt(5), 25.0}}));
    // One legend entry a field, however many pieces its line is in.
    EXPECT_TRUE(c->chart()->legend()->markers(c->linesOf(1)[0]).at(0)->isVisible());
    for (size_t r = 1; r < c->linesOf(1).size(); ++r)
        EXPECT_FALSE(c->chart()->legend()->markers(c->linesOf(1)[r]).at(0)->isVisible());

    // Only AIR TEMP chosen: the others' lines go, and the value axis fits AIR TEMP alone.
    rig.find<QCheckBox>(window, "CheckBoxField1")->setChecked(false);
    rig.find<QCheckBox>(window, "CheckBoxField3")->setChecked(false);
    for (const size_t s : {size_t{0}, size_t{2}})
        for (QLineSeries* line : c->linesOf(s))
            EXPECT_FALSE(line->isVisible()) << "series " << s;
    for (QLineSeries* line : c->linesOf(1))
        EXPECT_TRUE(line->isVisible());
    auto* values = qobject_cast<QValueAxis*>(c->chart()->axes(Qt::Vertical).at(0));
    ASSERT_NE(values, nullptr);
    EXPECT_LE(values->min(), 20.0);
    EXPECT_GE(values->max(), 25.0);
    EXPECT_GT(values->min(), 10.0);
    EXPECT_LT(values->max(), 50.0);

    // A zoom draws only what is inside it; Reset Zoom shows every record again.
    const QRectF plot = c->chart()->plotArea();
    c->chart()->zoomIn(QRectF(plot.left(), plot.top(), plot.width() / 2, plot.height()));
    for (const auto& run : drawnRuns(*c, 1))
        for (const QPointF& p : run)
            EXPECT_LE(p.x(), minuteAt(3)) << "a point beyond the zoomed range";
    QTest::mouseClick(rig.find<QPushButton>(window, "ButtonResetZoom"), Qt::LeftButton);
    EXPECT_EQ(drawnRuns(*c, 1).size(), 2u);
    EXPECT_EQ(drawnRuns(*c, 1).back().size(), 3);

    // Save Image... writes the chart as the window shows it.
    const QString png = rig.dir.path() + QStringLiteral("/chart.png");
    onNextFileDialog(png);
    QTest::mouseClick(rig.find<QPushButton>(window, "ButtonSaveImage"), Qt::LeftButton);
    const QImage saved(png);
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), rig.find<QChartView>(window, "ChartViewRecords")->size());

    // A file that is not a record file is refused in a box; the chart stays.
    QString box;
    onNextFileDialog(rig.write("setup.set", QByteArray("\x01\x02\x03", 3)));
    onNextBox([&](QMessageBox& b) { box = b.text(); }, QMessageBox::Ok);
    QTest::mouseClick(rig.find<QPushButton>(window, "ButtonOpenRecords"), Qt::LeftButton);
    EXPECT_TRUE(box.startsWith(QStringLiteral("This is not a record text file:"))) << box.toStdString();
    EXPECT_EQ(window->recordsChart(), c);
}

// Ticks at round values: both ends on a step of 1, 2 or 5 times a power of ten, and labels with
// as many decimals as tell two neighbouring ticks apart.
void expectRoundTicks(const QValueAxis* axis, const char* when) {
    const double step = (axis->max() - axis->min()) / (axis->tickCount() - 1);
    ASSERT_GT(step, 0) << when;
    const double unit = std::pow(10.0, std::floor(std::log10(step)));
    const double mantissa = step / unit;
    EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                std::abs(mantissa - 5) < 1e-6)
        << when << ": step " << step;
    for (const double end : {axis->min(), axis->max()})
        EXPECT_NEAR(end / step, std::round(end / step), 1e-6) << when << ": end " << end;
    const QByteArray format = axis->labelFormat().toLatin1();
    EXPECT_NE(QString::asprintf(format.constData(), axis->min()),
              QString::asprintf(format.constData(), axis->min() + step))
        << when << ": " << format.constData();
}

TEST(RecordsChartWindow, ValueAxisTicksAreRoundForTheFieldsShownAndAfterAZoom) {
    ChartRig rig;
    rig.start();
    rig.form->show();
    gui::TFormRecordsChart* window = rig.plot();
    ASSERT_NE(window, nullptr);
    onNextFileDialog(rig.write("small.txt",
                               "3 RECORDS\r\n07-01-2026 12:10:00\r\nDATE,TIME,TINY,BIG\r\n"
                               "07/01/2026,12:00:00,0.0012,1200\r\n"
                               "07/01/2026,12:01:00,0.0015,1500\r\n"
                               "07/01/2026,12:02:00,0.0019,1930\r\n"));
    QTest::mouseClick(rig.find<QPushButton>(window, "ButtonOpenRecords"), Qt::LeftButton);
    chart::RecordsChart* c = window->recordsChart();
    ASSERT_NE(c, nullptr);
    auto* values = qobject_cast<QValueAxis*>(c->chart()->axes(Qt::Vertical).at(0));
    ASSERT_NE(values, nullptr);
    expectRoundTicks(values, "both fields");
    EXPECT_GE(values->max(), 1930.0);

    rig.find<QCheckBox>(window, "CheckBoxField2")->setChecked(false);
    expectRoundTicks(values, "TINY alone");
    EXPECT_LE(values->min(), 0.0012);
    EXPECT_GE(values->max(), 0.0019);
    EXPECT_LT(values->max(), 0.01) << "scaled to the field shown";

    const QRectF plot = c->chart()->plotArea();
    c->chart()->zoomIn(QRectF(plot.left(), plot.top() + plot.height() / 3, plot.width(), plot.height() / 5));
    expectRoundTicks(values, "zoomed");
}

// Pressure and a temperature just above zero: the axis starts at zero, not a whole step below,
// and ends at the first round number above the pressure. Time ticks fall on whole minutes of the
// instrument's clock, and the axis says whose clock it is.
TEST(RecordsChartWindow, AxesReadAtAGlance) {
    ChartRig rig;
    rig.start();
    rig.form->show();
    gui::TFormRecordsChart* window = rig.plot();
    ASSERT_NE(window, nullptr);
    onNextFileDialog(rig.write("mast.txt",
                               "4 RECORDS\r\n07-01-2026 12:10:00\r\nDATE,TIME,AIR TEMP,PRESSURE\r\n"
                               "07/01/2026,12:00:10,2.2,1008.5\r\n"
                               "07/01/2026,12:03:10,3.0,1010.0\r\n"
                               "07/01/2026,12:06:10,4.1,1012.0\r\n"
                               "07/01/2026,12:09:40,5.0,1013.0\r\n"));
    QTest::mouseClick(rig.find<QPushButton>(window, "ButtonOpenRecords"), Qt::LeftButton);
    chart::RecordsChart* c = window->recordsChart();
    ASSERT_NE(c, nullptr);
    auto* values = qobject_cast<QValueAxis*>(c->chart()->axes(Qt::Vertical).at(0));
    ASSERT_NE(values, nullptr);
    expectRoundTicks(values, "pressure and temperature");
    const double step = (values->max() - values->min()) / (values->tickCount() - 1);
    EXPECT_DOUBLE_EQ(values->min(), 0.0);
    EXPECT_GE(values->max(), 1013.0);
    EXPECT_LT(values->max(), 1013.0 + step) << "a whole empty step above the data";

    auto* times = qobject_cast<QCategoryAxis*>(c->chart()->axes(Qt::Horizontal).at(0));
    ASSERT_NE(times, nullptr);
    EXPECT_EQ(times->titleText(), chart::RecordsChart::kInstrumentTimeTitle);
    const QStringList labels = times->categoriesLabels();
    ASSERT_GE(labels.size(), 2);
    for (const QString& label : labels) {
        const double at = times->endValue(label);
        EXPECT_EQ(std::fmod(at - minuteAt(0), 60.0), 0.0)
            << label.toStdString() << " is not on a whole minute";
        EXPECT_GE(at, minuteAt(0));
        EXPECT_LE(at, minuteAt(10));
    }
    // The labels are rich text: what they show is their plain text.
    const QString first = QTextDocumentFragment::fromHtml(labels.front()).toPlainText();
    EXPECT_TRUE(first.startsWith(QStringLiteral("12:0"))) << first.toStdString();
    EXPECT_TRUE(first.endsWith(QStringLiteral("2026-07-01"))) << "the date, once";
    EXPECT_FALSE(
        QTextDocumentFragment::fromHtml(labels.back()).toPlainText().contains(QStringLiteral("2026")));
}

TEST(RecordsChartWindow, RemembersTheUntickedFieldsInItsOwnSection) {
    ChartRig rig;
    rig.start();
    rig.form->show();
    const QString records = rig.write("day.txt", kRecordFile);
    gui::TFormRecordsChart* window = rig.plot();
    ASSERT_NE(window, nullptr);
    onNextFileDialog(records);
    QTest::mouseClick(rig.find<QPushButton>(window, "ButtonOpenRecords"), Qt::LeftButton);
    rig.find<QCheckBox>(window, "CheckBoxField2")->setChecked(false);
    rig.form->close();

    QFile file(rig.prefsPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    file.close();
    EXPECT_TRUE(text.contains(
        QStringLiteral("[41700 Setup]\nTop=100\nLeft=100\nShow Records=0\nNum of Records=100\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("[Records Chart]\nHidden Field 1=AIR TEMP\n")))
        << text.toStdString();

    // The next run shows the same file with AIR TEMP left out, the others as before.
    rig.form.reset();
    rig.start();
    rig.form->show();
    window = rig.plot();
    onNextFileDialog(records);
    QTest::mouseClick(rig.find<QPushButton>(window, "ButtonOpenRecords"), Qt::LeftButton);
    ASSERT_NE(window->recordsChart(), nullptr);
    const bool ticked[] = {true, false, true};
    for (int k = 0; k < 3; ++k) {
        const QByteArray name = QStringLiteral("CheckBoxField%1").arg(k + 1).toLatin1();
        EXPECT_EQ(rig.find<QCheckBox>(window, name.constData())->isChecked(), ticked[k]) << name.constData();
        for (QLineSeries* line : window->recordsChart()->linesOf(static_cast<size_t>(k)))
            EXPECT_EQ(line->isVisible(), ticked[k]) << name.constData();
    }
    // Ticked again, nothing is left to remember.
    rig.find<QCheckBox>(window, "CheckBoxField2")->setChecked(true);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(QString::fromLatin1(file.readAll()).contains(QStringLiteral("Records Chart")));
}

TEST(RecordsChartWindow, PlotShowsTheLastRetrievedRecords) {
    ChartRig rig;
    rig.start();
    rig.form->show();
    sim::SimSetup& d = rig.device.instrument.state.setup;
    d.fieldsPerRecord = 3;
    d.fields[0].type = 0;
    d.fields[1].type = 1;
    d.fields[2].type = 2;
    rig.form->pageControl()->setCurrentWidget(rig.form->pages().TabSheetRecords);
    auto* spin = rig.find<QSpinBox>(rig.form.get(), "CSpinEditNumOfRecs");
    spin->setValue(40);
    onNextBox(nullptr, QMessageBox::Ok);  // the record format is read from the instrument
    onNextFileDialog(rig.dir.path() + QStringLiteral("/got.txt"));
    QTest::mouseClick(rig.find<QPushButton>(rig.form.get(), "ButtonGetRecords"), Qt::LeftButton);

    gui::TFormRecordsChart* window = rig.plot();
    ASSERT_NE(window, nullptr);
    chart::RecordsChart* c = window->recordsChart();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->chart()->title(), "Last retrieved records: 40 records");
    EXPECT_TRUE(c->table().dated);
    EXPECT_EQ(c->table().seriesCount(), 1u);
    EXPECT_EQ(c->table().recordCount(), 40u);
    size_t points = 0;
    for (const auto& run : drawnRuns(*c, 0))
        points += static_cast<size_t>(run.size());
    EXPECT_GT(points, 0u);
    EXPECT_LE(points, 40u);
}

}  // namespace
}  // namespace vrn::test
