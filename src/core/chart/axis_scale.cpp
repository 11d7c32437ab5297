#include "core/chart/axis_scale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "core/chart/record_table.h"
#include "core/link/virtual_clock.h"

namespace vrn::chart {
namespace {

constexpr int64_t kMinute = 60;
constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;
constexpr int64_t kWeek = 7 * kDay;
// 1970-01-05 was the first Monday.
constexpr int64_t kFirstMonday = 4 * kDay;

// Steps of a fixed length, smallest first, none more than 3.5 times the one before; the
// calendar's months and years come after them.
constexpr std::array<int64_t, 21> kFixedSteps{
    1,        2,           5,           10,           15,           30,
    kMinute,  2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute,
    kHour,    2 * kHour,   3 * kHour,   6 * kHour,    12 * kHour,   kDay,
    2 * kDay, kWeek,       2 * kWeek};

// 1 .. 9999: the years a label has four digits for.
const int64_t kEarliest = epochSeconds(1, 1, 1, 0, 0, 0);
const int64_t kLatest = epochSeconds(9999, 12, 31, 23, 59, 59);

// n x 10^e, as near as a double holds it: a division for a negative e, so 12 x 10^-4 is the
// double nearest 0.0012 and not one above it.
double decimal(double n, int e) {
    return e >= 0 ? n * std::pow(10.0, e) : n / std::pow(10.0, -e);
}

std::string format(const char* pattern, int a, int b, int c = 0) {
    char text[24];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

std::string dateText(const LocalDateTime& t) {
    return format("%04d-%02d-%02d", t.year, t.month, t.day);
}

// Labels for ticks this far apart.
std::vector<TimeTick> labelled(const std::vector<int64_t>& times, int64_t step) {
    std::vector<TimeTick> ticks;
    std::string lastDate;
    for (const int64_t at : times) {
        const LocalDateTime t = civilFromEpochSeconds(at);
        std::string label;
        if (step < kMinute)
            label = format("%02d:%02d:%02d", t.hour, t.minute, t.second);
        else if (step < kDay)
            label = format("%02d:%02d", t.hour, t.minute);
        else if (step <= 2 * kWeek)
            label = dateText(t);
        else if (step < kDay * 12 * 31)
            label = format("%04d-%02d", t.year, t.month);
        else
            label = format("%04d", t.year, 0);
        if (step < kDay) {
            const std::string date = dateText(t);
            if (date != lastDate) label += "\n" + date;
            lastDate = date;
        }
        ticks.push_back({at, std::move(label)});
    }
    return ticks;
}

int64_t monthIndex(int64_t seconds) {
    const LocalDateTime t = civilFromEpochSeconds(seconds);
    return int64_t{t.year} * 12 + t.month - 1;
}

int64_t monthStart(int64_t index) {
    return epochSeconds(static_cast<int>(index / 12), static_cast<int>(index % 12) + 1, 1, 0, 0, 0);
}

}  // namespace

int ValueScale::tickCount() const {
    return static_cast<int>(std::lround((hi - lo) / step)) + 1;
}

ValueScale valueScale(double lo, double hi, int maxSteps) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) return {};
    if (hi < lo) std::swap(lo, hi);
    maxSteps = std::max(maxSteps, 1);
    if (hi == lo) {
        const int exponent = lo == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(lo))));
        const double unit = decimal(1.0, exponent);
        lo -= unit / 2;
        hi += unit / 2;
    }
    const int first = static_cast<int>(std::floor(std::log10((hi - lo) / maxSteps))) - 1;
    // A little slack, so a value that is a tick by its decimal digits counts as one.
    constexpr double kSlack = 1e-9;
    for (int e = first; e <= first + 3; ++e) {
        for (const int m : {1, 2, 5}) {
            const double step = decimal(m, e);
            const double k0 = std::floor(lo / step + kSlack);
            const double k1 = std::max(std::ceil(hi / step - kSlack), k0 + 1);
            if (k1 - k0 > maxSteps) continue;
            return {decimal(k0 * m, e), decimal(k1 * m, e), step, std::max(0, -e)};
        }
    }
    return {lo, hi, hi - lo, 0};
}

std::vector<TimeTick> timeTicks(double lo, double hi, int maxTicks) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) return {};
    if (hi < lo) std::swap(lo, hi);
    if (lo < static_cast<double>(kEarliest) || hi > static_cast<double>(kLatest)) return {};
    maxTicks = std::max(maxTicks, 1);
    for (const int64_t step : kFixedSteps) {
        const int64_t anchor = step % kWeek == 0 ? kFirstMonday : 0;
        const auto first =
            anchor +
            static_cast<int64_t>(std::ceil((lo - static_cast<double>(anchor)) / static_cast<double>(step))) *
                step;
        const auto count = static_cast<double>(first) > hi
                               ? 0
                               : static_cast<int64_t>(std::floor((hi - static_cast<double>(first)) /
                                                                 static_cast<double>(step))) +
                                     1;
        if (count > maxTicks) continue;
        std::vector<int64_t> times;
        for (int64_t k = 0; k < count; ++k)
            times.push_back(first + k * step);
        return labelled(times, step);
    }
    // Months, then years: 1, 2, 3, 6 months; 1, 2, 5, 10, 20, 50 ... years.
    std::vector<int64_t> months{1, 2, 3, 6};
    for (int64_t years = 1; years <= 10000; years *= 10)
        for (const int64_t m : {1, 2, 5})
            months.push_back(12 * m * years);
    const auto loSeconds = static_cast<int64_t>(std::ceil(lo));
    const auto hiSeconds = static_cast<int64_t>(std::floor(hi));
    int64_t from = monthIndex(loSeconds);
    if (monthStart(from) < loSeconds) ++from;
    const int64_t to = monthIndex(hiSeconds);
    for (const int64_t step : months) {
        const int64_t first = (from + step - 1) / step * step;
        const int64_t count = first > to ? 0 : (to - first) / step + 1;
        if (count > maxTicks) continue;
        std::vector<int64_t> times;
        for (int64_t k = 0; k < count; ++k)
            times.push_back(monthStart(first + k * step));
        return labelled(times, step * 31 * kDay);
    }
    return {};
}

}  // namespace vrn::chart
