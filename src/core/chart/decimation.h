#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace vrn::chart {

struct ChartPoint {
    double x = 0;
    double y = 0;
};

// A stretch of a series without gaps, drawn as one line.
using LineRun = std::vector<ChartPoint>;

// A series cut down for a plot `buckets` pixels wide over x from lo to hi: in each bucket, the
// first, smallest, largest and last reading in record order, so the line's envelope is the same
// as with every reading. A missing reading (NaN x or y) or one outside lo..hi ends a run; inside a
// bucket only the first and the last gap count, so there are at most about `buckets` runs, and
// at most 8 points a bucket.
std::vector<LineRun> decimate(std::span<const double> x, std::span<const float> y, double lo, double hi,
                          size_t buckets);

}  // namespace vrn::chart
