#pragma once

#include <cstdint>
#include <vector>

#include "sim/sim_state.h"

namespace vrn::test {

// What one simulated instrument logged, by the records' serial numbers (the records dropped before
// a record plus its place in the memory): the UTC time of every record seen in the memory, which
// ones a collection that went well could take, and which were dropped (overwritten or erased)
// before any could take them.
class RecordLedger {
public:
    // Notes the records held now that were not seen before, at the clock's UTC offset now, and
    // the records dropped since the last look. A record logged and dropped between two looks was
    // never seen: it was lost, its time unknown.
    void look(const sim::SimRecords& memory, int utcOffsetMinutes);
    // The serial number the next record will have.
    uint64_t nextSerial(const sim::SimRecords& memory) const { return memory.dropped + memory.logged; }
    // A collection went well: every record held below `below` (the next serial number when its
    // download was asked for) is in the archive.
    void collected(uint64_t below);

    // Records logged up to the last collection that went well, lost ones included.
    uint64_t logged() const { return takenBelow_; }
    uint64_t lost() const;
    // The UTC times of the records the archive must hold: those logged up to the last collection
    // that went well and not lost, ascending.
    std::vector<int64_t> expectedTimes() const;

private:
    static constexpr int64_t kUnseen = INT64_MIN;
    std::vector<int64_t> utc_;  // by serial number; kUnseen for a record dropped before any look
    std::vector<bool> isLost_;
    uint64_t droppedSeen_ = 0;
    uint64_t takenBelow_ = 0;
};

}  // namespace vrn::test
