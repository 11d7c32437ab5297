#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/records/record_keys.h"

namespace vrn::store {

// A change of a station's clock offset: the records up to `since` (the newest record's key when
// the offset changed, UTC seconds) were logged with the former offset.
struct OffsetChange {
    int64_t since = 0;
    int formerMinutes = 0;
};

// Each record's key (UTC seconds): its date and time on the instrument's clock minus the offset it
// was logged with; none for a record without a date or time. changes: the station's, newest first.
// The record a change was made after is found by its position in the download, the first at its
// time (a clock set back comes to that time again later): the records up to it take the former
// offset, those after it the later one, and one after it whose key would not be later than it
// gets none, as that time is held already.
std::vector<std::optional<int64_t>> recordKeys(const records::RecordBlock& block, records::TimeFields where,
                                               int utcOffsetMinutes,
                                               const std::vector<OffsetChange>& changes);

// How a record without a time is known again in a later download: its nearest keyed neighbour
// before and after it, each by its key and how many records away it is.
struct Neighbours {
    std::optional<int64_t> prevKey;
    int64_t prevStep = 0;
    std::optional<int64_t> nextKey;
    int64_t nextStep = 0;
};

Neighbours neighboursOf(const std::vector<std::optional<int64_t>>& keys, size_t r);

}  // namespace vrn::store
