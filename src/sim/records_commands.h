#pragma once

#include <cstdint>

namespace vrn::sim {

class Instrument;
struct SimRecords;
struct SimSetup;

// The time between two "!" of an erase, and how many it sends: about three seconds in all.
inline constexpr int64_t kEraseStepUs = 3000;
inline constexpr int kEraseSteps = 1024;

// Value k (from 0) of held record r (from 0, the oldest): the date as YYMMDD or time as HHMMSS at
// which it was logged for those field types, else a weather reading that moves with the time of
// day; now and then a missing one (NaN). A record keeps its values while newer ones are logged.
float loggedValue(const SimSetup& setup, const SimRecords& records, uint32_t r, int k);

// CMD340 n (the newest n records, or the oldest with sendsOldest, or all there are) and CMD345 (erase, with
// "!" progress).
void registerRecordsCommands(Instrument& instrument);

}  // namespace vrn::sim
