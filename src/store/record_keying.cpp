#include "store/record_keying.h"

#include "core/records/record_text.h"

namespace vrn::store {

std::vector<std::optional<int64_t>> recordKeys(const records::RecordBlock& block, records::TimeFields where,
                                               int utcOffsetMinutes,
                                               const std::vector<OffsetChange>& changes) {
    const size_t n = block.recordCount();
    std::vector<std::optional<int64_t>> local(n);
    for (size_t r = 0; r < n; ++r)
        local[r] = records::recordSeconds(block, r, where);
    std::vector<std::optional<int64_t>> keys(n);
    // Keys records [from, end) with the offset, none for those not later than `after`.
    auto key = [&](size_t from, size_t end, int minutes, std::optional<int64_t> after) {
        for (size_t r = from; r < end; ++r)
            if (local[r] && (!after || *local[r] - int64_t{minutes} * 60 > *after))
                keys[r] = *local[r] - int64_t{minutes} * 60;
    };
    size_t end = n;
    int offset = utcOffsetMinutes;
    for (const OffsetChange& change : changes) {
        // The first record at the change's time: a clock set back comes to that time again later.
        size_t at = 0;
        while (at < end && !(local[at] && *local[at] - int64_t{change.formerMinutes} * 60 == change.since))
            ++at;
        if (at == end) {
            // The download does not reach back to the change: every record came after it.
            key(0, end, offset, change.since);
            return keys;
        }
        key(at + 1, end, offset, change.since);
        end = at + 1;
        offset = change.formerMinutes;
    }
    key(0, end, offset, std::nullopt);
    return keys;
}

Neighbours neighboursOf(const std::vector<std::optional<int64_t>>& keys, size_t r) {
    Neighbours n;
    for (size_t k = r; k-- > 0;)
        if (keys[k]) {
            n.prevKey = keys[k];
            n.prevStep = static_cast<int64_t>(r - k);
            break;
        }
    for (size_t k = r + 1; k < keys.size(); ++k)
        if (keys[k]) {
            n.nextKey = keys[k];
            n.nextStep = static_cast<int64_t>(k - r);
            break;
        }
    return n;
}

}  // namespace vrn::store
