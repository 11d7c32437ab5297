// A record text file read for the chart: whatever the text, a table that comes back has one x and
// one reading per series for each record, and every series cut down for a plot keeps within its
// buckets, its range and the readings it was given.
#include <cmath>
#include <string_view>

#include "core/chart/decimation.h"
#include "core/chart/record_file_reader.h"
#include "fuzz_input.h"

using vrn::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vrn::chart;
    vrn::fuzz::Input in(data, size);
    const size_t buckets = 1 + in.byte() % 64;
    const RecordFileRead read = readRecordFile(in.restText());
    require(read.table.has_value() != !read.error.empty(), "a table or a reason, never both");
    if (!read.table) return 0;
    const RecordTable& table = *read.table;
    require(table.recordCount() > 0, "a record file has records");
    require(table.labels.size() == table.values.size(), "a label per series");
    const auto range = xRange(table);
    for (const auto& series : table.values) {
        require(series.size() == table.recordCount(), "a reading per record");
        if (!range) continue;
        size_t points = 0;
        for (const LineRun& run : decimate(table.x, series, range->lo, range->hi, buckets)) {
            require(!run.empty(), "no empty runs");
            points += run.size();
            for (const ChartPoint& p : run)
                require(p.x >= range->lo && p.x <= range->hi && std::isfinite(p.y), "points in range");
        }
        require(points <= table.recordCount(), "never more points than readings");
        if (!table.dated) require(points <= buckets * 8, "at most eight points a bucket");
    }
    return 0;
}
