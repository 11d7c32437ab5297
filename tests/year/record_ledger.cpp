#include "record_ledger.h"

#include <algorithm>

#include "sim/record_memory.h"

namespace vrn::test {

void RecordLedger::look(const sim::SimRecords& memory, int utcOffsetMinutes) {
    const uint64_t next = memory.dropped + memory.logged;
    for (uint64_t serial = utc_.size(); serial < next; ++serial) {
        if (serial < memory.dropped) {
            utc_.push_back(kUnseen);
        } else {
            const auto index = static_cast<uint32_t>(serial - memory.dropped);
            utc_.push_back(sim::recordSeconds(memory, index) - int64_t{utcOffsetMinutes} * 60);
        }
        isLost_.push_back(false);
    }
    // Dropped before a collection that went well could take them: lost for good.
    for (uint64_t serial = std::max(droppedSeen_, takenBelow_); serial < memory.dropped; ++serial)
        isLost_[serial] = true;
    droppedSeen_ = std::max(droppedSeen_, memory.dropped);
}

void RecordLedger::collected(uint64_t below) {
    takenBelow_ = std::max(takenBelow_, std::min<uint64_t>(below, utc_.size()));
}

uint64_t RecordLedger::lost() const {
    return static_cast<uint64_t>(
        std::count(isLost_.begin(), isLost_.begin() + static_cast<std::ptrdiff_t>(takenBelow_), true));
}

std::vector<int64_t> RecordLedger::expectedTimes() const {
    std::vector<int64_t> times;
    times.reserve(takenBelow_);
    for (uint64_t serial = 0; serial < takenBelow_; ++serial)
        if (!isLost_[serial]) times.push_back(utc_[serial]);
    std::ranges::sort(times);
    return times;
}

}  // namespace vrn::test
