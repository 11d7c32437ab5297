// The largest retrieval, 86,507 records of 25 fields, turned into the record text file and into the
// display text: the product's bulk formatting against a plain snprintf-per-value loop in the same
// run. The ratio of the two is the figure to read.
#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/records/record_text.h"
#include "core/records/value_format.h"

namespace {

using namespace vrn;

constexpr size_t kRecords = 86507;
constexpr int kFields = 25;

std::vector<setup::RecordField> stationFormat() {
    std::vector<setup::RecordField> fields(kFields);
    for (int k = 0; k < kFields; ++k) {
        auto& f = fields[static_cast<size_t>(k)];
        f.label = setup::defaultFieldLabel(k);
        f.type = k == 0 ? 1 : k == 1 ? 2 : 0;
        f.width = 7;
        f.precision = 1 + k % 3;
    }
    return fields;
}

const std::vector<uint8_t>& stationBytes() {
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> out;
        out.reserve(kRecords * kFields * 4);
        for (size_t r = 0; r < kRecords; ++r)
            for (int k = 0; k < kFields; ++k) {
                float v = k == 0   ? 260315.0f
                          : k == 1 ? static_cast<float>((r / 60 % 24) * 10000 + r % 60 * 100)
                                   : static_cast<float>(20.0 * std::sin(static_cast<double>(r + k) / 37.0));
                if ((r * 7 + static_cast<size_t>(k)) % 4999 == 0) v = std::nanf("");
                const auto bits = std::bit_cast<uint32_t>(v);
                for (int s = 0; s < 32; s += 8)
                    out.push_back(static_cast<uint8_t>(bits >> s));
            }
        return out;
    }();
    return bytes;
}

// The plain way: one snprintf per value (and per delimiter and line end), appended one by one.
void naiveValue(std::string& out, float v, const setup::RecordField& f) {
    char text[64];
    if (std::isnan(v) || std::isinf(v)) {
        std::snprintf(text, sizeof text, "%s", "-99999");
    } else if (f.type == 0) {
        std::snprintf(text, sizeof text, "%0*.*f", f.width, f.precision, static_cast<double>(v));
    } else {
        const auto u = static_cast<uint32_t>(static_cast<int32_t>(v));
        if (f.type == 1)
            std::snprintf(text, sizeof text, "%02i/%02i/%04i", static_cast<int>(u % 10000 / 100),
                          static_cast<int>(u % 100), static_cast<int>(u / 10000 + 2000));
        else
            std::snprintf(text, sizeof text, "%02i:%02i:%02i", static_cast<int>(u / 10000),
                          static_cast<int>(u % 10000 / 100), static_cast<int>(u % 100));
    }
    out += text;
}

std::string naiveText(const records::RecordBlock& block, bool display) {
    std::string out;
    char piece[16];
    for (size_t r = 0; r < block.recordCount(); ++r) {
        if (display) {
            std::snprintf(piece, sizeof piece, "%07i%c", static_cast<int>(r + 1), ',');
            out += piece;
        }
        for (size_t k = 0; k < block.fieldCount(); ++k) {
            if (k > 0) {
                std::snprintf(piece, sizeof piece, "%c", ',');
                out += piece;
            }
            naiveValue(out, block.value(r, k), block.field(k));
        }
        out += "\r\n";
    }
    return out;
}

void FileText_SnprintfPerValue(benchmark::State& state) {
    const records::RecordBlock block(stationFormat(), stationBytes());
    for (auto _ : state)
        benchmark::DoNotOptimize(naiveText(block, false));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRecords * kFields));
}

void FileText_Product(benchmark::State& state) {
    const records::RecordBlock block(stationFormat(), stationBytes());
    for (auto _ : state) {
        std::string out = records::recordFileHeader(block, ',', {});
        out.reserve(stationBytes().size() * 3);
        records::appendRecordLines(out, block, 0, block.recordCount(), ',');
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRecords * kFields));
}

void DisplayText_SnprintfPerValue(benchmark::State& state) {
    const records::RecordBlock block(stationFormat(), stationBytes());
    for (auto _ : state)
        benchmark::DoNotOptimize(naiveText(block, true));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRecords * kFields));
}

// In the steps the retrieval shows them in, each step's text built afresh.
void DisplayText_Product(benchmark::State& state) {
    const records::RecordBlock block(stationFormat(), stationBytes());
    constexpr size_t kStep = 1000;
    for (auto _ : state) {
        std::string text;
        size_t total = 0;
        for (size_t r = 0; r < block.recordCount(); r += kStep) {
            text.clear();
            records::appendDisplayLines(text, block, r, kStep, ',');
            total += text.size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRecords * kFields));
}

BENCHMARK(FileText_SnprintfPerValue)->Unit(benchmark::kMillisecond);
BENCHMARK(FileText_Product)->Unit(benchmark::kMillisecond);
BENCHMARK(DisplayText_SnprintfPerValue)->Unit(benchmark::kMillisecond);
BENCHMARK(DisplayText_Product)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
