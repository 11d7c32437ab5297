// The largest retrieval, 86,507 records of 25 fields, turned into the record text file and into the
// display text: the product's bulk formatting against a plain snprintf-per-value loop in the same
// run. The ratio of the two is the figure to read. Before timing, both ways must give the same
// bytes: on the whole file, and on millions of random values in random formats.
//   records_format_bench [--sameness=MILLIONS] [google benchmark options]
#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <random>
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

// Values where formatting goes wrong first: halves, signed zeros, NaN, infinities, the extremes.
const std::vector<float>& edgeValues() {
    static const std::vector<float> values = {0.5f,
                                              1.5f,
                                              2.5f,
                                              -0.5f,
                                              -2.5f,
                                              0.125f,
                                              -0.0f,
                                              0.0f,
                                              -0.04f,
                                              std::nanf(""),
                                              -std::nanf(""),
                                              std::numeric_limits<float>::infinity(),
                                              -std::numeric_limits<float>::infinity(),
                                              std::numeric_limits<float>::denorm_min(),
                                              std::numeric_limits<float>::min(),
                                              std::numeric_limits<float>::max(),
                                              -std::numeric_limits<float>::max(),
                                              9.995f,
                                              99.95f,
                                              2147483648.0f,
                                              -2147483648.0f,
                                              16777217.0f,
                                              991231.0f,
                                              235959.0f};
    return values;
}

// Every edge value in every format, then random values in random formats: the count compared, or
// -1 after printing the first difference.
long long sameness(long long randomValues) {
    long long compared = 0;
    std::string product, naive;
    const auto same = [&](float v, const setup::RecordField& f) {
        product.clear();
        naive.clear();
        records::appendValue(product, v, f);
        naiveValue(naive, v, f);
        ++compared;
        if (product == naive) return true;
        std::printf("records_format_bench: %a type %d width %d precision %d: \"%s\" against \"%s\"\n",
                    static_cast<double>(v), f.type, f.width, f.precision, product.c_str(), naive.c_str());
        return false;
    };
    setup::RecordField f;
    for (float v : edgeValues())
        for (f.type = 0; f.type <= 2; ++f.type)
            for (f.width = 0; f.width <= 12; ++f.width)
                for (f.precision = 0; f.precision <= 9; ++f.precision)
                    if (!same(v, f)) return -1;
    std::mt19937 random(41700);
    std::uniform_int_distribution<uint32_t> bits;
    std::uniform_int_distribution<int> type(0, 2), width(0, 12), precision(0, 9);
    for (long long i = 0; i < randomValues; ++i) {
        f.type = type(random);
        f.width = width(random);
        f.precision = precision(random);
        // Half any float at all, half readings of a plausible size.
        uint32_t b = bits(random);
        if (b & 1) b = std::bit_cast<uint32_t>(static_cast<float>(static_cast<int32_t>(b) % 2000000) / 64.0f);
        if (!same(std::bit_cast<float>(b), f)) return -1;
    }
    const records::RecordBlock block(stationFormat(), stationBytes());
    std::string file;
    records::appendRecordLines(file, block, 0, block.recordCount(), ',');
    if (file != naiveText(block, false)) {
        std::puts("records_format_bench: the record lines differ from the snprintf loop's");
        return -1;
    }
    return compared + static_cast<long long>(kRecords * kFields);
}

// Keeps the mean time of each benchmark for the summary row.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            ms[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    std::map<std::string, double> ms;
};

}  // namespace

int main(int argc, char** argv) {
    long long millions = 4;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--sameness=", 11) == 0)
            millions = std::atoll(argv[i] + 11);
        else
            rest.push_back(argv[i]);
    }
    const long long compared = sameness(millions * 1000000);
    if (compared < 0) return 1;
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    const double product = collector.ms["FileText_Product"],
                 naive = collector.ms["FileText_SnprintfPerValue"];
    if (product > 0 && naive > 0)
        std::printf(
            "row\tRecord file, %zu x %d values\t%.1f ms CPU\t%.1f ms CPU snprintf\t%.2fx faster\t>= 3x, same "
            "bytes\t%s "
            "(%lld values same)\n",
            kRecords, kFields, product, naive, naive / product, naive / product >= 3.0 ? "met" : "not met",
            compared);
    benchmark::Shutdown();
    return 0;
}
