#pragma once
// A station's clock offsets as two archives hold them, and which history a copy from one into the
// other keeps.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/record_keying.h"

namespace vrn::store {

struct OffsetHistory {
    std::vector<OffsetChange> changes;  // oldest first
    int currentMinutes = 0;
    std::optional<int64_t> newest;  // the station's newest record held, UTC seconds
};

enum class OffsetMerge {
    Same,      // both hold the same history
    TakeFrom,  // the copy's source went on from where the target's history ends
    KeepTo,    // the target went on from where the source's history ends
    Conflict,  // they disagree about the offset of some records, or of the records to come
};

// One history goes on from the other when the other's changes are the first of its own, the
// other's offset is the one it kept until its next change, and the other holds no record after
// that change (such a record was keyed with the former offset by the one and the new one by the
// other).
OffsetMerge mergeOffsets(const OffsetHistory& from, const OffsetHistory& to);

// "+01:00 up to 2026-03-29 01:00:00 UTC, then +02:00".
std::string offsetHistoryText(const OffsetHistory& history);

}  // namespace vrn::store
