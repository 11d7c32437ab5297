#pragma once

#include <string>

#include "sim/sim_state.h"

namespace vrn::sim {

// The record memory as records.bin of a --state folder: fixed-width little-endian numbers, the
// breaks last. Only what describes the memory is kept, never its values, so the file stays small
// however full the memory is.
std::string recordsFileBytes(const SimRecords& records);
// Reads records.bin into records (behaviour options kept); false with the reason when the bytes
// are not a memory this simulator writes.
bool readRecordsFile(const std::string& bytes, SimRecords& records, std::string& error);

}  // namespace vrn::sim
