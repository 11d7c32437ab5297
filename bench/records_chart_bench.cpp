// The records chart window opening the largest retrieval: 86,507 records of 25 fields (23 Number
// fields, a Date and a Time, with missing readings) from the record text file Get Records writes,
// and from the records just retrieved. Prints each step's time, best of a few runs, against the
// second the window is allowed; the whole picture is drawn once (grab) so the time includes the
// first paint. Run on the offscreen platform; prints one "row" line. Asserts nothing.
//   records_chart_bench [RUNS]     (default 3)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "chart/records_chart.h"
#include "core/chart/record_file_reader.h"
#include "core/records/record_text.h"
#include "gui/app/qt_host.h"
#include "gui/records/form_records_chart.h"
#include "ports/disk_file_store.h"
#include "ports/real_clock.h"

namespace {

using namespace vrn;

constexpr size_t kRecords = 86507;
constexpr int kFields = 25;

std::vector<setup::RecordField> stationFormat() {
    std::vector<setup::RecordField> fields(kFields);
    for (int k = 0; k < kFields; ++k) {
        auto& f = fields[static_cast<size_t>(k)];
        f.label = setup::defaultFieldLabel(k);
        f.type = k == kFields - 2 ? 1 : k == kFields - 1 ? 2 : 0;
        f.width = 7;
        f.precision = 1 + k % 3;
    }
    return fields;
}

// A minute apart from 01/01/2026 00:00, weather-like curves, one reading in 997 missing.
std::vector<uint8_t> recordBytes() {
    std::vector<uint8_t> bytes;
    bytes.reserve(kRecords * kFields * 4);
    for (size_t r = 0; r < kRecords; ++r) {
        const size_t minute = r;
        const size_t day = minute / 1440;
        const auto month = static_cast<int>(1 + day / 28 % 12);
        const auto dom = static_cast<int>(1 + day % 28);
        const auto year = static_cast<int>(26 + day / 336);
        for (int k = 0; k < kFields; ++k) {
            float v = 0;
            if (k == kFields - 2) {
                v = static_cast<float>(year * 10000 + month * 100 + dom);
            } else if (k == kFields - 1) {
                v = static_cast<float>(minute % 1440 / 60 * 10000 + minute % 60 * 100);
            } else if ((r * 31 + static_cast<size_t>(k)) % 997 == 0) {
                v = std::numeric_limits<float>::quiet_NaN();
            } else {
                v = static_cast<float>(10.0 * k + 5.0 * std::sin(static_cast<double>(r) / (200.0 + k)) +
                                       std::sin(static_cast<double>(r) * 0.7));
            }
            const auto bits = std::bit_cast<uint32_t>(v);
            for (int b = 0; b < 4; ++b)
                bytes.push_back(static_cast<uint8_t>(bits >> (8 * b)));
        }
    }
    return bytes;
}

// Wall time and the process's CPU time: on a busy machine the second shows the work itself.
struct Stopwatch {
    QElapsedTimer wall;
    std::clock_t cpu = 0;
    void restart() {
        cpu = std::clock();
        wall.start();
    }
    std::pair<double, double> ms() const {
        return {static_cast<double>(wall.nsecsElapsed()) / 1e6,
                static_cast<double>(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC};
    }
};

using Best = std::pair<double, double>;

void keepBest(Best& best, const Best& now) {
    best.first = std::min(best.first, now.first);
    best.second = std::min(best.second, now.second);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    const std::vector<uint8_t> bytes = recordBytes();
    const records::RecordBlock block(stationFormat(), bytes);
    std::string text = records::recordFileHeader(block, ',', {2026, 7, 1, 12, 0, 0});
    records::appendRecordLines(text, block, 0, block.recordCount(), ',');
    const std::string path = QDir::tempPath().toStdString() + "/records_chart_bench.txt";
    DiskFileStore files;
    std::string error;
    if (!files.writeFile(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()}, error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }

    RealClock clock;
    QWidget owner;
    gui::QtHost host(clock, {&owner, nullptr, nullptr, nullptr});
    Best parse{1e9, 1e9}, file{1e9, 1e9}, retrieved{1e9, 1e9};
    for (int run = 0; run < runs; ++run) {
        Stopwatch t;
        t.restart();
        const chart::RecordFileRead read = chart::readRecordFile(text);
        keepBest(parse, t.ms());
        if (!read.table) return 1;

        gui::TFormRecordsChart fromFile(host, files);
        fromFile.resize(960, 600);
        t.restart();
        if (!fromFile.openRecordFile(path)) return 1;
        fromFile.grab();
        keepBest(file, t.ms());

        gui::TFormRecordsChart fromBlock(host, files);
        fromBlock.resize(960, 600);
        t.restart();
        fromBlock.showRecords(std::make_shared<const chart::RecordTable>(chart::tableFromBlock(block)),
                              QStringLiteral("Last retrieved records"));
        fromBlock.grab();
        keepBest(retrieved, t.ms());
    }
    std::printf("records chart, %zu records x %d fields (%zu bytes of record file), best of %d:\n",
                block.recordCount(), kFields, text.size(), runs);
    std::printf("                                          wall ms   cpu ms   wall / 1 s allowed\n");
    std::printf("  read the record file (parse only)      %8.1f %8.1f\n", parse.first, parse.second);
    std::printf("  open the file in the window, drawn     %8.1f %8.1f   %.2f\n", file.first, file.second,
                file.first / 1000.0);
    std::printf("  show the retrieved records, drawn      %8.1f %8.1f   %.2f\n", retrieved.first,
                retrieved.second, retrieved.first / 1000.0);
    std::printf(
        "row\tRecords chart, %zu x %d from the file\t%.0f ms (%.0f ms CPU)\t1000 ms\t%.2f\t< 1 s\t%s\n",
        block.recordCount(), kFields, file.first, file.second, file.first / 1000.0,
        file.first < 1000.0 ? "met" : "not met");
    std::remove(path.c_str());
    return 0;
}
