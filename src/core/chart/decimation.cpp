#include "core/chart/decimation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace vrn::chart {
namespace {

// The first, smallest, largest and last reading of a stretch, by record index.
class Segment {
public:
    void add(size_t i, double y) {
        if (count_ == 0) {
            first_ = min_ = max_ = i;
            minY_ = maxY_ = y;
        } else if (y < minY_) {
            min_ = i;
            minY_ = y;
        } else if (y > maxY_) {
            max_ = i;
            maxY_ = y;
        }
        last_ = i;
        ++count_;
    }
    bool empty() const { return count_ == 0; }
    void clear() { count_ = 0; }

    // The kept readings in record order, each once.
    template <typename Emit>
    void emit(Emit&& out) const {
        if (count_ == 0) return;
        std::array<size_t, 4> kept{first_, min_, max_, last_};
        std::sort(kept.begin(), kept.end());
        const auto end = std::unique(kept.begin(), kept.end());
        for (auto it = kept.begin(); it != end; ++it)
            out(*it);
    }

private:
    size_t count_ = 0;
    size_t first_ = 0, min_ = 0, max_ = 0, last_ = 0;
    double minY_ = 0, maxY_ = 0;
};

class RunWriter {
public:
    RunWriter(std::span<const double> x, std::span<const float> y) : x_(x), y_(y) {}
    void point(size_t i) {
        if (runs_.empty() || broken_) runs_.emplace_back();
        broken_ = false;
        runs_.back().push_back({x_[i], static_cast<double>(y_[i])});
    }
    void gap() { broken_ = true; }
    std::vector<LineRun> take() { return std::move(runs_); }

private:
    std::span<const double> x_;
    std::span<const float> y_;
    std::vector<LineRun> runs_;
    bool broken_ = false;
};

}  // namespace

std::vector<LineRun> decimate(std::span<const double> x, std::span<const float> y, double lo, double hi,
                              size_t buckets) {
    const size_t n = std::min(x.size(), y.size());
    buckets = std::max<size_t>(buckets, 1);
    const double width = hi - lo;
    const double bucketWidth = width / static_cast<double>(buckets);
    RunWriter out(x, y);
    const auto write = [&out](size_t i) { out.point(i); };

    Segment segment;
    size_t bucket = 0;
    bool missing = false;
    std::optional<double> lastX;
    for (size_t i = 0; i < n; ++i) {
        const double xi = x[i];
        const double yi = y[i];
        if (!std::isfinite(xi) || !std::isfinite(yi) || xi < lo || xi > hi) {
            missing = true;
            continue;
        }
        const double position = width > 0 ? (xi - lo) / bucketWidth : 0.0;
        const size_t b = std::min(static_cast<size_t>(position), buckets - 1);
        // A gap narrower than a bucket would not show: the line goes on over it.
        const bool breaks = missing && lastX && std::abs(xi - *lastX) > bucketWidth;
        if (b != bucket || breaks) {
            segment.emit(write);
            segment.clear();
            bucket = b;
        }
        if (breaks) out.gap();
        segment.add(i, yi);
        missing = false;
        lastX = xi;
    }
    segment.emit(write);
    return out.take();
}

}  // namespace vrn::chart
