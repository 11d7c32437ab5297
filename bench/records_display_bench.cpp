// The largest retrieval shown on the Get Records page: 86,507 records of 25 fields put into
// MemoRecs by the retrieval's own display loop, in the main window (on the simulated instrument),
// whose events run between steps as in a retrieval. Prints the whole time and the longest step (how
// long the window can go without handling events), against the same text inserted value by value
// as plain per-value inserts would, over a sample whose rate is scaled to the whole. The row compares
// processor time (the work is all on the one thread, so it is the wall time on a free core; the shared
// machine's other work stays out of it); wall times are printed beside it. Asserts nothing.
//   records_display_bench [SAMPLE_RECORDS]     (default 5000)
#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "core/app/preferences.h"
#include "core/link/host.h"
#include "core/link/virtual_clock.h"
#include "core/records/record_retrieval.h"
#include "core/records/record_text.h"
#include "core/records/value_format.h"
#include "gui/app/form_main.h"
#include "gui/app/qt_host.h"
#include "gui/records/records_page.h"
#include "gui/records/records_section.h"
#include "sim/simulated_device.h"

namespace {

using namespace vrn;

constexpr size_t kRecords = 86507;
constexpr int kFields = 25;

std::vector<setup::RecordField> stationFormat() {
    std::vector<setup::RecordField> fields(kFields);
    for (int k = 0; k < kFields; ++k) {
        auto& f = fields[static_cast<size_t>(k)];
        f.type = k == 0 ? 1 : k == 1 ? 2 : 0;
        f.width = 7;
        f.precision = 1 + k % 3;
    }
    return fields;
}

std::vector<uint8_t> stationBytes(size_t records) {
    std::vector<uint8_t> out;
    for (size_t r = 0; r < records; ++r)
        for (int k = 0; k < kFields; ++k) {
            const float v = k == 0   ? 260315.0f
                            : k == 1 ? static_cast<float>((r / 60 % 24) * 10000 + r % 60 * 100)
                                     : static_cast<float>(20.0 * std::sin(static_cast<double>(r + k) / 37.0));
            const auto bits = std::bit_cast<uint32_t>(v);
            for (int s = 0; s < 32; s += 8)
                out.push_back(static_cast<uint8_t>(bits >> s));
        }
    return out;
}

// The Get Records page, timing each insert and each step (from one insert to the next: the
// insert, the window's events, and making the next step's text).
struct TimedView : records::RecordsView {
    explicit TimedView(gui::RecordsPage& page) : page(page) {}
    void uncheckShowRecords() override {}
    void setGetRecordsEnabled(bool) override {}
    void insertRecordText(std::string_view text) override {
        endStep();
        step.start();
        page.insertRecordText(text);
        insertNs += step.nsecsElapsed();
        ++steps;
    }
    void endStep() {
        if (step.isValid()) longestNs = std::max(longestNs, step.nsecsElapsed());
    }
    gui::RecordsPage& page;
    QElapsedTimer step;
    qint64 insertNs = 0;
    qint64 longestNs = 0;
    int steps = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const size_t sample = argc > 1 ? static_cast<size_t>(std::max(1, std::atoi(argv[1]))) : 5000;
    Preferences prefs;
    double bulkCpuMs = 0;

    {
        const std::vector<uint8_t> bytes = stationBytes(kRecords);
        const records::RecordBlock block(stationFormat(), bytes);
        QTemporaryDir dir;
        VirtualClock clock;
        sim::SimulatedDevice device(clock);
        gui::TFormMain form(clock, device.port, dir.path() + QStringLiteral("/vrncomm.ini"));
        form.pageControl()->setCurrentWidget(form.pages().TabSheetRecords);
        form.show();
        QCoreApplication::processEvents();
        // The retrieval has made the file's text before it shows the records, whether or not it
        // shows them; showing numbers those lines.
        std::string lines;
        records::appendRecordLines(lines, block, 0, block.recordCount(), ',');
        TimedView view(form.recordsSection().page());
        QElapsedTimer whole;
        whole.start();
        const std::clock_t cpuStart = std::clock();
        {
            // As in a retrieval, which shows the records under its hourglass.
            const WaitCursor hourglass(form.host());
            records::RecordRetrieval::showRecords(form.host(), view, lines, block.recordCount(), ',');
        }
        const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const qint64 wallMs = whole.elapsed();
        view.endStep();
        bulkCpuMs = cpuMs;
        std::printf(
            "steps: %d, %lld ms inserting the text, %lld ms numbering it and handling the window's events\n",
            view.steps, static_cast<long long>(view.insertNs / 1000000),
            static_cast<long long>(wallMs - view.insertNs / 1000000));
        std::printf("bulk: %zu records x %d fields shown in %lld ms (%.0f ms of CPU), longest step %lld ms\n",
                    block.recordCount(), kFields, static_cast<long long>(wallMs), cpuMs,
                    static_cast<long long>(view.longestNs / 1000000));
    }

    // Value by value, as a per-value insert does, over a sample; the rate is scaled to the whole.
    {
        const std::vector<uint8_t> bytes = stationBytes(sample);
        const records::RecordBlock block(stationFormat(), bytes);
        gui::RecordsPage page(prefs);
        page.show();
        QElapsedTimer whole;
        whole.start();
        const std::clock_t cpuStart = std::clock();
        for (size_t r = 0; r < block.recordCount(); ++r) {
            char number[16];
            std::snprintf(number, sizeof number, "%07i,", static_cast<int>(r + 1));
            page.insertRecordText(number);
            for (size_t k = 0; k < block.fieldCount(); ++k) {
                page.insertRecordText(records::formatValue(block.value(r, k), block.field(k)));
                page.insertRecordText(k + 1 < block.fieldCount() ? "," : "\r\n");
                QCoreApplication::processEvents();
            }
        }
        const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const double scale = static_cast<double>(kRecords) / static_cast<double>(sample);
        const double scaled = cpuMs * scale;
        std::printf(
            "value by value: %zu records in %lld ms (%.0f ms of CPU), %.0f ms of CPU for %zu records at "
            "that rate\n",
            sample, static_cast<long long>(whole.elapsed()), cpuMs, scaled, kRecords);
        std::printf(
            "row\tShowing %zu records in MemoRecs (CPU)\t%.0f ms\t%.0f ms value by value (%zu, "
            "scaled)\t%.1fx "
            "faster\t< 1000 ms\t%s\n",
            kRecords, bulkCpuMs, scaled, sample, scaled / bulkCpuMs, bulkCpuMs < 1000 ? "met" : "not met");
    }
    return 0;
}
