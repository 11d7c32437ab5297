#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vrn::records {

// What a collection without a count asks the instrument for, and when what came is enough. All
// times are UTC seconds.

// Records asked beyond those the clock says were logged since the newest held: a late or early
// clock, a record logged while the question was on the wire.
inline constexpr uint32_t kCollectMargin = 16;
// The record interval taken when neither the archive nor a download tells it: a minute.
inline constexpr int64_t kDefaultIntervalSeconds = 60;
// How many of the newest records tell the interval.
inline constexpr size_t kIntervalRecords = 64;

// The station's record interval: the most common spacing of consecutive times (any order); the
// default when fewer than two differ.
int64_t recordInterval(std::span<const int64_t> times);

// The first count to ask for: the records logged since the newest held and the margin, at most
// `most`; `most` (all) when the archive holds none of the station's records.
uint32_t newRecordsToAsk(std::optional<int64_t> newestHeld, int64_t instrumentNow, int64_t interval,
                         uint32_t most);

// The whole records that came for a count, by their times.
struct RecordsCame {
    uint32_t records = 0;
    std::optional<int64_t> oldest;
    std::optional<int64_t> newest;
};

enum class CollectStep : uint8_t {
    Done,         // what came reaches back to the archive, or is all the instrument holds
    Widen,        // a gap between the archive's newest and the oldest that came: ask for more
    OldestFirst,  // the instrument sends its oldest records for a count: download them all
};

CollectStep judgeNewRecords(std::optional<int64_t> newestHeld, int64_t instrumentNow, int64_t interval,
                            uint32_t asked, uint32_t most, const RecordsCame& came);

// Whether the newest record that came is within the margin of the instrument's clock: a download
// of all from an instrument that sends its oldest first, ended by silence, then has them all.
bool reachesClock(const RecordsCame& came, int64_t instrumentNow, int64_t interval);

// The next count after a Widen: twice the last, at most `most`.
uint32_t widenedCount(uint32_t asked, uint32_t most);

}  // namespace vrn::records
