#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/records/collect_plan.h"

namespace vrn::records {

// A station's health from what its archive holds: gaps, records lost for good, the memory horizon.
// All times are UTC seconds. The instrument is taken to log one record every interval on its own
// clock, and its memory to hold the newest kRecordMemoryValues / fields of them.

// The record memory's size in values (records x fields): the largest retrieval there is.
inline constexpr uint32_t kRecordMemoryValues = 2162675;
// A span with no record is a gap once it is longer than this many record intervals.
inline constexpr int64_t kGapIntervals = 3;

// What one stored collection tells of the instrument.
struct CollectionFacts {
    int64_t collectedAt = 0;  // the computer's clock when it was stored
    // The oldest and newest keyed records that came: the instrument held every record between.
    std::optional<int64_t> oldest;
    std::optional<int64_t> newest;
    // Everything the instrument held came: it held nothing older than `oldest`, or nothing at all.
    bool wholeMemory = false;
    // The instrument's clock minus the computer's, when the collection read it.
    std::optional<int64_t> clockAhead;
    int fields = 0;  // fields per record
};

struct AttemptFacts {
    int64_t at = 0;
    std::string outcome;  // "ok", or how it failed
    std::string reason;
};

// What the archive holds of one station.
struct StationFacts {
    std::string name;
    std::vector<CollectionFacts> collections;  // in the order they were stored
    std::optional<AttemptFacts> lastAttempt;
    std::optional<int64_t> lastSuccess;
    uint64_t recordsHeld = 0;
    int64_t interval = kDefaultIntervalSeconds;
};

// Records the instrument logged between two held ones that no collection took.
struct RecordGap {
    int64_t after = 0;     // the held record before them
    int64_t before = 0;    // the held record after them
    uint64_t missing = 0;  // records logged in between
    uint64_t lost = 0;     // of those, the ones the instrument no longer holds
};

struct StationHealth {
    std::string name;
    std::optional<AttemptFacts> lastAttempt;
    std::optional<int64_t> lastSuccess;
    std::optional<int64_t> newest;  // the newest record held
    uint64_t recordsHeld = 0;
    int64_t interval = kDefaultIntervalSeconds;
    // Gaps longer than kGapIntervals, and any shorter one with records lost, oldest first.
    std::vector<RecordGap> gaps;
    // Records overwritten or erased before any collection took them: in the gaps, and among
    // those logged after the newest held.
    uint64_t lost = 0;
    // Records logged after the newest held that the instrument still holds.
    uint64_t uncollected = 0;
    // How long the memory holds records at the station's interval, and how long until the
    // instrument overwrites the oldest record no collection took yet (none without a collection).
    std::optional<int64_t> memorySeconds;
    std::optional<int64_t> overwriteSeconds;
    bool stale = false;    // no record, or the newest older than the limit
    bool failing = false;  // the last attempt did not succeed
    bool well() const { return !stale && !failing; }
};

// The health of a station at `now` (the computer's clock); stale past `staleSeconds`.
StationHealth stationHealth(const StationFacts& facts, int64_t now, int64_t staleSeconds);

}  // namespace vrn::records
