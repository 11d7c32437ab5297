// The records chart window opening a record archive: the station and time range asked, the
// records drawn.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimeZone>
#include <QtCharts/QAbstractAxis>
#include <QtCharts/QChart>
#include <bit>

#include "chart/records_chart.h"
#include "gui/app/qt_host.h"
#include "gui/records/form_archive_range.h"
#include "gui/records/form_records_chart.h"
#include "gui_rig.h"
#include "ports/disk_file_store.h"
#include "store/record_archive.h"

namespace vrn::test {
namespace {

constexpr int64_t kJan1 = 1767225600;  // 2026-01-01 00:00:00

// Two days of hourly records of a reading, DATE and TIME, for the station.
void fill(const std::string& path, const std::string& station) {
    store::Collection c;
    c.station = station;
    c.format = {{"AIR TEMP", 0, 5, 1}, {"DATE", 1, 6, 0}, {"TIME", 2, 6, 0}};
    for (int h = 0; h < 48; ++h) {
        const float values[] = {static_cast<float>(h), static_cast<float>(260101 + h / 24),
                                static_cast<float>(h % 24 * 10000)};
        for (float v : values) {
            const auto bits = std::bit_cast<uint32_t>(v);
            for (int shift = 0; shift < 32; shift += 8)
                c.bytes.push_back(static_cast<uint8_t>(bits >> shift));
        }
    }
    std::string error;
    auto archive = store::RecordArchive::open(path, error);
    ASSERT_TRUE(archive) << error;
    store::StoreSummary summary;
    ASSERT_TRUE(archive->store(c, summary, error)) << error;
}

TEST(ArchiveChart, OpenAsksForStationAndRangeThenDrawsThem) {
    GuiRig rig;
    const std::string path = rig.dir.filePath(QStringLiteral("archive.db")).toStdString();
    fill(path, "north");
    fill(path, "south");
    rig.start();
    DiskFileStore files;
    gui::TFormRecordsChart window(rig.form->host(), files);
    window.show();

    QString span;
    QDateTime defaultFrom;
    whenModal<QFileDialog>(QStringLiteral("file"), [&](QFileDialog& dialog) {
        dialog.selectFile(QString::fromStdString(path));
        static_cast<QDialog&>(dialog).accept();
        whenModal<gui::TFormArchiveRange>(QStringLiteral("archive range"), [&](gui::TFormArchiveRange& ask) {
            auto* stations = ask.findChild<QComboBox*>(QStringLiteral("ComboBoxStation"));
            ASSERT_NE(stations, nullptr);
            EXPECT_EQ(stations->count(), 2);
            stations->setCurrentText(QStringLiteral("south"));
            span = ask.findChild<QLabel*>(QStringLiteral("LabelSpan"))->text();
            auto* from = ask.findChild<QDateTimeEdit*>(QStringLiteral("DateTimeEditFrom"));
            auto* to = ask.findChild<QDateTimeEdit*>(QStringLiteral("DateTimeEditTo"));
            defaultFrom = from->dateTime();
            // From cannot be put after To, nor To before From.
            const QDateTime lastRecord = to->dateTime();
            from->setDateTime(lastRecord.addDays(1));
            EXPECT_EQ(from->dateTime(), lastRecord);
            EXPECT_LE(ask.from(), ask.to());
            to->setDateTime(lastRecord.addDays(-3));
            EXPECT_EQ(to->dateTime(), lastRecord);
            EXPECT_LE(ask.from(), ask.to());
            // The first day's afternoon.
            from->setDateTime(QDateTime::fromSecsSinceEpoch(kJan1 + 12 * 3600, QTimeZone::utc()));
            ask.findChild<QDateTimeEdit*>(QStringLiteral("DateTimeEditTo"))
                ->setDateTime(QDateTime::fromSecsSinceEpoch(kJan1 + 23 * 3600, QTimeZone::utc()));
            ask.accept();
        });
    });
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("ButtonOpenRecords")), Qt::LeftButton);
    EXPECT_EQ(span, "Records from 2026-01-01 00:00:00 to 2026-01-02 23:00:00 UTC");
    // The range starts as the station's last day.
    EXPECT_EQ(defaultFrom.toSecsSinceEpoch(), kJan1 + 23 * 3600);
    chart::RecordsChart* c = window.recordsChart();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->chart()->title(), "south (archive.db): 12 records");
    ASSERT_EQ(c->table().seriesCount(), 1U);
    EXPECT_EQ(c->table().values[0].front(), 12.0F);
    EXPECT_EQ(c->table().values[0].back(), 23.0F);
    // An archive's records are drawn at their UTC times, and the axis says so.
    EXPECT_TRUE(c->table().utc);
    EXPECT_EQ(c->table().x.front(), static_cast<double>(kJan1 + 12 * 3600));
    const QList<QAbstractAxis*> times = c->chart()->axes(Qt::Horizontal);
    ASSERT_EQ(times.size(), 1);
    EXPECT_EQ(times[0]->titleText(), chart::RecordsChart::kUtcTimeTitle);

    // A range without records is a box, and the chart stays.
    onNextBox(
        [](QMessageBox& box) {
            EXPECT_TRUE(box.text().contains("has no records")) << box.text().toStdString();
        },
        QMessageBox::Ok);
    EXPECT_FALSE(window.openArchive(path, "north", kJan1 + 86400 * 5, kJan1 + 86400 * 6));
    EXPECT_EQ(window.recordsChart(), c);
}

// The chart only reads: a path that names no archive is said so, and nothing is made there.
TEST(ArchiveChart, OpeningAMissingArchiveMakesNone) {
    GuiRig rig;
    rig.start();
    DiskFileStore files;
    gui::TFormRecordsChart window(rig.form->host(), files);
    const QString path = rig.dir.filePath(QStringLiteral("archvie.db"));
    QString said;
    onNextBox([&](QMessageBox& box) { said = box.text(); }, QMessageBox::Ok);
    EXPECT_FALSE(window.openArchive(path.toStdString(), "north", kJan1, kJan1 + 86400));
    EXPECT_TRUE(said.contains(QStringLiteral("no archive at ") + path)) << said.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(window.recordsChart(), nullptr);
}

}  // namespace
}  // namespace vrn::test
