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
// as with every reading (at most 4 points a bucket). Missing readings (NaN x or y) and those
// outside lo..hi end a run when the readings on either side are more than a bucket apart; a
// narrower gap would not show at this width and the line goes on over it, so a zoom shows it.
std::vector<LineRun> decimate(std::span<const double> x, std::span<const float> y, double lo, double hi,
                              size_t buckets);

}  // namespace vrn::chart
