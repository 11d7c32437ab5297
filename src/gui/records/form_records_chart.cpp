#include "gui/records/form_records_chart.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <set>

#include "chart/records_chart.h"
#include "core/chart/hidden_fields.h"
#include "core/chart/record_file_reader.h"
#include "core/io/file_store.h"
#include "core/link/host.h"
#include "core/records/record_keys.h"
#include "core/records/record_retrieval.h"
#include "core/records/record_text.h"
#include "gui/app/preferences_file.h"
#include "gui/records/form_archive_range.h"
#include "store/record_archive.h"

namespace vrn::gui {
namespace {

// The chart only reads an archive: a path that names none makes nothing.
std::unique_ptr<store::RecordArchive> openExistingArchive(const std::string& where, std::string& error) {
    if (store::RecordArchive::isMissing(where)) {
        error = "There is no archive at " + where + ".";
        return nullptr;
    }
    return store::RecordArchive::open(where, error, store::RecordArchive::Access::MustExist);
}

}  // namespace

TFormRecordsChart::TFormRecordsChart(Host& host, FileStore& files, QWidget* parent)
    : QDialog(parent), host_(host), files_(files) {
    setObjectName(QStringLiteral("FormRecordsChart"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(960, 600);

    ButtonOpenRecords = new QPushButton(QStringLiteral("&Open..."), this);
    ButtonOpenRecords->setObjectName(QStringLiteral("ButtonOpenRecords"));
    ButtonResetZoom = new QPushButton(QStringLiteral("Reset &Zoom"), this);
    ButtonResetZoom->setObjectName(QStringLiteral("ButtonResetZoom"));
    ButtonSaveImage = new QPushButton(QStringLiteral("&Save Image..."), this);
    ButtonSaveImage->setObjectName(QStringLiteral("ButtonSaveImage"));

    PanelFields = new QWidget;
    PanelFields->setObjectName(QStringLiteral("PanelFields"));
    fieldsLayout_ = new QVBoxLayout(PanelFields);
    fieldsLayout_->addStretch();
    auto* fieldsScroll = new QScrollArea(this);
    fieldsScroll->setWidget(PanelFields);
    fieldsScroll->setWidgetResizable(true);
    fieldsScroll->setFixedWidth(170);

    ChartViewRecords = new QChartView(this);
    ChartViewRecords->setObjectName(QStringLiteral("ChartViewRecords"));
    ChartViewRecords->setRubberBand(QChartView::RectangleRubberBand);
    ChartViewRecords->setRenderHint(QPainter::Antialiasing);
    LabelNoRecords = new QLabel(QString::fromLatin1(kNoRecordsText), this);
    LabelNoRecords->setObjectName(QStringLiteral("LabelNoRecords"));
    LabelNoRecords->setAlignment(Qt::AlignCenter);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonOpenRecords);
    buttons->addWidget(ButtonResetZoom);
    buttons->addStretch();
    buttons->addWidget(ButtonSaveImage);
    auto* body = new QHBoxLayout;
    body->addWidget(fieldsScroll);
    body->addWidget(ChartViewRecords, 1);
    body->addWidget(LabelNoRecords, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(body, 1);

    ChartViewRecords->hide();
    ButtonResetZoom->setEnabled(false);
    ButtonSaveImage->setEnabled(false);
    connect(ButtonOpenRecords, &QPushButton::clicked, this, &TFormRecordsChart::ButtonOpenRecordsClick);
    connect(ButtonSaveImage, &QPushButton::clicked, this, &TFormRecordsChart::ButtonSaveImageClick);
    connect(ButtonResetZoom, &QPushButton::clicked, this, [this] {
        if (chart_) chart_->resetZoom();
    });
}

TFormRecordsChart::~TFormRecordsChart() = default;

void TFormRecordsChart::showRecords(std::shared_ptr<const chart::RecordTable> table, const QString& title) {
    const QString heading = chart::chartTitle(title, table->recordCount());
    // The view owns the chart it shows; the old one goes with the old RecordsChart.
    auto next = std::make_unique<chart::RecordsChart>(std::move(table), heading);
    ChartViewRecords->setChart(next->chart());
    chart_ = std::move(next);

    while (QLayoutItem* item = fieldsLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const chart::RecordTable& t = chart_->table();
    const std::set<std::string> hidden =
        preferencesPath_.isEmpty() ? std::set<std::string>{}
                                   : chart::parseHiddenFields(readPreferencesText(preferencesPath_));
    for (size_t s = 0; s < t.seriesCount(); ++s) {
        auto* box = new QCheckBox(QString::fromStdString(t.labels[s]), PanelFields);
        box->setObjectName(QStringLiteral("CheckBoxField%1").arg(s + 1));
        const bool ticked = !hidden.contains(t.labels[s]);
        box->setChecked(ticked);
        chart_->setSeriesVisible(s, ticked);
        connect(box, &QCheckBox::toggled, this, [this, s](bool on) {
            chart_->setSeriesVisible(s, on);
            fieldTicked(chart_->table().labels[s], on);
        });
        fieldsLayout_->addWidget(box);
    }
    fieldsLayout_->addStretch();

    LabelNoRecords->hide();
    ChartViewRecords->show();
    ButtonResetZoom->setEnabled(true);
    ButtonSaveImage->setEnabled(true);
    connect(chart_->chart(), &QChart::plotAreaChanged, this, [this] { fitPlotWidth(); });
    fitPlotWidth();
}

bool TFormRecordsChart::openRecordFile(const std::string& path) {
    std::string error;
    // A SQLite archive is known by its first bytes, before the whole file is read.
    static constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};
    const auto head = files_.readFile(path, kSqliteMagic.size(), error);
    if (head && head->size() == kSqliteMagic.size() &&
        std::equal(kSqliteMagic.begin(), kSqliteMagic.end(), head->begin()))
        return askArchiveRange(path);
    const auto bytes = files_.readFile(path, chart::kMaxRecordFileBytes + 1, error);
    if (!bytes) {
        warn(host_, "The record file cannot be read:\n" + error);
        return false;
    }
    const chart::RecordFileRead read =
        chart::readRecordFile({reinterpret_cast<const char*>(bytes->data()), bytes->size()});
    if (!read.table) {
        warn(host_, "This is not a record text file:\n" + read.error);
        return false;
    }
    showRecords(std::make_shared<const chart::RecordTable>(*read.table),
                QFileInfo(QString::fromStdString(path)).fileName());
    return true;
}

bool TFormRecordsChart::askArchiveRange(const std::string& where) {
    std::string error;
    const auto archive = openExistingArchive(where, error);
    if (!archive) {
        warn(host_, "The record archive cannot be opened:\n" + error);
        return false;
    }
    const std::vector<std::string> stations = archive->stationNames(error);
    if (stations.empty()) {
        warn(host_, error.empty() ? std::string("The record archive holds no station yet.")
                                  : "The record archive cannot be read:\n" + error);
        return false;
    }
    TFormArchiveRange ask(*archive, QString::fromStdString(where), stations, this);
    if (ask.exec() != QDialog::Accepted) return false;
    return openArchive(where, ask.station(), ask.from(), ask.to());
}

bool TFormRecordsChart::openArchive(const std::string& where, const std::string& station, int64_t from,
                                    int64_t to) {
    std::string error;
    const auto archive = openExistingArchive(where, error);
    store::StoredRecords stored;
    if (!archive || !archive->read(station, from, to, stored, error)) {
        warn(host_, "The record archive cannot be read:\n" + error);
        return false;
    }
    if (stored.utc.empty()) {
        warn(host_, "Station " + station + " has no records from " + records::utcTimeText(from) + " to " +
                        records::utcTimeText(to) + " UTC.");
        return false;
    }
    const records::RecordBlock block(stored.format, stored.bytes);
    showRecords(std::make_shared<const chart::RecordTable>(chart::tableFromArchive(block, stored.utc)),
                QStringLiteral("%1 (%2)").arg(QString::fromStdString(station),
                                              QFileInfo(QString::fromStdString(where)).fileName()));
    return true;
}

void TFormRecordsChart::ButtonOpenRecordsClick() {
    FileDialogSpec spec;
    spec.filter = kOpenFilter;
    spec.defaultExt = records::RecordRetrieval::kFileExt;
    spec.mustExist = true;
    if (const auto path = host_.openFileName(spec)) openRecordFile(*path);
}

void TFormRecordsChart::ButtonSaveImageClick() {
    if (!chart_) return;
    FileDialogSpec spec;
    spec.filter = kImageFilter;
    spec.defaultExt = "png";
    spec.overwritePrompt = true;
    const auto path = host_.saveFileName(spec);
    if (!path) return;
    const std::vector<uint8_t> png = chart::pngBytes(ChartViewRecords->grab().toImage());
    std::string error;
    if (!files_.writeFile(*path, png, error)) warn(host_, "The image cannot be saved:\n" + error);
}

// Kept at once, so the choice outlives a crash; a failed write loses only the choice.
void TFormRecordsChart::fieldTicked(const std::string& label, bool on) {
    if (preferencesPath_.isEmpty()) return;
    const std::string text = readPreferencesText(preferencesPath_);
    std::set<std::string> hidden = chart::parseHiddenFields(text);
    if (on)
        hidden.erase(label);
    else
        hidden.insert(label);
    writePreferencesText(preferencesPath_, chart::writeHiddenFields(text, hidden));
}

void TFormRecordsChart::fitPlotWidth() {
    if (chart_) chart_->setPlotWidth(static_cast<int>(chart_->chart()->plotArea().width()));
}

void TFormRecordsChart::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    fitPlotWidth();
}

}  // namespace vrn::gui
