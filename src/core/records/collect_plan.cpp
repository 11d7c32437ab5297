#include "core/records/collect_plan.h"

#include <algorithm>
#include <map>
#include <vector>

namespace vrn::records {

int64_t recordInterval(std::span<const int64_t> times) {
    std::vector<int64_t> sorted(times.begin(), times.end());
    std::ranges::sort(sorted);
    std::map<int64_t, int> spacings;
    for (size_t k = 1; k < sorted.size(); ++k)
        if (sorted[k] > sorted[k - 1]) ++spacings[sorted[k] - sorted[k - 1]];
    if (spacings.empty()) return kDefaultIntervalSeconds;
    // The most common spacing: a gap or a clock set once does not move it.
    return std::ranges::max_element(spacings, {}, [](const auto& s) { return s.second; })->first;
}

uint32_t newRecordsToAsk(std::optional<int64_t> newestHeld, int64_t instrumentNow, int64_t interval,
                         uint32_t most) {
    if (!newestHeld) return most;
    const int64_t step = std::max<int64_t>(interval, 1);
    // A clock behind the newest held (set back) asks for the margin alone: what came is judged.
    const int64_t since = std::max<int64_t>(instrumentNow - *newestHeld, 0);
    const int64_t logged = since / step + kCollectMargin;
    return static_cast<uint32_t>(std::min<int64_t>(logged, most));
}

bool reachesClock(const RecordsCame& came, int64_t instrumentNow, int64_t interval) {
    return came.newest &&
           *came.newest >= instrumentNow - int64_t{kCollectMargin} * std::max<int64_t>(interval, 1);
}

CollectStep judgeNewRecords(std::optional<int64_t> newestHeld, int64_t instrumentNow, int64_t interval,
                            uint32_t asked, uint32_t most, const RecordsCame& came) {
    if (!newestHeld || !came.oldest || !came.newest) return CollectStep::Done;
    // The clock says newer records were logged, a full answer came, and its newest is neither near
    // the clock nor the newest held (a logger that stopped): the instrument answered a count with
    // its oldest records.
    const bool newerLogged = instrumentNow >= *newestHeld + std::max<int64_t>(interval, 1);
    if (newerLogged && came.records >= asked && !reachesClock(came, instrumentNow, interval) &&
        *came.newest != *newestHeld)
        return CollectStep::OldestFirst;
    if (*came.oldest <= *newestHeld) return CollectStep::Done;
    // Fewer than asked is the whole memory (an erase since the last collection); so is all.
    if (came.records < asked || asked >= most) return CollectStep::Done;
    return CollectStep::Widen;
}

uint32_t widenedCount(uint32_t asked, uint32_t most) {
    return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{asked} * 2, most));
}

}  // namespace vrn::records
