// The largest retrieval shown on the Get Records page: 86,507 records of 25 fields inserted into
// MemoRecs in the retrieval's steps, with window events let through between steps. Prints the
// whole time and the longest step (how long the window can go without handling events), against
// the same text inserted value by value as plain per-value inserts would, over a sample whose rate
// is scaled to the whole. Asserts nothing.
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
    qint64 bulkMs = 0;

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
        for (size_t r = 0; r < block.recordCount(); r += records::RecordRetrieval::kRecordsPerStep) {
            step.start();
            text.clear();
            records::appendDisplayLines(text, block, r, records::RecordRetrieval::kRecordsPerStep, ',');
            page.insertRecordText(text);
            QCoreApplication::processEvents();
            longest = std::max(longest, step.elapsed());
        }
        bulkMs = whole.elapsed();
        const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
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
        const double ms = static_cast<double>(whole.elapsed());
        const double scaled = ms * static_cast<double>(kRecords) / static_cast<double>(sample);
        std::printf("value by value: %zu records in %.0f ms, %.0f ms for %zu records at that rate\n", sample,
                    ms, scaled, kRecords);
        std::printf(
            "row\tShowing %zu records in MemoRecs\t%lld ms\t%.0f ms value by value (%zu, scaled)\t%.1fx "
            "faster\t< 1000 ms\t%s\n",
            kRecords, static_cast<long long>(bulkMs), scaled, sample, scaled / static_cast<double>(bulkMs),
            bulkMs < 1000 ? "met" : "not met");
    }
    return 0;
}
