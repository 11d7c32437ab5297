#include "store/offset_history.h"

#include <algorithm>

#include "core/records/record_keys.h"

namespace vrn::store {
namespace {

bool sameChange(const OffsetChange& a, const OffsetChange& b) {
    return a.since == b.since && a.formerMinutes == b.formerMinutes;
}

// Whether `longer` goes on from `shorter`, whose changes are the first of its own.
bool goesOn(const OffsetHistory& longer, const OffsetHistory& shorter) {
    const OffsetChange& next = longer.changes[shorter.changes.size()];
    return shorter.currentMinutes == next.formerMinutes && (!shorter.newest || *shorter.newest <= next.since);
}

}  // namespace

OffsetMerge mergeOffsets(const OffsetHistory& from, const OffsetHistory& to) {
    const size_t shared = static_cast<size_t>(std::mismatch(from.changes.begin(), from.changes.end(),
                                                            to.changes.begin(), to.changes.end(), sameChange)
                                                  .first -
                                              from.changes.begin());
    const bool fromIsPrefix = shared == from.changes.size();
    const bool toIsPrefix = shared == to.changes.size();
    if (fromIsPrefix && toIsPrefix)
        return from.currentMinutes == to.currentMinutes ? OffsetMerge::Same : OffsetMerge::Conflict;
    if (toIsPrefix) return goesOn(from, to) ? OffsetMerge::TakeFrom : OffsetMerge::Conflict;
    if (fromIsPrefix) return goesOn(to, from) ? OffsetMerge::KeepTo : OffsetMerge::Conflict;
    return OffsetMerge::Conflict;
}

std::string offsetHistoryText(const OffsetHistory& history) {
    std::string text;
    for (const OffsetChange& c : history.changes)
        text += records::utcOffsetText(c.formerMinutes) + " up to " + records::utcTimeText(c.since) +
                " UTC, then ";
    return text + records::utcOffsetText(history.currentMinutes);
}

}  // namespace vrn::store
