// The largest retrieval shown on the Get Records page: 86,507 records of 25 fields inserted into
// MemoRecs in the retrieval's steps, with window events let through between steps. Prints the
// whole time and the longest step (how long the window can go without handling events), against
// the same text inserted value by value as plain per-value inserts would, over a sample whose rate
// is scaled to the whole. The row compares processor time (the work is all on the one thread, so it
// is the wall time on a free core; the shared machine's other work stays out of it); wall times
// are printed beside it. Asserts nothing.
//   records_display_bench [SAMPLE_RECORDS]     (default 5000)
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "core/app/preferences.h"
#include "core/records/record_retrieval.h"
#include "core/records/record_text.h"
#include "core/records/value_format.h"
#include "gui/records/records_page.h"

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
        gui::RecordsPage page(prefs);
        page.show();
        QElapsedTimer whole, step;
        qint64 longest = 0;
        whole.start();
        const std::clock_t cpuStart = std::clock();
        std::string text;
        // Where a step's time goes: making the text, putting it in the widget, the events after.
        qint64 formatNs = 0, insertNs = 0, eventsNs = 0;
        for (size_t r = 0; r < block.recordCount(); r += records::RecordRetrieval::kRecordsPerStep) {
            step.start();
            text.clear();
            records::appendDisplayLines(text, block, r, records::RecordRetrieval::kRecordsPerStep, ',');
            const qint64 formatted = step.nsecsElapsed();
            page.insertRecordText(text);
            const qint64 inserted = step.nsecsElapsed();
            QCoreApplication::processEvents();
            eventsNs += step.nsecsElapsed() - inserted;
            insertNs += inserted - formatted;
            formatNs += formatted;
            longest = std::max(longest, step.elapsed());
        }
        std::printf("steps: %lld ms making the text, %lld ms inserting it, %lld ms handling events\n",
                    static_cast<long long>(formatNs / 1000000), static_cast<long long>(insertNs / 1000000),
                    static_cast<long long>(eventsNs / 1000000));
        const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        bulkCpuMs = cpuMs;
        std::printf("bulk: %zu records x %d fields shown in %lld ms (%.0f ms of CPU), longest step %lld ms\n",
                    block.recordCount(), kFields, static_cast<long long>(whole.elapsed()), cpuMs,
                    static_cast<long long>(longest));
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
