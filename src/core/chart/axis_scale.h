#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vrn::chart {

// A value axis that reads at a glance: ends on round numbers, ticks a step of 1, 2 or 5 times a
// power of ten apart, and less than a whole step to spare at either end.
struct ValueScale {
    double lo = 0;
    double hi = 1;
    double step = 1;
    int decimals = 0;  // as many as the step has
    int tickCount() const;
};

// The scale for values from lo to hi with at most maxSteps steps; a single value is shown in the
// middle of a step's worth of axis.
ValueScale valueScale(double lo, double hi, int maxSteps);

// A tick of a time axis: where (seconds since 1970-01-01 00:00 of the clock the axis shows) and
// its label. A label of the time of day carries the date on a second line where the date changes.
struct TimeTick {
    int64_t at = 0;
    std::string label;
};

// Ticks on round times from lo to hi, at most maxTicks: on whole seconds, minutes or hours of the
// day (1, 2, 5, 10, 15, 30 s or min; 1, 2, 3, 6, 12 h), midnights (1 or 2 days), Mondays (1 or 2
// weeks), the first of a month (1, 2, 3 or 6 months) or of a year (1, 2, 5, 10, 20, 50 ...); the
// smallest step that keeps within maxTicks. From 7 ticks asked for, a span that holds two ticks
// of any step gets at least two.
std::vector<TimeTick> timeTicks(double lo, double hi, int maxTicks);

}  // namespace vrn::chart
