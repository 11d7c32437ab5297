#include <QtCharts/QChartView>
#include <string_view>

#include "chart/records_chart.h"
#include "cli/archive_options.h"
#include "cli/command_definition.h"
#include "cli/output_target.h"
#include "cli/record_options.h"
#include "cli/session.h"
#include "cli/value_checks.h"
#include "core/chart/record_file_reader.h"
#include "core/io/file_store.h"
#include "core/records/record_text.h"
#include "store/archive_name.h"

namespace vrn::cli {
namespace {

constexpr CommandText kPlot{
    "plot", "draw a record text file's (or an archived station's) Number fields as a chart (PNG), offline",
    "Draws the records of a record text file (as get-records or the window writes it) as the\n"
    "window's records chart: a line per Number field against the records' date and time (or\n"
    "their numbers when the file has no Date and Time fields), missing readings (-99999) as\n"
    "gaps, into a PNG picture of 960 x 560. --fields draws only the fields with these labels.\n"
    "A file that is not a record file, or a label no Number field has, is refused (exit 2).\n"
    "With --station the records are a station's in a record archive (a SQLite file or a\n"
    "postgresql:// URL, as collect fills it), from --from to --to (UTC, as export takes them).\n"
    "Needs no instrument and no display.\n"
    "\n"
    "example, the day's wind and temperature of a station:\n"
    "  vrncomm-cli plot records-2026-07-01.txt day.png --fields \"WIND SPEED,AIR TEMP\"\n"
    "  vrncomm-cli plot archive.db day.png --station st12 --from 2026-07-01 --to 2026-07-01\n"};

struct PlotArgs {
    std::string in;
    std::string out;
    ArchiveRangeArgs range;  // station empty: in is a record text file
    std::optional<std::string> fields;
};

// The chart window's size when it opens, so the picture is the one the window shows.
constexpr int kImageWidth = 960;
constexpr int kImageHeight = 560;

std::vector<std::string> splitLabels(const std::string& list) {
    std::vector<std::string> labels;
    for (size_t start = 0;;) {
        const size_t end = list.find(',', start);
        labels.push_back(list.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) return labels;
        start = end + 1;
    }
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The records of a record text file, or of a station in an archive; none after an error line,
// with the exit status in status.
std::shared_ptr<const chart::RecordTable> readTable(Session& s, const std::string& in,
                                                    const ArchiveRange& range, int& status) {
    status = kExitUsage;
    if (!range.station.empty()) {
        const auto archive = openArchiveToRead(s, in);
        if (!archive) {
            status = kExitArchive;
            return nullptr;
        }
        store::StoredRecords stored;
        status = readArchiveRange(s, *archive, in, range, stored);
        if (status != kExitOk) return nullptr;
        return std::make_shared<const chart::RecordTable>(
            chart::tableFromArchive(records::RecordBlock(stored.format, stored.bytes), stored.utc));
    }
    std::string error;
    const auto bytes = s.env.files.readFile(in, chart::kMaxRecordFileBytes + 1, error);
    if (!bytes) {
        s.host.error("cannot read " + store::redactedArchive(in) + ": " + error);
        return nullptr;
    }
    chart::RecordFileRead read =
        chart::readRecordFile({reinterpret_cast<const char*>(bytes->data()), bytes->size()});
    if (!read.table) {
        s.host.error(store::redactedArchive(in) + " is not a record text file: " + read.error);
        return nullptr;
    }
    return std::make_shared<const chart::RecordTable>(std::move(*read.table));
}

int runPlot(Session& s, const PlotArgs& args) {
    const ArchiveRange range = archiveRangeOf(args.range);
    std::optional<std::vector<std::string>> fields;
    if (args.fields) fields = splitLabels(*args.fields);
    const std::string& in = args.in;
    const std::string& out = args.out;

    if (!claimOutputFile(s, out)) return kExitUsage;
    int status = kExitOk;
    const auto table = readTable(s, in, range, status);
    if (!table) return status;
    std::vector<bool> shown(table->seriesCount(), !fields);
    if (fields) {
        for (const std::string& label : *fields) {
            const auto index = chart::findSeries(*table, label);
            if (!index) {
                std::string known;
                for (const std::string& l : table->labels)
                    known += (known.empty() ? "" : ", ") + l;
                s.host.error("no Number field \"" + label + "\" in " + in + " (it has: " + known + ")");
                return kExitUsage;
            }
            shown[*index] = true;
        }
    }

    const std::string source = range.station.empty() ? fileNameOf(in) : range.station;
    chart::RecordsChart records(table,
                                chart::chartTitle(QString::fromStdString(source), table->recordCount()));
    for (size_t k = 0; k < shown.size(); ++k)
        records.setSeriesVisible(k, shown[k]);
    QChartView view(records.chart());
    view.setRenderHint(QPainter::Antialiasing);
    // The first drawing lays the chart out; the lines are then cut to the plot's real width.
    chart::renderChart(view, QSize(kImageWidth, kImageHeight));
    records.setPlotWidth(static_cast<int>(records.chart()->plotArea().width()));
    const std::vector<uint8_t> png =
        chart::pngBytes(chart::renderChart(view, QSize(kImageWidth, kImageHeight)));
    std::string error;
    if (!s.env.files.writeFile(out, png, error)) {
        s.host.error("cannot write " + out + ": " + error);
        return kExitUsage;
    }
    s.host.appendLine(out);
    return kExitOk;
}

}  // namespace

void addPlotCommand(CLI::App& app, CommandRunner& chosen) {
    CLI::App& plot = addCommand(app, kPlot);
    PlotArgs& plotted = runs(plot, chosen, runPlot);
    positional(plot, "FILE.txt|ARCHIVE", plotted.in);
    positional(plot, "OUT.png", plotted.out);
    rangeOptions(plot, plotted.range, false);
    plot.add_option("--fields", plotted.fields)->type_name("LABEL,...")->check(notEmpty());
}

}  // namespace vrn::cli
