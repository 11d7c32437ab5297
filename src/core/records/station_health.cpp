#include "core/records/station_health.h"

#include <algorithm>
#include <limits>

namespace vrn::records {
namespace {

// A span of times the archive holds every record of.
struct HeldRun {
    int64_t oldest = 0;
    int64_t newest = 0;
};

// Records logged one every `step` after `from`, before `limit`.
uint64_t recordsBetween(int64_t from, int64_t limit, int64_t step) {
    return limit > from ? static_cast<uint64_t>((limit - from - 1) / step) : 0;
}

// A download is a run of the instrument's memory, so each collection holds every record from its
// oldest to its newest; runs that touch are one.
std::vector<HeldRun> heldRuns(const std::vector<CollectionFacts>& collections, int64_t step) {
    std::vector<HeldRun> runs;
    for (const CollectionFacts& c : collections)
        if (c.oldest && c.newest) runs.push_back({*c.oldest, *c.newest});
    std::ranges::sort(runs, {}, &HeldRun::oldest);
    std::vector<HeldRun> merged;
    for (const HeldRun& run : runs) {
        if (!merged.empty() && run.oldest <= merged.back().newest + step)
            merged.back().newest = std::max(merged.back().newest, run.newest);
        else
            merged.push_back(run);
    }
    return merged;
}

// The instrument's clock minus the computer's, as the last collection that read it found it.
int64_t clockAheadOf(const std::vector<CollectionFacts>& collections) {
    for (auto c = collections.rbegin(); c != collections.rend(); ++c)
        if (c->clockAhead) return *c->clockAhead;
    return 0;
}

// The memory's size in records, for the format of the last collection.
std::optional<int64_t> capacityOf(const std::vector<CollectionFacts>& collections) {
    for (auto c = collections.rbegin(); c != collections.rend(); ++c)
        if (c->fields > 0) return int64_t{kRecordMemoryValues} / c->fields;
    return std::nullopt;
}

}  // namespace

StationHealth stationHealth(const StationFacts& facts, int64_t now, int64_t staleSeconds) {
    StationHealth h;
    h.name = facts.name;
    h.lastAttempt = facts.lastAttempt;
    h.lastSuccess = facts.lastSuccess;
    h.recordsHeld = facts.recordsHeld;
    h.interval = facts.interval;
    h.failing = facts.lastAttempt && facts.lastAttempt->outcome != "ok";
    const int64_t step = std::max<int64_t>(facts.interval, 1);
    const std::optional<int64_t> capacity = capacityOf(facts.collections);
    if (capacity) h.memorySeconds = *capacity * step;
    const std::vector<HeldRun> runs = heldRuns(facts.collections, step);
    if (runs.empty()) {
        h.stale = true;
        return h;
    }
    const int64_t newest = runs.back().newest;
    h.newest = newest;
    h.stale = now - newest > staleSeconds;

    // The instrument's newest record now, on its clock: it logs on from the newest held.
    const int64_t ahead = clockAheadOf(facts.collections);
    const int64_t clockNow = now + ahead;
    const int64_t newestLogged = clockNow > newest ? newest + (clockNow - newest) / step * step : newest;
    // Every record logged before this time is gone from the instrument: older than the oldest of
    // a download of its whole memory, logged before a memory found empty, or beyond what it holds.
    int64_t goneBefore = std::numeric_limits<int64_t>::min();
    for (const CollectionFacts& c : facts.collections)
        if (c.wholeMemory)
            goneBefore =
                std::max(goneBefore, c.oldest ? *c.oldest : c.collectedAt + c.clockAhead.value_or(ahead) + 1);
    if (capacity) goneBefore = std::max(goneBefore, newestLogged - (*capacity - 1) * step);

    std::optional<int64_t> oldestUncollected;
    for (size_t k = 0; k + 1 < runs.size(); ++k) {
        RecordGap gap;
        gap.after = runs[k].newest;
        gap.before = runs[k + 1].oldest;
        gap.missing = recordsBetween(gap.after, gap.before, step);
        gap.lost = recordsBetween(gap.after, std::min(gap.before, goneBefore), step);
        h.lost += gap.lost;
        if (gap.lost < gap.missing && !oldestUncollected)
            oldestUncollected = gap.after + static_cast<int64_t>(gap.lost + 1) * step;
        if (gap.missing > 0 && (gap.before - gap.after > kGapIntervals * step || gap.lost > 0))
            h.gaps.push_back(gap);
    }
    const uint64_t logged = recordsBetween(newest, newestLogged + 1, step);
    const uint64_t tailLost = recordsBetween(newest, std::min(goneBefore, newestLogged + 1), step);
    h.lost += tailLost;
    h.uncollected = logged - tailLost;
    if (!oldestUncollected) oldestUncollected = newest + static_cast<int64_t>(tailLost + 1) * step;
    // The oldest record not collected goes when the memory's worth of records after it are logged.
    if (capacity) h.overwriteSeconds = *oldestUncollected + *capacity * step - clockNow;
    return h;
}

}  // namespace vrn::records
