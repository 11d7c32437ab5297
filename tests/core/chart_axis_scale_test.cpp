#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/chart/axis_scale.h"
#include "core/chart/record_table.h"

namespace vrn::chart {
namespace {

TEST(ChartAxisScale, ValueAxisEndsOnRoundNumbersWithoutAWholeEmptyStep) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct Row {
        const char* name;
        double lo, hi;
        int maxSteps;
        ValueScale want;
    } rows[] = {
        {"pressure and temperature together", 2.2, 1013, 8, {0, 1200, 200, 0}},
        {"the same below zero", -1013, -2.2, 8, {-1200, 0, 200, 0}},
        {"a few degrees", 2.2, 7.9, 8, {2, 8, 1, 0}},
        {"across zero", -3.4, 12.1, 5, {-5, 15, 5, 0}},
        {"small values", 0.012, 0.0187, 6, {0.012, 0.02, 0.002, 3}},
        {"ends already round", 0, 100, 5, {0, 100, 20, 0}},
        {"one value", 5, 5, 8, {4.4, 5.6, 0.2, 1}},
        {"only zeros", 0, 0, 8, {-0.6, 0.6, 0.2, 1}},
        {"given the wrong way round", 7.9, 2.2, 8, {2, 8, 1, 0}},
        {"no values", nan, 1, 8, {0, 1, 1, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const ValueScale got = valueScale(r.lo, r.hi, r.maxSteps);
        EXPECT_NEAR(got.lo, r.want.lo, 1e-9);
        EXPECT_NEAR(got.hi, r.want.hi, 1e-9);
        EXPECT_NEAR(got.step, r.want.step, 1e-12);
        EXPECT_EQ(got.decimals, r.want.decimals);
    }
}

// Any data: the axis holds it, with less than a step to spare at each end, in at most the steps
// asked for, its ends on multiples of the step.
TEST(ChartAxisScale, ValueAxisHoldsAnyDataSnugly) {
    std::mt19937 random(41700);
    std::uniform_real_distribution<double> exponent(-4, 6);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int i = 0; i < 2000; ++i) {
        const double scale = std::pow(10.0, exponent(random));
        const double a = unit(random) * scale;
        const double b = a + std::fabs(unit(random)) * scale;
        const int maxSteps = 4 + i % 8;
        const ValueScale s = valueScale(a, b, maxSteps);
        SCOPED_TRACE(std::to_string(a) + " .. " + std::to_string(b));
        const double tolerance = s.step * 1e-6;
        ASSERT_LE(s.lo, a + tolerance);
        ASSERT_GE(s.hi, b - tolerance);
        ASSERT_GT(s.lo, a - s.step);
        ASSERT_LT(s.hi, b + s.step);
        ASSERT_LE(s.tickCount() - 1, maxSteps);
        ASSERT_NEAR(std::remainder(s.lo, s.step), 0, tolerance);
        ASSERT_NEAR(std::remainder(s.hi, s.step), 0, tolerance);
    }
}

int64_t at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return epochSeconds(year, month, day, hour, minute, second);
}

TEST(ChartAxisScale, TimeTicksFallOnRoundTimesForTheSpanShown) {
    const struct Row {
        const char* name;
        int64_t lo, hi;
        int maxTicks;
        std::vector<std::string> labels;
        int64_t first;
    } rows[] = {
        {"ten minutes: every two minutes, the date once",
         at(2024, 5, 14, 12, 3, 20),
         at(2024, 5, 14, 12, 13, 20),
         8,
         {"12:04\n2024-05-14", "12:06", "12:08", "12:10", "12:12"},
         at(2024, 5, 14, 12, 4)},
        {"half a minute: seconds",
         at(2024, 5, 14, 12, 0, 1),
         at(2024, 5, 14, 12, 0, 31),
         4,
         {"12:00:10\n2024-05-14", "12:00:20", "12:00:30"},
         at(2024, 5, 14, 12, 0, 10)},
        {"a day: every six hours, the date where it changes",
         at(2024, 5, 14),
         at(2024, 5, 15),
         8,
         {"00:00\n2024-05-14", "06:00", "12:00", "18:00", "00:00\n2024-05-15"},
         at(2024, 5, 14)},
        {"a few days: midnights",
         at(2024, 5, 10, 7),
         at(2024, 5, 14, 20),
         8,
         {"2024-05-11", "2024-05-12", "2024-05-13", "2024-05-14"},
         at(2024, 5, 11)},
        {"a month: Mondays",
         at(2024, 5, 1),
         at(2024, 5, 31),
         8,
         {"2024-05-06", "2024-05-13", "2024-05-20", "2024-05-27"},
         at(2024, 5, 6)},
        {"a year: every other month's first",
         at(2023, 1, 15),
         at(2024, 1, 20),
         8,
         {"2023-03", "2023-05", "2023-07", "2023-09", "2023-11", "2024-01"},
         at(2023, 3, 1)},
        {"decades: every five years",
         at(1990, 6, 1),
         at(2024, 1, 1),
         6,
         {"1995", "2000", "2005", "2010", "2015", "2020"},
         at(1995, 1, 1)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::vector<TimeTick> ticks =
            timeTicks(static_cast<double>(r.lo), static_cast<double>(r.hi), r.maxTicks);
        std::vector<std::string> labels;
        for (const TimeTick& t : ticks)
            labels.push_back(t.label);
        EXPECT_EQ(labels, r.labels);
        ASSERT_FALSE(ticks.empty());
        EXPECT_EQ(ticks.front().at, r.first);
    }
    EXPECT_TRUE(timeTicks(std::numeric_limits<double>::quiet_NaN(), 1, 8).empty());
    EXPECT_TRUE(timeTicks(0, 1e30, 8).empty()) << "beyond the years a label can show";
}

// Any span from seconds to centuries: ticks inside it, in order, no more than asked for, and at
// least two.
TEST(ChartAxisScale, TimeTicksStayInsideTheSpanAndWithinTheirCount) {
    std::mt19937 random(41700);
    std::uniform_real_distribution<double> exponent(1, 9.5);
    std::uniform_real_distribution<double> start(0, 2e9);
    for (int i = 0; i < 2000; ++i) {
        const double lo = start(random);
        const double hi = lo + std::pow(10.0, exponent(random));
        const int maxTicks = 7 + i % 8;
        const std::vector<TimeTick> ticks = timeTicks(lo, hi, maxTicks);
        SCOPED_TRACE(std::to_string(lo) + " .. " + std::to_string(hi));
        ASSERT_LE(ticks.size(), static_cast<size_t>(maxTicks));
        ASSERT_GE(ticks.size(), 2U);
        for (size_t k = 0; k < ticks.size(); ++k) {
            ASSERT_GE(static_cast<double>(ticks[k].at), lo);
            ASSERT_LE(static_cast<double>(ticks[k].at), hi);
            if (k > 0) {
                ASSERT_GT(ticks[k].at, ticks[k - 1].at);
            }
        }
    }
}

}  // namespace
}  // namespace vrn::chart
