#pragma once

#include <cstdint>

#include "sim/sim_state.h"

namespace vrn::sim {

// The time (clock seconds) of held record r, from 0 for the oldest.
int64_t recordSeconds(const SimRecords& records, uint32_t r);

// How many records of `fields` values the memory holds at most.
uint32_t recordCapacity(const SimRecords& records, int fields);

// Logs `count` records of `fields` values, one every intervalSeconds from firstSeconds,
// overwriting the oldest when the memory is full.
void logRecords(SimRecords& records, int64_t firstSeconds, uint64_t count, int fields);

// Empties the memory.
void eraseRecords(SimRecords& records);

// Logs every record that fell due up to the clock's time `clockNow`; the first one an interval
// after the clock first ran or was set.
void logDue(SimRecords& records, int64_t clockNow, int fields);

}  // namespace vrn::sim
